// The controls that keep a child's work: undo and redo beside the player strip, the
// shelf's button, their keys, and the watch that takes each change of the field.
#include "scene/FieldScene.h"
#include "scene/PressListener.h"
#include "storage/ProgramShelf.h"

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
// The last work is written at most this often, so a crash loses at most this much.
constexpr float kKeepSeconds = 1.f;
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
    // Ctrl+Z undoes; Ctrl+Shift+Z and Ctrl+Y redo, as in the programs teachers know.
    auto* keys = EventListenerKeyboard::create();
    keys->onKeyPressed = [this](EventKeyboard::KeyCode code, Event* event) {
        const auto* key = static_cast<EventKeyboard*>(event);
        if (!key->isCtrlDown()) {
            return;
        }
        if (code == EventKeyboard::KeyCode::KEY_Z && !key->isShiftDown()) {
            undoField();
        } else if (code == EventKeyboard::KeyCode::KEY_Z || code == EventKeyboard::KeyCode::KEY_Y) {
            redoField();
        }
    };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(keys, this);
    schedule([this](float dt) { watchField(dt); }, kWatchSeconds, kWatchKey);
    fieldHistory.reset(fieldContents());
    lastKept = fieldContents();
    refreshHistoryControls();
    const ProgramShelf::Entry last = programShelf().readLastWork();
    if (last.contents && !last.contents->hasNoCards()) {
        showNotice("Your last work is kept: open it from the shelf.", false);
    }
    return true;
}

void FieldScene::keepLastWork(float dt, bool now) {
    sinceKept += dt;
    if (isGestureRunning() && !now) {
        return;
    }
    const FieldContents contents = fieldContents();
    // A field left empty since the start (only its dialect chosen) is not work to keep,
    // and must not replace what an earlier run kept.
    const bool nothingToKeep = contents.hasNoCards() && lastKept.hasNoCards();
    if (contents == lastKept || nothingToKeep || (!now && sinceKept < kKeepSeconds)) {
        return;
    }
    sinceKept = 0.f;
    std::string problem;
    if (programShelf().saveLastWork(contents, problem)) {
        lastKept = contents;
        keepProblem.clear();
    } else if (problem != keepProblem) {
        keepProblem = problem;
        showNotice(problem);
    }
}

bool FieldScene::onCloseRequested() {
    if (questionPopup != nullptr) {
        return false;
    }
    if (fieldContents().hasNoCards()) {
        keepLastWork(0.f, true);
        return true;
    }
    askQuestion("Keep your program in a place before you close?",
                {{"Keep",
                  [this]() {
                      closeShelf();
                      openShelf();
                      closeAfterSave = shelfPopup != nullptr;
                  }},
                 {"Close anyway", [this]() { quitWorkspace(); }},
                 {"Cancel", []() {}}});
    return false;
}

void FieldScene::quitWorkspace() {
    keepLastWork(0.f, true);
    if (GLView* view = Director::getInstance()->getOpenGLView()) {
        view->end();
    }
}

void FieldScene::onExit() {
    // A signal or the system's logout ends the program without asking: the last work
    // still gets the field as it is.
    keepLastWork(0.f, true);
    Layer::onExit();
}
