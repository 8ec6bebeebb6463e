// The port controls' start: the first search for ports and tools, the reload spinner, and
// the port label that shows the chosen entry once a search has ended.
#include "devicelink/BoardIdentity.h"
#include "devicelink/ZundleCardSerialManager.h"
#include "lang/Translate.h"
#include "scene/FieldScene.h"
#include "storage/RememberedBoard.h"

USING_NS_CC;

namespace {
const char* const kSearching = lang::mark("Search ...");
const char* const kNothingFound = lang::mark("Not Found ...");
const char* const kSearchLater =
    lang::mark("Ports and tools can be searched again once the sending has ended.");
}  // namespace

std::string FieldScene::entryText(const ZundleCardSerialData* entry) {
    // Two boards of one kind differ by their serial number's end.
    const std::string serial = devicelink::serialTail(entry->serialNumber);
    return entry->name + " [ " + entry->description + (serial.empty() ? "" : " " + serial) + " ]";
}

bool FieldScene::startPortSearch() {
    // The scene stays alive until the manager has called back, whenever that is.
    retain();
    const bool started = ZundleCardSerialManager::getInstance()->startSearch([this](bool searched) {
        refreshPortLabel(searched);
        release();
    });
    if (!started) {
        release();
    }
    return started;
}

void FieldScene::onReloadPressed() {
    portLabel->setString(lang::tr(kSearching));
    if (startPortSearch() || ZundleCardSerialManager::getInstance()->isSearching()) {
        return;
    }
    // A transfer holds the link, so nothing searches: the label goes back to the entry
    // instead of reading "Search ..." until some later search ends.
    refreshPortLabel(false);
    showNotice(lang::tr(kSearchLater));
}

void FieldScene::refreshPortLabel(bool searched) {
    // Later searches run with a still spinner: it turns only until the first one ends.
    reloadSpinner->stopAllActions();
    ZundleCardSerialManager* manager = ZundleCardSerialManager::getInstance();
    // The board chosen last is chosen again when a search finds it, under whatever name.
    if (searched) {
        if (const std::optional<RememberedBoard> board = loadRememberedBoard()) {
            const int at = devicelink::findBoard(manager->devices, board->vendor, board->product,
                                                 board->serial);
            if (at >= 0) {
                manager->selectedIndex = at;
            }
        }
    }
    if (manager->devices.empty()) {
        portLabel->setString(lang::tr(kNothingFound));
        return;
    }
    // The manager keeps the choice in range after a search; should it not, the first
    // entry is shown rather than reading past the list.
    const int chosen = manager->selectedIndex;
    const bool inRange = chosen >= 0 && chosen < static_cast<int>(manager->devices.size());
    portLabel->setString(
        entryText(manager->devices.at(inRange ? static_cast<std::size_t>(chosen) : 0u)));
}

void FieldScene::rememberChosenBoard() {
    const ZundleCardSerialManager* manager = ZundleCardSerialManager::getInstance();
    const int chosen = manager->selectedIndex;
    if (chosen < 0 || chosen >= static_cast<int>(manager->devices.size())) {
        return;
    }
    const ZundleCardSerialData* entry = manager->devices.at(static_cast<std::size_t>(chosen));
    // A tool or a port without a USB identity is remembered as no board at all, so that an
    // older memory does not take the choice back at the next search.
    std::string error;
    if (!saveRememberedBoard(
            RememberedBoard{entry->usbVendor, entry->usbProduct, entry->serialNumber}, error)) {
        showNotice(lang::fill(lang::tr("The chosen board could not be remembered: {reason}."),
                              {{"reason", error}}));
    }
}
