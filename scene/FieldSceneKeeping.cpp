// The controls that keep a child's work: undo and redo beside the player strip, the
// shelf's button, their keys, and the watch that takes each change of the field.
#include "scene/FieldScene.h"
#include "scene/PressListener.h"

USING_NS_CC;

namespace {
const char* const kUndoImage = "res/r_undo.png";
const char* const kRedoImage = "res/r_redo.png";
const char* const kShelfImage = "res/r_shelf.png";
const char* const kWatchKey = "field-watch";
// Often enough that a change is a step before a child reaches for undo, rarely enough
// that an idle window stays asleep.
constexpr float kWatchSeconds = 0.25f;
// The row of controls stands between the player strip's top and the trash marker.
constexpr float kRowGap = 5.f;
constexpr float kRightInset = 7.f;
}  // namespace

bool FieldScene::buildKeepingControls() {
    undoButton = Sprite::create(kUndoImage);
    redoButton = Sprite::create(kRedoImage);
    shelfButton = Sprite::create(kShelfImage);
    if (undoButton == nullptr || redoButton == nullptr || shelfButton == nullptr) {
        return false;
    }
    const Size visible = Director::getInstance()->getVisibleSize();
    const float y = playerStrip->getBoundingBox().getMaxY() + kRowGap +
                    undoButton->getContentSize().height / 2.f;
    float right = visible.width - kRightInset;
    for (Sprite* control : {redoButton, undoButton, shelfButton}) {
        const float width = control->getContentSize().width;
        control->setPosition(right - width / 2.f, y);
        right -= width + kRowGap;
        addChild(control);
    }
    listenForPress(undoButton, [this](Node*) { undoField(); },
                   [this]() { return fieldHistory.canUndo(); });
    listenForPress(redoButton, [this](Node*) { redoField(); },
                   [this]() { return fieldHistory.canRedo(); });
    listenForPress(shelfButton, [this](Node*) { openShelf(); });
    schedule([this](float dt) { watchField(dt); }, kWatchSeconds, kWatchKey);
    fieldHistory.reset(fieldContents());
    refreshHistoryControls();
    return true;
}

void FieldScene::openShelf() {}
