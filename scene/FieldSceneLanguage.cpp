// The workspace's language: the one it starts in, the chooser on the settings bar with each
// language under its own name, and rewriting every lasting text when the choice changes,
// with the field, its history and the last work left as they are.
#include "catalogue/DeviceManager.h"
#include "devicelink/ZundleCardSerialManager.h"
#include "lang/Languages.h"
#include "lang/Reword.h"
#include "lang/Translate.h"
#include "scene/FieldScene.h"
#include "scene/NoticeStrip.h"
#include "scene/PressListener.h"
#include "scene/SceneLook.h"
#include "storage/LanguageSetting.h"

USING_NS_CC;
using namespace scenelook;

namespace {
constexpr int kTabNameTag = 0x4e616d;
constexpr float kTabNameSize = 15.f;
constexpr float kTabNameWidth = 75.f;
// The chooser's buttons, right of the reload spinner on the port controls' line.
constexpr float kLanguageRight = 1012.f;
constexpr float kLanguageWidth = 62.f;
constexpr float kLanguageHeight = 26.f;
constexpr float kLanguageGap = 3.f;
constexpr float kLanguageSize = 12.f;
// The chosen language stands out in the bar's light blue; the others are plain white keys.
const Color3B kChosenFill(kFrame);
const Color3B kOtherFill(kPaper);

std::string catalogueFolder() {
    return lang::catalogueFolder(FileUtils::getInstance()->getExecutableDirectory());
}

std::vector<std::string> codesOf(const std::vector<lang::Language>& languages) {
    std::vector<std::string> codes;
    for (const lang::Language& language : languages) {
        codes.push_back(language.code);
    }
    return codes;
}

// A label no wider than `width`: its size shrinks until the text fits on one line.
void shrinkToWidth(Label* label, float width, float largest) {
    float size = largest;
    while (label->getContentSize().width > width && size > 6.f) {
        size -= 1.f;
        label->setSystemFontSize(size);
    }
}

}  // namespace

void FieldScene::startLanguage() {
    const std::string folder = catalogueFolder();
    languages = lang::languagesIn(folder);
    const std::vector<std::string> codes = codesOf(languages);
    const LanguageSetting kept = loadLanguageSetting();
    // A damaged file speaks English, not the system's language: the notice says so, and
    // the user chooses again.
    std::string code = kept.problem.empty() ? lang::firstKnown(lang::systemWishes(), codes) : "en";
    if (kept.language) {
        code = *kept.language;
    }
    std::string error;
    if (!lang::switchLanguage(code, folder, error)) {
        lang::switchLanguage("en", folder, error);
    }
    languageProblem = kept.problem;
}

void FieldScene::buildLanguageButtons() {
    const float y = portField->getPositionY();
    float right = kLanguageRight;
    for (auto it = languages.rbegin(); it != languages.rend(); ++it) {
        LayerColor* button =
            LayerColor::create(Color4B(kOtherFill, 255), kLanguageWidth, kLanguageHeight);
        button->setPosition(right - kLanguageWidth, y - kLanguageHeight / 2.f);
        Label* name = Label::createWithSystemFont(it->ownName, kBoldFont, kLanguageSize);
        shrinkToWidth(name, kLanguageWidth - 6.f, kLanguageSize);
        name->setPosition(kLanguageWidth / 2.f, kLanguageHeight / 2.f);
        button->addChild(name);
        button->setName(it->code);
        // The name dims with its key while pressed.
        button->setCascadeOpacityEnabled(true);
        settingsBar->addChild(button);
        const std::string code = it->code;
        getEventDispatcher()->addEventListenerWithSceneGraphPriority(
            pressrule::makeListener([this, code](Node*) { chooseLanguage(code); }), button);
        languageButtons.push_back(button);
        right -= kLanguageWidth + kLanguageGap;
    }
    markChosenLanguage();
}

void FieldScene::markChosenLanguage() {
    const std::string chosen = lang::currentLanguage();
    for (LayerColor* button : languageButtons) {
        const bool isChosen = button->getName() == chosen;
        button->setColor(isChosen ? kChosenFill : kOtherFill);
        for (Node* child : button->getChildren()) {
            if (auto* label = dynamic_cast<Label*>(child)) {
                label->setTextColor(isChosen ? Color4B::WHITE : Color4B(kInk, 255));
            }
        }
    }
}

void FieldScene::chooseLanguage(const std::string& code) {
    if (code == lang::currentLanguage()) {
        return;
    }
    const std::shared_ptr<const lang::MessageCatalog> before = lang::currentCatalog();
    std::string error;
    if (!lang::switchLanguage(code, catalogueFolder(), error)) {
        showNotice(
            lang::fill(lang::tr("This language cannot be loaded: {reason}."), {{"reason", error}}));
        return;
    }
    if (!saveLanguageSetting(code, error)) {
        showNotice(lang::fill(lang::tr("The language could not be kept for the next start: "
                                       "{reason}."),
                              {{"reason", lang::tr(error)}}));
    }
    rewordNotice(*before);
    markChosenLanguage();
    relabelSettingsBar();
    relabelAnswerButton();
    DeviceManager* catalogue = DeviceManager::getInstance();
    for (Sprite* tab : cardSetTabs) {
        writeTabName(tab, tab->getTag() == catalogue->cardSet);
    }
    // Rebuilt where it stands: the list keeps its offset, the counts come from the model.
    savedPaletteOffsets.at(static_cast<std::size_t>(catalogue->cardSet)) = paletteList->offset().y;
    buildPalette();
    for (CardSprite* card : fieldCards) {
        writeCaption(card);
    }
    if (shelfPopup != nullptr) {
        closeShelf();
        openShelf();
    }
}

void FieldScene::rewordNotice(const lang::MessageCatalog& before) {
    auto* strip = dynamic_cast<NoticeStrip*>(notice);
    if (strip == nullptr) {
        return;
    }
    // Its fade keeps running, so it stays for the time it had left; its top edge stays put.
    const float top = strip->getBoundingBox().getMaxY();
    strip->setText(lang::reword(strip->getText(), before, *lang::currentCatalog()));
    strip->setPositionY(top - strip->getContentSize().height / 2.f);
}

void FieldScene::writeCaption(CardSprite* card) const {
    const std::string caption =
        DeviceManager::getInstance()->getCaption(card->cardIndex, card->cardSet);
    card->setCaption(lang::tr(caption), kBoldFont);
}

void FieldScene::writeTabName(Sprite* tab, bool selected) const {
    tab->removeChildByTag(kTabNameTag);
    Label* name = Label::createWithSystemFont(
        lang::tr(DeviceManager::getInstance()->getTabName(tab->getTag())), kBoldFont, kTabNameSize);
    // The chosen tab's name is white on the set's colour, the others in its colour.
    shrinkToWidth(name, kTabNameWidth, kTabNameSize);
    const DeviceManager* catalogue = DeviceManager::getInstance();
    name->setTextColor(selected ? Color4B::WHITE
                                : Color4B(catalogue->getSetColour(tab->getTag()), 255));
    const Size size = tab->getContentSize();
    name->setPosition(size.width / 2.f, size.height / 2.f);
    name->setTag(kTabNameTag);
    tab->setCascadeOpacityEnabled(true);
    tab->addChild(name);
}
