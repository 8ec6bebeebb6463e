// The workspace layer: the palette with its card-set tabs, the field view with its 30 rows
// of two slots and the cards on them, the player strip, the dialect chooser and the
// settings bar with the port controls, and every operation on them. Depends on the
// engine, the catalogue, program generation's row type, the storage (the shelf and the
// last work), the widgets and the device link.
//
// Where each concern lives: FieldScene.cpp (init and state), FieldSceneLayout.cpp (panel,
// player strip, frame), FieldScenePalette.cpp, FieldSceneDialect.cpp, FieldSceneSettings.cpp,
// FieldScenePort.cpp and FieldScenePortChooser.cpp (port controls), FieldSceneRows.cpp,
// FieldSceneCards.cpp, FieldSceneLinks.cpp (geometry and snapping), FieldScenePlacement.cpp
// (tearing cards off the palette), FieldScenePress.cpp (pressing and dragging field cards),
// FieldSceneRun.cpp (play, stop, notices), FieldSceneHistory.cpp, FieldSceneKeeping.cpp and
// FieldSceneShelf.cpp (undo, the last work, the shelf), FieldSceneLanguage.cpp (the language
// chooser, captions and tab names); SceneLook.h holds their shared look.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cocos2d.h"
#include "devicelink/AnswerLines.h"
#include "devicelink/EchoCheck.h"
#include "generation/ProgramBuilder.h"
#include "lang/Languages.h"
#include "look/WorkspaceLook.h"
#include "model/FieldModel.h"
#include "scene/FieldHistory.h"
#include "storage/FieldContents.h"
#include "storage/ProgramShelf.h"
#include "widgets/CardSprite.h"
#include "widgets/FieldScrollView.h"
#include "widgets/FieldScrollViewDelegate.h"

class NoticeStrip;
class ZundleCardSerialData;
namespace lang {
class MessageCatalog;
}

class FieldScene : public cocos2d::Layer, public FieldScrollViewDelegate {
public:
    // A row's two slots, left first.
    using FieldRow = std::array<CardSprite*, FieldModel::kSlotCount>;

    static constexpr int kRowCount = FieldModel::kRowCount;
    static constexpr int kCardSetCount = 3;
    // Attachment points closer than this link (strictly).
    static constexpr float kSnapReach = 30.f;
    // A held group leaves its slot once the pointer has drifted further than this.
    static constexpr float kHoldReach = 30.f;
    static constexpr float kRowMoveSeconds = 0.1f;
    static constexpr float kRemoveFadeSeconds = 0.2f;
    // Tag of the row-move actions, so a newer move replaces an older one.
    static constexpr int kRowMoveTag = 0x526f77;
    // Cell of the digit sheets of the line numbers and the palette's counts.
    static constexpr int kDigitWidth = 9;
    static constexpr int kDigitHeight = 11;
    static constexpr float kPalettePanelWidth = 275.f;
    // A saved palette offset of this value means the set has not been left yet.
    static constexpr float kNoSavedOffset = 9999.f;
    // The settings bar's base while closed; open it stands at 0.
    static constexpr float kSettingsClosedY = -92.f;
    // The light blue of the frame, the palette's header and edges, and the bar's labels.
    static constexpr cocos2d::Color4B kLightBlue = look::kFrame;

    // The ready workspace layer (autoreleased), or nullptr when it cannot be built.
    CREATE_FUNC(FieldScene);
    ~FieldScene() override;
    // Builds the whole workspace and starts the first port search; false when the layer
    // or a picture fails.
    bool init() override;

    // --- what the window, the app and the suites ask of the workspace ---
    // Shows another card set, keeping the offset the list had for the one left.
    void switchCardSet(int set);
    // Gives the dialect button and the backs of the field cards the current dialect.
    void refreshDialect();
    // A node's local point (origin bottom left) in field coordinates.
    cocos2d::Vec2 toFieldSpace(const cocos2d::Node* node, const cocos2d::Vec2& localPoint) const;
    // Moves dragGroup by delta (field units), holding it at heldSlot and snapping `card`
    // (a member of dragGroup) into a free slot within reach.
    void moveGroup(CardSprite* card, const cocos2d::Vec2& delta);
    // Links the card to the nearest free slot within reach, without moving it.
    void linkToNearestSlot(CardSprite* card);
    // Empties row i and moves every card from it downward one row; row 29's cards go.
    void insertRow(int row);
    // Removes row i's cards and moves every card below it up one row.
    void deleteRow(int row);
    // Takes a card off the field: counter, list, links, and a short fade (or none, when the
    // field is laid anew).
    void removeCard(CardSprite* card, bool fade = true);
    // Puts a new loose card of the catalogue on the field at a field position (moved in
    // just far enough to lie wholly on the field), as the palette gesture does; nullptr
    // (nothing changed) when a picture cannot load.
    // `shown`: a card the model already holds, which the new sprite shows.
    CardSprite* addFieldCard(int cardSet, int cardIndex, const cocos2d::Vec2& fieldPosition,
                             FieldModel::Handle shown = 0);
    // True from the press on a palette or field card until its release or cancel.
    bool isGestureRunning() const { return !gestureListeners.empty(); }
    // Shows a short message over the workspace for a few seconds, replacing the one shown;
    // a trouble in red, anything else in the workspace's ink.
    void showNotice(const std::string& text, bool trouble = true);
    // Tells the listener each notice's text as it is shown (the end-to-end tests read them).
    void setNoticeListener(std::function<void(const std::string&)> listener) {
        noticeShown = std::move(listener);
    }
    // What lies on the field now, as plain data, with the current dialect.
    FieldContents fieldContents() const;
    // Replaces every card on the field by the contents' cards, seated and loose, at once;
    // the dialect stays as it is.
    void layContents(const FieldContents& contents);
    // Lays the field as it was before the last change, or after the change undone last;
    // nothing during a gesture, a transfer or while a popup is open.
    void undoField();
    void redoField();
    // Opens the popup of the last work and the twelve places; nothing while the field may
    // not be replaced.
    void openShelf();
    void closeShelf();
    // Saves the field into a place (0..11) through the writer; placeSaved tells how it went.
    void saveIntoPlace(int place);
    // Lays a program on the field as one step of undo, with its dialect.
    void openContents(const FieldContents& contents);
    // A program file dropped onto the window: opened, or a notice why not.
    void openDroppedFile(const std::string& path);
    // Asks for the field to be written as this run's work when it has changed since the
    // last time (during a gesture only when `evenMidGesture`); a failure is told once.
    void keepLastWork(bool evenMidGesture = false);
    // The program is about to end: writes the field as it stands and waits for the writer,
    // within its limit. False when the work could not be kept.
    bool keepBeforeExit();
    // The window's close button: true when the window may close now; with cards on the
    // field it asks first whether to keep them in a place.
    bool onCloseRequested();
    void onExit() override;
    // The shelf over the user's data folder, made on first use.
    ProgramShelf& programShelf();
    // Why the last work could not be kept, as last told; empty when it was.
    const std::string& getKeepProblem() const { return keepProblem; }

private:
    // The scene suites look inside through it.
    friend struct FieldScenePeer;
    // Reads the play and stop buttons' place for the simulator.
    friend void publishWorkspacePlace(FieldScene& scene);
    // Moves the window by what the simulator asks, when it stands where it was told.
    friend void moveWorkspaceForRoom(const FieldScene& scene, int by);

    // --- palette, card sets and dialect ---
    // Fills the palette list with the cards and usage badges of the current card set;
    // false when a picture cannot load.
    bool buildPalette();
    // Pages the palette list by one step (up: towards its first cards) with a glide.
    void pagePalette(bool up);
    // Shows the dimmed chooser with one option per dialect above the dialect button;
    // nothing while one is open.
    void openDialectChooser();
    // Fades the chooser out and removes it; the dialect refresh runs at the fade's end.
    void closeDialectChooser();

    // --- languages (FieldSceneLanguage.cpp) ---
    // Speaks the language kept in the user's settings, else the system's, else English; a
    // damaged settings file means English and a notice once the workspace stands.
    void startLanguage();
    // Speaks `code` from now on, in every lasting text, and keeps it for the next start;
    // the field, its history and the last work stay as they are.
    void chooseLanguage(const std::string& code);
    // Writes a card's caption in the current language.
    void writeCaption(CardSprite* card) const;
    // Writes a card-set tab's name in the current language.
    void writeTabName(cocos2d::Sprite* tab, bool selected) const;

    // --- settings bar and port controls ---
    // Slides the settings bar open or closed, from wherever it is now.
    void toggleSettingsBar();
    // Port-search result handler: stops the spinner and shows the chosen entry, or
    // "Not Found ..." when the search found nothing.
    void refreshPortLabel(bool searched);
    // Remembers the chosen entry's USB identity in the user's data folder.
    void rememberChosenBoard();
    // How an entry of the device list reads in the port label and the chooser's rows.
    static std::string entryText(const ZundleCardSerialData* entry);

    // --- field geometry and links ---
    // Signed whole degrees between the directions of two connectors; none when either
    // direction is zero.
    std::optional<int> connectorAngle(const Connector& a, const Connector& b) const;
    // At the release of a dragged group: a member that mostly covers a free slot, or whose
    // attachment point lies on one, is seated in that slot, however far it is from the
    // slot's own point; the card under the hand first, the group moving with it.
    void seatOnRelease(CardSprite* card, const cocos2d::Vector<CardSprite*>& group);
    // Makes dragGroup the card and every card in occupied slots connected to its slot.
    void collectCluster(CardSprite* card);
    // Draws dragGroup above every other field card, its first card on top.
    void raiseGroup();

    // --- rows and cards ---
    // Shows a usage counter on its palette badge when its set is the current one.
    void refreshUsageBadge(int cardIndex, int cardSet);
    // The rows as program generation reads them: each slot's card identity or none.
    std::vector<std::vector<std::optional<CardId>>> programRows() const;

    // --- card placement gestures ---
    // Registers the tear-off listener of a palette card.
    void listenToPaletteCard(CardSprite* card);
    // Registers the press-and-drag listener of a card on the field.
    void listenToFieldCard(CardSprite* card);
    // Over the trash marker the marker lights up and the card is tinted; elsewhere both
    // are plain.
    void trashHighlight(CardSprite* card, const cocos2d::Vec2& location);
    // Ends a card's drag at the location: dropped on the trash marker it leaves the field.
    void dropOnTrash(CardSprite* card, const cocos2d::Vec2& location);
    // Two fingers on the field are a pinch, which takes precedence over dragging a card.
    bool isFieldPinched() const { return fieldView->getTouchCount() >= 2; }
    // Field card gesture: the press, its moves, and its end (a cancel ends it where the
    // pointer last was, but never drops on the trash).
    bool onFieldCardTouchBegan(cocos2d::EventListenerTouchOneByOne* listener, cocos2d::Touch* touch,
                               cocos2d::Event* event);
    void onFieldCardTouchMoved(cocos2d::Touch* touch, cocos2d::Event* event);
    void onFieldCardTouchEnded(cocos2d::Touch* touch, cocos2d::Event* event, bool cancelled);
    // Ends the current field press: the cards are put down at the location, or dropped on
    // the trash there when allowed.
    void finishFieldPress(const cocos2d::Vec2& location, bool mayDrop);
    // The delayed steps of a press numbered n: the card alone, then its cluster.
    void pickUpCard(int n);
    void pickUpCluster(int n);
    // Palette gesture steps: the ghost, then the field card once the ghost left the panel.
    // handMotion: how far the pointer has come from where the gesture began.
    void tearOff(CardSprite* paletteCard, const cocos2d::Vec2& handMotion);
    void placeTornOffCard();
    // The gesture's listener stops swallowing and is let go.
    void endGestureListening();
    // The trash marker fades in while a card is dragged, and out (plain again) after.
    void showTrashMarker();
    void hideTrashMarker();
    void fadeTrashMarker(cocos2d::GLubyte opacity);

    // --- controls (weak: owned by their parents in the scene graph) ---
    FieldScrollView* fieldView = nullptr;
    FieldScrollView* paletteList = nullptr;
    cocos2d::LayerColor* palettePanel = nullptr;
    cocos2d::Sprite* trashMarker = nullptr;
    cocos2d::Sprite* playerStrip = nullptr;
    CardSprite* playButton = nullptr;
    cocos2d::Sprite* stopButton = nullptr;
    cocos2d::Sprite* dialectButton = nullptr;
    cocos2d::Sprite* pageUpButton = nullptr;
    cocos2d::Sprite* pageDownButton = nullptr;
    cocos2d::Layer* settingsBar = nullptr;
    cocos2d::Sprite* settingsGear = nullptr;
    cocos2d::Sprite* reloadSpinner = nullptr;
    cocos2d::Label* portLabel = nullptr;
    cocos2d::Sprite* portField = nullptr;
    cocos2d::Label* creditLabel = nullptr;
    cocos2d::Label* versionLabel = nullptr;
    // The languages whose catalogues stand beside the program, read once at start.
    std::vector<lang::Language> languages;
    // The language chooser's buttons on the settings bar (weak), each named by its code.
    std::vector<cocos2d::LayerColor*> languageButtons;
    // Why the kept settings could not be read, told once the workspace stands.
    std::string languageProblem;
    void buildLanguageButtons();
    void markChosenLanguage();
    // The notice on screen, written in `before`'s language, worded in the current one.
    void rewordNotice(const lang::MessageCatalog& before);
    // Rewrites the settings bar's and the answer button's words in the current language.
    void relabelSettingsBar();
    void relabelAnswerButton();
    // Popups while they are shown, else none.
    cocos2d::Layer* dialectChooser = nullptr;
    cocos2d::Layer* portChooser = nullptr;
    // The port chooser's rows (weak), bottom first; each is tagged with the entry it shows.
    // With more entries than fit below the window's top the rows are reused as it scrolls.
    std::vector<cocos2d::Label*> portChooserRows;
    // How far the chooser's list is scrolled, in rows past its first entry.
    float portChooserScroll = 0.f;
    // The touch on the chooser has become a scroll: no row is chosen when it ends.
    bool portChooserDragged = false;
    cocos2d::Node* loadingOverlay = nullptr;

    // --- gesture state of the card placement ---
    // Reset with resetGesture() as a gesture ends: nothing of it reaches the next one.
    struct Gesture {
        CardSprite* ghostCard = nullptr;
        CardSprite* draggedCard = nullptr;
        CardSprite* pressedCard = nullptr;
        // The slot the drag group is held at, or none.
        CardSprite* heldSlot = nullptr;
        bool pressIsStill = true;
        bool dragMode = false;
        bool tearOffDecided = false;
        cocos2d::Vec2 tearOffStart;
        // Pointer motion gathered while the group is held.
        cocos2d::Vec2 holdDrift;
        // How far the dragged card stands from where the hand holds it: a snap pulls it into a
        // slot, a hold keeps it there, the field's edge keeps it in. Zero while it follows.
        cocos2d::Vec2 handShift;
        // The cards that move together in the current gesture (retained).
        cocos2d::Vector<CardSprite*> dragGroup;
    };
    Gesture gesture;
    // Number of the current press, 0..9.
    int touchSequence = 0;
    // The listener of the running gesture, at most one (retained): it swallows the
    // pointer's moves once a card follows them.
    cocos2d::Vector<cocos2d::EventListenerTouchOneByOne*> gestureListeners;

    // --- field and palette state ---
    // Every card on the field, in creation order (retained).
    cocos2d::Vector<CardSprite*> fieldCards;
    // The palette's cards of the current set, in card-index order (retained).
    cocos2d::Vector<CardSprite*> paletteCards;
    // The palette's count labels, one per card of the current set (retained).
    cocos2d::Vector<cocos2d::LabelAtlas*> usageBadges;
    // The three card-set tabs, tab i tagged i (retained).
    cocos2d::Vector<cocos2d::Sprite*> cardSetTabs;
    // What the field holds; the cards on it are its view.
    FieldModel fieldModel;
    // Per card set, the palette list's y offset when the set was last left.
    std::array<float, kCardSetCount> savedPaletteOffsets{};
    // Listeners of the dialect chooser's options and of the port chooser's rows (retained).
    cocos2d::Vector<cocos2d::EventListener*> dialectChooserListeners;
    cocos2d::Vector<cocos2d::EventListener*> portChooserListeners;
    // Whether the settings bar is open or opening.
    bool settingsBarOpen = false;
    // The 30 rows, top first; fixed after init.
    std::vector<FieldRow> fieldRows;

    // --- run and stop, progress and failure notices, port chooser ---
    // Sends the field's program to the chosen port or tool under the loading overlay;
    // nothing while a transfer runs.
    void runProgram();
    // Sends the dialect's stop key and reset text, without an overlay; nothing while a
    // transfer runs.
    void stopProgram();
    // Covers the window for the transfer of the plan just started: a turning picture and a
    // line that tells how far the transfer is; takes every touch until it has ended.
    void showLoading(const TransferPlan& plan);
    // Told each notice's text as it is shown, when set.
    std::function<void(const std::string&)> noticeShown;
    // Shows the list of ports and tools above the port field; nothing while a discovery
    // rebuilds the list or when it is empty.
    void openPortChooser();
    // Fades the port chooser out and removes it; run as an action, never from its handlers.
    void closePortChooser();
    // Scrolls the port chooser's list by a number of rows, positive towards its later
    // entries.
    void scrollPortChooser(float rows);

    // --- keeping the work: undo and redo (FieldSceneHistory.cpp) ---
    // Takes a finished change of the field as a step of undo and asks for the work to be
    // kept; the model's listener calls it, and the end of every gesture.
    void watchField();
    // The field card that shows a card of the model, or nullptr.
    CardSprite* spriteOf(FieldModel::Handle card) const;
    // The slot's place in the rows, none for anything that is not a slot.
    std::optional<FieldModel::Seat> seatOfSlot(const CardSprite* slot) const;
    // Every field card moved to the slot its card has in the model.
    void followModelSeats();
    void stepHistory(bool forward);
    // Whether undo, redo or opening a program may replace the field's cards now: never
    // during a gesture or a transfer, nor behind a popup (the shelf, a question, a chooser).
    bool mayReplaceField() const;
    // A gesture, a transfer or a chooser has the field: what the shelf's Open waits for.
    bool isFieldBusy() const;
    // Dims the undo and redo controls when there is no step their way.
    void refreshHistoryControls();

    FieldHistory fieldHistory;
    cocos2d::Sprite* undoButton = nullptr;
    cocos2d::Sprite* redoButton = nullptr;
    cocos2d::Sprite* shelfButton = nullptr;

    // --- the shelf of programs and the last work (FieldSceneShelf.cpp) ---
    void placeSaved(int place, const std::string& problem);
    // A popup with a question and a button per answer, the last one the quiet way out.
    void askQuestion(const std::string& text,
                     const std::vector<std::pair<std::string, std::function<void()>>>& answers);
    // Keeps the work within a second of a change; at most once a second.
    void scheduleKeep();
    // The field changed (or a gesture ended): watchField runs once the change is whole.
    void fieldChanged();
    // Takes the answers of the shelf's writer while it has work under way.
    void watchWrites();
    void takeFinishedWrites();
    // Keeps the last work and closes the window; when it cannot be kept, says so and
    // offers to try again.
    void quitWorkspace();
    void endWindow();

    std::unique_ptr<ProgramShelf> shelf;
    cocos2d::Layer* shelfPopup = nullptr;
    cocos2d::Layer* questionPopup = nullptr;
    // A save from the shelf ends the program: the shelf was opened by the close question.
    bool closeAfterSave = false;
    // The contents last asked to be written as this run's work (at start: the empty field,
    // which is not written until a card has been laid).
    FieldContents lastKept;
    // The writer's ticket of the latest keeping, and whether it failed (then the next
    // watch asks again).
    unsigned long keepTicket = 0;
    bool keepFailed = false;
    // The save into a place under way, ticket 0 when none.
    struct PlaceWrite {
        unsigned long ticket = 0;
        int place = 0;
    };
    PlaceWrite placeWrite;
    // The last work's write failure told last, so that it is not told every second.
    std::string keepProblem;

    // --- the board's answers (FieldSceneAnswers.cpp) ---
    // What came back since the latest play, and what it is checked against.
    struct BoardTalk {
        int transfer = -1;
        TransferPlan plan;
        AnswerLines lines;
        std::string unread;  // taken from the link, not yet read into lines
        AnswerLog log;
        EchoCheck check{false};
        int chunksNoted = 0;
        double clock = 0.0;
        bool sendingEnded = false;
        float quietFor = 0.f;
        bool verdictTold = false;
        // The row an error named (-1: none), with its cards then: it goes when they change.
        // The same error again is not told again.
        int markedRow = -1;
        std::string markedError;
        FieldContents::Row markedCards{};
        // The row the simulated board runs now, -1 for none.
        int runningRow = -1;
        // Whether the program went to a transfer tool, which may ask the workspace to move.
        bool toTool = false;
    };
    // The button that opens and closes the panel of the board's last lines, and the panel.
    bool buildAnswerControls();
    void toggleAnswerPanel();
    void refreshAnswerPanel();
    // Where the button stands with the settings bar where it is going, and the panel's
    // bottom above it; the button and an open panel slide there with the bar.
    cocos2d::Vec2 answerButtonPlace() const;
    float answerPanelBottom() const;
    void followSettingsBar(float seconds);
    // Play has started sending the program: what comes back from now on is its answer.
    void beginBoardTalk(const TransferPlan& plan);
    // The sending has ended, `whole` when every chunk got through.
    void boardTalkSent(bool whole);
    void listenToBoard(float dt);
    // An error of the board on a row: its head turns red and the notice says it.
    void markErrorRow(int row, const std::string& message);
    // The simulator tells which line it runs: that row's head is lit, one at a time.
    void lightRunningRow(std::optional<int> row);
    void unmarkErrorRow();
    // The mark goes once the row it names holds other cards.
    void forgetChangedErrorRow();
    BoardTalk talk;
    // Where the window's drawing area was when it last told the tools (WorkspacePlace.cpp).
    std::optional<cocos2d::backend::PixelRect> toldFrame;
    // The 30 row heads (weak), top first.
    std::vector<CardSprite*> rowHeads;
    NoticeStrip* answerButton = nullptr;
    cocos2d::Node* answerMark = nullptr;
    cocos2d::LayerColor* answerPanel = nullptr;

    // The progress line on the loading overlay and the message shown (weak), else none.
    cocos2d::Node* progressLine = nullptr;
    cocos2d::Node* notice = nullptr;

    FieldScene();

    // --- what the listeners of play, stop, the port field, reload and palette cards call ---
    // Play button released on it: start a run.
    void onPlayPressed();
    // Stop button released on it: stop the board's program.
    void onStopPressed();
    // Port field released on it: open the port chooser.
    void onPortFieldPressed();
    // Reload spinner released on it: search for ports and tools again.
    void onReloadPressed();
    // Palette card gesture: tearing a card off the palette.
    bool onPaletteCardTouchBegan(cocos2d::Touch* touch, cocos2d::Event* event);
    void onPaletteCardTouchMoved(cocos2d::Touch* touch, cocos2d::Event* event);
    void onPaletteCardTouchEnded(cocos2d::Touch* touch, cocos2d::Event* event);

    struct SlotMatch {
        Connector* mine;
        Connector* theirs;
    };

    // Every value of a gesture back to its start; the gesture's own side effects (a ghost
    // removed, a group seated) come before.
    void resetGesture();
    // Layout, one step of init each; false when a picture cannot load.
    void resetState();
    bool buildPalettePanel(cocos2d::Layer* layerA);
    bool buildSettingsBar();
    bool buildFieldView();
    bool buildFieldRows();
    bool buildPlayerStrip();
    // Undo, redo and the shelf's button beside the player strip, and the field's watch.
    bool buildKeepingControls();
    void buildFrame();
    void addControlListeners();
    void addMouseListener();
    // Asks the device link for a search whose end refreshes the port label; false when
    // the link is busy.
    bool startPortSearch();
    // Routes the wheel and the middle button by the pointer's position.
    void onMouseScroll(cocos2d::EventMouse* event);
    void onMouseDown(cocos2d::EventMouse* event);
    // An entry's text as a chooser row shows it: on one line, cut to the row's width.
    std::string rowText(const ZundleCardSerialData* entry) const;
    // Lets a touch on the chooser's rows scroll them when they do not all fit.
    void addDragArea(cocos2d::Layer* chooser, const cocos2d::Rect& rows);
    // Registers a press-rule listener on the control; `accepts`, when given, must hold for
    // a press to be taken.
    void listenForPress(cocos2d::Node* control, std::function<void(cocos2d::Node*)> action,
                        std::function<bool()> accepts = {});
    // One option of the dialect chooser, tagged with its dialect, with its listener.
    cocos2d::Sprite* makeDialectOption(Dialect dialect);

    cocos2d::EventListenerTouchOneByOne* makeRowButtonListener(bool insert);
    // Popups: a shade over the window with a framed panel over the field, whose inside is
    // the child tagged kPopupInsideTag; a touch off the panel calls onOutside.
    static constexpr int kPopupInsideTag = 0x506f70;
    cocos2d::Layer* makePopup(const cocos2d::Size& panel, std::function<void()> onOutside);
    void closePopup(cocos2d::Layer*& popup);
    // A button of a popup, centred; shrunk to `room` points wide when its words are wider.
    cocos2d::Node* addPopupButton(cocos2d::Node* parent, const std::string& text,
                                  const cocos2d::Vec2& centre, std::function<void()> action,
                                  bool quiet = false, float room = 0.f);
    // A tile of the shelf in the box: tags 1..12 are the places, the others recent works.
    void addShelfTile(cocos2d::Node* inside, int tag, const ProgramShelf::Entry& entry,
                      const cocos2d::Rect& box);
    // Save on a place's tile: asks first when a program (or a damaged file) lies there now.
    void askBeforeSaving(int place);

    // The nearest pair (card connector, free slot connector) within reach among those that
    // pass the direction test.
    std::optional<SlotMatch> findNearestSlot(CardSprite* card) const;
    // The free slot the card mostly covers, else the one its attachment point lies on;
    // none when neither.
    CardSprite* freeSlotUnder(CardSprite* card) const;
    // Moves the group so that the card's point lands on the connector's, and links the
    // other members to free slots within reach.
    void shiftGroupOnto(const cocos2d::Vector<CardSprite*>& group, CardSprite* card,
                        const cocos2d::Vec2& point, const Connector& theirs);
    // Gives a field card the look of a card in a slot or of a loose one.
    void showSeating(CardSprite* node);
    void link(Connector& mine, Connector& theirs);
    void detach(CardSprite* card);
    // Moves a card by delta, keeping it wholly inside the content.
    void moveClamped(CardSprite* card, const cocos2d::Vec2& delta);
    // Animates a card onto a slot's attachment point and links the two.
    void moveToSlot(CardSprite* card, CardSprite* slot);
    void addToCluster(CardSprite* card);
    void raiseCard(CardSprite* card);
};
