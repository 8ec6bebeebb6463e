// Catalogue lookups for the current dialect and card set.
#include "catalogue/DeviceManager.h"

#include <algorithm>
#include <stdexcept>
#include <type_traits>

#include "catalogue/CardTables.h"

namespace {

DeviceManager* s_sharedDeviceManager = nullptr;

// Indices are compared as unsigned, so a negative index counts as past the end.
bool isBelow(int index, std::size_t count) {
    return static_cast<unsigned>(index) < count;
}

// A set or dialect outside its table is a programming fault: it throws rather than read
// past the table.
template <class T>
const T& tableAt(const std::vector<T>& table, int index) {
    static_assert(!std::is_same<T, bool>::value, "use flagAt for packed flags");
    if (!isBelow(index, table.size())) {
        throw std::out_of_range("invalid vector<T> subscript");
    }
    return table[static_cast<unsigned>(index)];
}

template <class T>
const T& tableAt(const std::vector<T>& table, Dialect dialect) {
    return tableAt(table, dialectIndex(dialect));
}

bool flagAt(const std::vector<bool>& table, int index) {
    if (!isBelow(index, table.size())) {
        throw std::out_of_range("invalid vector<bool> subscript");
    }
    return table[static_cast<unsigned>(index)];
}

const CardTables& tables() {
    return CardTables::get();
}

}  // namespace

DeviceManager* DeviceManager::getInstance() {
    if (s_sharedDeviceManager == nullptr) {
        s_sharedDeviceManager = new DeviceManager();
        s_sharedDeviceManager->init();
    }
    return s_sharedDeviceManager;
}

DeviceManager::DeviceManager() = default;

DeviceManager::~DeviceManager() = default;

bool DeviceManager::init() {
    // Build the tables now so they exist before the first scene asks for them.
    tables();
    dialect = Dialect::Kib;
    cardSet = 0;
    return true;
}

int DeviceManager::getCardSetCount() const {
    return static_cast<int>(tables().paletteImages.size());
}

int DeviceManager::getDialectCount() const {
    return static_cast<int>(tables().lineTerminators.size());
}

int DeviceManager::getCardCount(int set) const {
    return static_cast<int>(tableAt(tables().paletteImages, set).size());
}

std::string DeviceManager::getPaletteImage(int cardIndex) const {
    return getPaletteImage(cardIndex, cardSet);
}

std::string DeviceManager::getPaletteImage(int cardIndex, int set) const {
    const auto& images = tableAt(tables().paletteImages, set);
    return isBelow(cardIndex, images.size()) ? images[static_cast<unsigned>(cardIndex)]
                                             : std::string();
}

std::string DeviceManager::getCardImage(int cardIndex) const {
    return getCardImage(cardIndex, cardSet);
}

std::string DeviceManager::getCardImage(int cardIndex, int set) const {
    const auto& images = tableAt(tableAt(tables().cardImages, set), dialect);
    return isBelow(cardIndex, images.size()) ? images[static_cast<unsigned>(cardIndex)]
                                             : std::string();
}

CodeSnippet DeviceManager::getCode(int cardIndex, int set) const {
    const auto& codes = tableAt(tableAt(tables().codes, set), dialect);
    return isBelow(cardIndex, codes.size()) ? codes[static_cast<unsigned>(cardIndex)]
                                            : CodeSnippet{"", -1, true};
}

LoopRole DeviceManager::getLoopRole(int cardIndex, int set) const {
    const auto& roles = tableAt(tables().loopRoles, set);
    return isBelow(cardIndex, roles.size()) ? roles[static_cast<unsigned>(cardIndex)]
                                            : LoopRole::None;
}

std::string DeviceManager::getCardKey(int cardIndex, int set) const {
    const auto& stems = tableAt(tables().stems, set);
    return isBelow(cardIndex, stems.size()) ? stems[static_cast<unsigned>(cardIndex)]
                                            : std::string();
}

std::string DeviceManager::getCaption(int cardIndex, int set) const {
    const auto& captions = tableAt(tables().captions, set);
    return isBelow(cardIndex, captions.size()) ? captions[static_cast<unsigned>(cardIndex)]
                                               : std::string();
}

std::string DeviceManager::getTabName(int set) const {
    return tableAt(tables().tabNames, set);
}

cocos2d::Color3B DeviceManager::getSetColour(int set) const {
    const unsigned colour = tableAt(tables().setColours, set);
    return cocos2d::Color3B(static_cast<cocos2d::GLubyte>(colour >> 16),
                            static_cast<cocos2d::GLubyte>(colour >> 8),
                            static_cast<cocos2d::GLubyte>(colour));
}

bool DeviceManager::findCardKey(const std::string& key, int& set, int& cardIndex) const {
    const auto& stems = tables().stems;
    for (std::size_t s = 0; s < stems.size(); ++s) {
        const auto found = std::find(stems[s].begin(), stems[s].end(), key);
        if (found != stems[s].end()) {
            set = static_cast<int>(s);
            cardIndex = static_cast<int>(found - stems[s].begin());
            return true;
        }
    }
    return false;
}

std::vector<CodeSnippet> DeviceManager::getHeader() const {
    return tableAt(tables().headers, dialect);
}

std::vector<CodeSnippet> DeviceManager::getFooter() const {
    return tableAt(tables().footers, dialect);
}

std::string DeviceManager::getStopKey() const {
    return tableAt(tables().stopKeys, dialect);
}

std::string DeviceManager::getResetText() const {
    return tableAt(tables().resetTexts, dialect);
}

std::string DeviceManager::getLineTerminator() const {
    return tableAt(tables().lineTerminators, dialect);
}

std::string DeviceManager::getSeparator() const {
    return tableAt(tables().separators, dialect);
}

std::string DeviceManager::getTabImage(int set) const {
    return tableAt(tableAt(tables().tabImages, set), set == cardSet ? 0 : 1);
}

std::string DeviceManager::getToggleImage(Dialect forDialect, bool current) const {
    return tableAt(current ? tables().toggleCurrentImages : tables().toggleOtherImages, forDialect);
}

bool DeviceManager::hasLineNumbers() const {
    return flagAt(tables().lineNumbers, dialectIndex(dialect));
}

int DeviceManager::getCharWaitMs() const {
    return tableAt(tables().charWaitMs, dialect);
}

int DeviceManager::getStopWaitMs() const {
    return tableAt(tables().stopWaitMs, dialect);
}
