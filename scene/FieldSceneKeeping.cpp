// The controls that keep a child's work: undo and redo beside the player strip, the
// shelf's button, their keys, and the watch that takes each change of the field.
#include "lang/Translate.h"
#include "scene/FieldScene.h"
#include "scene/PressListener.h"
#include "storage/ProgramShelf.h"

USING_NS_CC;

namespace {
const char* const kUndoImage = "res/r_undo.png";
const char* const kRedoImage = "res/r_redo.png";
const char* const kShelfImage = "res/r_shelf.png";
// A change is taken once the call that made it is over: one step for a whole row shift.
const char* const kSettleKey = "field-settle";
const char* const kKeepKey = "field-keep";
// Runs every frame, only while the shelf's writer has something under way.
const char* const kWritesKey = "shelf-writes";
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
    listenForPress(
        undoButton, [this](Node*) { undoField(); }, [this]() { return fieldHistory.canUndo(); });
    listenForPress(
        redoButton, [this](Node*) { redoField(); }, [this]() { return fieldHistory.canRedo(); });
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
    // No timer reads the field: each change of the model is taken once it has settled, so
    // an idle window has nothing to do.
    fieldModel.listen([this]() { fieldChanged(); });
    fieldHistory.reset(fieldContents());
    lastKept = fieldContents();
    refreshHistoryControls();
    ProgramShelf& programs = programShelf();
    programs.recoverTemporaries();
    for (const ProgramShelf::Work& work : programs.recentWorks()) {
        if (work.entry.contents && !work.entry.contents->hasNoCards()) {
            showNotice(lang::tr("Your last work is kept: open it from the shelf."), false);
            break;
        }
    }
    return true;
}

void FieldScene::fieldChanged() {
    if (!isScheduled(kSettleKey)) {
        scheduleOnce([this](float) { watchField(); }, 0.f, kSettleKey);
    }
}

void FieldScene::scheduleKeep() {
    if (!isScheduled(kKeepKey)) {
        scheduleOnce([this](float) { keepLastWork(); }, kKeepSeconds, kKeepKey);
    }
}

void FieldScene::keepLastWork(bool evenMidGesture) {
    // The gesture's end asks again.
    if (isGestureRunning() && !evenMidGesture) {
        return;
    }
    const FieldContents contents = fieldContents();
    // A field left empty since the start (only its dialect chosen) is not work to keep.
    const bool nothingToKeep = contents.hasNoCards() && lastKept.hasNoCards();
    if ((contents == lastKept && !keepFailed) || nothingToKeep) {
        return;
    }
    lastKept = contents;
    keepFailed = false;
    keepTicket = programShelf().keepOwnWork(contents);
    watchWrites();
}

void FieldScene::watchWrites() {
    if (!isScheduled(kWritesKey)) {
        schedule([this](float) { takeFinishedWrites(); }, 0.f, kWritesKey);
    }
}

void FieldScene::takeFinishedWrites() {
    ProgramShelf& programs = programShelf();
    for (const ProgramShelf::Finished& write : programs.takeFinished()) {
        if (write.ticket == keepTicket) {
            keepFailed = !write.written;
            // Tried again a second later while the disk refuses.
            if (keepFailed) {
                scheduleKeep();
            }
            // Told once, not every second while the disk stays full.
            if (keepFailed && write.problem != keepProblem) {
                showNotice(write.problem);
            }
            keepProblem = write.problem;
        } else if (write.ticket == placeWrite.ticket) {
            const int place = placeWrite.place;
            placeWrite = {};
            placeSaved(place, write.problem);
        }
    }
    if (!programs.writing()) {
        unschedule(kWritesKey);
    }
}

bool FieldScene::keepBeforeExit() {
    keepLastWork(true);
    ProgramShelf& programs = programShelf();
    const bool finished = programs.waitForWrites(BackgroundWriter::kLongestFinalWait);
    takeFinishedWrites();
    return finished && !keepFailed;
}

bool FieldScene::onCloseRequested() {
    if (questionPopup != nullptr) {
        return false;
    }
    if (fieldContents().hasNoCards()) {
        keepBeforeExit();
        return true;
    }
    askQuestion(lang::tr("Keep your program in a place before you close?"),
                {{lang::tr("Keep"),
                  [this]() {
                      closeShelf();
                      openShelf();
                      closeAfterSave = shelfPopup != nullptr;
                  }},
                 {lang::tr("Close anyway"), [this]() { quitWorkspace(); }},
                 {lang::tr("Cancel"), []() {}}});
    return false;
}

void FieldScene::quitWorkspace() {
    if (!keepBeforeExit()) {
        const std::string reason =
            keepProblem.empty() ? lang::tr("Your work could not be kept in time.") : keepProblem;
        askQuestion(lang::fill(lang::tr("Your work is not kept. {reason}"), {{"reason", reason}}),
                    {{lang::tr("Try again"), [this]() { quitWorkspace(); }},
                     {lang::tr("Close without it"), [this]() { endWindow(); }},
                     {lang::tr("Cancel"), []() {}}});
        return;
    }
    endWindow();
}

void FieldScene::endWindow() {
    if (GLView* view = Director::getInstance()->getOpenGLView()) {
        view->end();
    }
}

void FieldScene::onExit() {
    // Asked for now; the shelf's writer finishes it before it goes.
    keepLastWork(true);
    Layer::onExit();
}
