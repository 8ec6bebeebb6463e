// The settings bar along the bottom edge: its background, the port controls, the credit
// and version labels, the gear above it, and the gear's slide between closed and open.
#include "devicelink/ZundleCardSerialManager.h"
#include "lang/Translate.h"
#include "scene/FieldScene.h"
#include "scene/SceneLook.h"

USING_NS_CC;
using namespace scenelook;

namespace {
const char* const kBackgroundImage = "res/r_setting_back.png";
const char* const kGearBackImage = "res/r_setting_back1.png";
const char* const kGearImage = "res/r_setting.png";
const char* const kPortIconImage = "res/r_port.png";
const char* const kPortFieldImage = "res/r_port_input.png";
const char* const kReloadImage = "res/r_reload.png";
constexpr float kFontSize = 12.f;
const char* const kVersionText = "Ver 0.6.4";
const char* const kCreditText = lang::mark(
    "Card and control pictures: drawn for Zundle cards by its makers, sources in res/src");
const Color4B kPortTextColour(30, 30, 30, 255);
// The labels stand on one baseline this far above the bar's base.
constexpr float kLabelBaseline = 10.f;
constexpr float kVersionX = 278.f;
constexpr float kCreditRight = 1016.f;
constexpr float kSpinSeconds = 0.5f;
constexpr float kSpinDegrees = 45.f;
}  // namespace

bool FieldScene::buildSettingsBar() {
    const float right = Director::getInstance()->getVisibleSize().width;
    Sprite* background = Sprite::create(kBackgroundImage);
    Sprite* portIcon = Sprite::create(kPortIconImage);
    portField = Sprite::create(kPortFieldImage);
    reloadSpinner = Sprite::create(kReloadImage);
    Sprite* gearBack = Sprite::create(kGearBackImage);
    settingsGear = Sprite::create(kGearImage);
    if (background == nullptr || portIcon == nullptr || portField == nullptr ||
        reloadSpinner == nullptr || gearBack == nullptr || settingsGear == nullptr) {
        return false;
    }
    const Size back = background->getContentSize();
    background->setPosition(back.width / 2.f + kPalettePanelWidth, back.height / 2.f);
    settingsBar->addChild(background);

    const Size icon = portIcon->getContentSize();
    portIcon->setPosition(icon.width / 2.f + kPalettePanelWidth + 50.f, back.height / 2.f + 13.f);
    const Vec2 p = portIcon->getPosition();
    const Size field = portField->getContentSize();
    portField->setPosition(p.x + icon.width / 2.f + 10.f + field.width / 2.f, p.y);
    portLabel = Label::createWithSystemFont(lang::tr("Search ..."), kFont, kFontSize,
                                            Size(field.width - 20.f, field.height),
                                            TextHAlignment::LEFT, TextVAlignment::CENTER);
    portLabel->setTextColor(kPortTextColour);
    portLabel->setAnchorPoint(Vec2(0.f, 0.5f));
    portLabel->setPosition(p.x + icon.width / 2.f + 20.f, p.y);
    reloadSpinner->setPosition(portField->getPositionX() + field.width / 2.f, p.y);
    reloadSpinner->runAction(RepeatForever::create(RotateBy::create(kSpinSeconds, kSpinDegrees)));

    creditLabel = Label::createWithSystemFont(lang::tr(kCreditText), kFont, kFontSize);
    creditLabel->setTextColor(kLightBlue);
    creditLabel->setAnchorPoint(Vec2(1.f, 0.f));
    creditLabel->setPosition(kCreditRight, kLabelBaseline);
    versionLabel = Label::createWithSystemFont(kVersionText, kFont, kFontSize);
    versionLabel->setTextColor(kLightBlue);
    versionLabel->setAnchorPoint(Vec2::ZERO);
    versionLabel->setPosition(kVersionX, kLabelBaseline);

    const Size tab = gearBack->getContentSize();
    gearBack->setPosition(right - tab.width / 2.f, back.height + tab.height / 2.f);
    const Size gear = settingsGear->getContentSize();
    settingsGear->setPosition(right - gear.width / 2.f - 10.f,
                              back.height + gear.height / 2.f + 10.f);

    for (Node* node : {static_cast<Node*>(portIcon), static_cast<Node*>(portField),
                       static_cast<Node*>(portLabel), static_cast<Node*>(reloadSpinner),
                       static_cast<Node*>(creditLabel), static_cast<Node*>(versionLabel),
                       static_cast<Node*>(gearBack), static_cast<Node*>(settingsGear)}) {
        settingsBar->addChild(node);
    }
    buildLanguageButtons();
    // Closed, only the gear and the strip above the port controls show.
    settingsBar->setPosition(0.f, kSettingsClosedY);
    return true;
}

void FieldScene::relabelSettingsBar() {
    creditLabel->setString(lang::tr(kCreditText));
    if (ZundleCardSerialManager::getInstance()->isSearching()) {
        portLabel->setString(lang::tr("Search ..."));
    } else {
        refreshPortLabel(false);
    }
}

void FieldScene::toggleSettingsBar() {
    // Only the bar's own slide stops: the spinner on it keeps turning. A toggle during a
    // slide reverses it from where the bar is now.
    settingsBar->stopAllActions();
    settingsBarOpen = !settingsBarOpen;
    settingsBar->runAction(
        MoveTo::create(kSettingsSlideSeconds, Vec2(0.f, settingsBarOpen ? 0.f : kSettingsClosedY)));
    followSettingsBar(kSettingsSlideSeconds);
}
