// The dialect chooser (a dimmed layer with one option per dialect above the dialect
// button) and the dialect refresh of the dialect button and the backs of the field cards.
#include "catalogue/DeviceManager.h"
#include "scene/FieldScene.h"
#include "scene/Popup.h"
#include "scene/PressListener.h"
#include "scene/SceneLook.h"

USING_NS_CC;
using namespace scenelook;

namespace {
// The options stand on a line this far above the dialect button.
constexpr float kOptionRise = 100.f;
constexpr float kOptionGap = 20.f;
}  // namespace

void FieldScene::openDialectChooser() {
    // Two fingers on the button release twice: a second chooser would leave the first
    // covering the window for good.
    if (dialectChooser != nullptr) {
        return;
    }
    const Vec2 button = dialectButton->getPosition();
    Sprite* kib = makeDialectOption(Dialect::Kib);
    Sprite* vemmo = makeDialectOption(Dialect::Vemmo);
    if (kib == nullptr || vemmo == nullptr) {
        closeDialectChooser();
        return;
    }
    const float y = button.y + kOptionRise;
    kib->setPosition(button.x, y);
    vemmo->setPosition(button.x - kib->getContentSize().width / 2.f - kOptionGap -
                           vemmo->getContentSize().width / 2.f,
                       y);
    // A touch that ends anywhere off the options closes the chooser.
    dialectChooser = popup::open(
        this, [this](Touch*) { runAction(CallFunc::create([this]() { closeDialectChooser(); })); });
    dialectChooser->addChild(kib);
    dialectChooser->addChild(vemmo);
}

Sprite* FieldScene::makeDialectOption(Dialect dialect) {
    const DeviceManager* catalogue = DeviceManager::getInstance();
    // The current dialect's option shows the plain picture, the other one the lit one.
    Sprite* option =
        Sprite::create(catalogue->getToggleImage(dialect, dialect != catalogue->dialect));
    if (option == nullptr) {
        return nullptr;
    }
    option->setTag(dialectIndex(dialect));
    EventListenerTouchOneByOne* listener = pressrule::makeListener(
        [this](Node* chosen) {
            DeviceManager::getInstance()->dialect = static_cast<Dialect>(chosen->getTag());
            chosen->runAction(MoveTo::create(kDialectSlideSeconds, dialectButton->getPosition()));
            runAction(CallFunc::create([this]() { closeDialectChooser(); }));
        },
        pressrule::kChooserPressed, [this]() { return dialectChooser != nullptr; });
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, option);
    dialectChooserListeners.pushBack(listener);
    return option;
}

void FieldScene::closeDialectChooser() {
    if (dialectChooser != nullptr) {
        popup::close(dialectChooser, [this]() { refreshDialect(); });
    }
    for (EventListener* listener : dialectChooserListeners) {
        getEventDispatcher()->removeEventListener(listener);
    }
    dialectChooserListeners.clear();
    dialectChooser = nullptr;
}

void FieldScene::refreshDialect() {
    const DeviceManager* catalogue = DeviceManager::getInstance();
    if (dialectButton != nullptr) {
        dialectButton->setTexture(catalogue->getToggleImage(catalogue->dialect, true));
    }
    for (CardSprite* card : fieldCards) {
        card->backImage = catalogue->getCardImage(card->cardIndex, card->cardSet);
        if (card->flipped) {
            card->picture->setTexture(card->backImage);
        }
    }
    // The dialect is part of the kept work, though not a step of undo.
    if (undoButton != nullptr) {
        scheduleKeep();
    }
}
