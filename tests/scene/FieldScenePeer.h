// The inside of the workspace that the scene suites look at (its controls, popups, cards
// and the state of the running gesture), which the scene keeps to itself. Only for tests.
#pragma once

#include "scene/FieldScene.h"

// What a suite sees through inside(scene): the scene's own members, by reference.
struct FieldScenePeer {
    explicit FieldScenePeer(FieldScene& scene)
        : self(scene),
          answerButton(scene.answerButton),
          answerPanel(scene.answerPanel),
          settingsBar(scene.settingsBar),
          languageProblem(scene.languageProblem),
          languageButtons(scene.languageButtons),
          creditLabel(scene.creditLabel),
          versionLabel(scene.versionLabel),
          cardSetTabs(scene.cardSetTabs),
          dialectButton(scene.dialectButton),
          dialectChooser(scene.dialectChooser),
          fieldCards(scene.fieldCards),
          fieldHistory(scene.fieldHistory),
          fieldModel(scene.fieldModel),
          fieldRows(scene.fieldRows),
          fieldView(scene.fieldView),
          loadingOverlay(scene.loadingOverlay),
          notice(scene.notice),
          pageDownButton(scene.pageDownButton),
          pageUpButton(scene.pageUpButton),
          paletteCards(scene.paletteCards),
          paletteList(scene.paletteList),
          playButton(scene.playButton),
          portChooser(scene.portChooser),
          portField(scene.portField),
          portLabel(scene.portLabel),
          progressLine(scene.progressLine),
          questionPopup(scene.questionPopup),
          redoButton(scene.redoButton),
          reloadSpinner(scene.reloadSpinner),
          rowHeads(scene.rowHeads),
          settingsBarOpen(scene.settingsBarOpen),
          settingsGear(scene.settingsGear),
          shelf(scene.shelf),
          shelfButton(scene.shelfButton),
          shelfPopup(scene.shelfPopup),
          stopButton(scene.stopButton),
          talk(scene.talk),
          touchSequence(scene.touchSequence),
          trashMarker(scene.trashMarker),
          undoButton(scene.undoButton),
          usageBadges(scene.usageBadges),
          dragGroup(scene.gesture.dragGroup),
          dragMode(scene.gesture.dragMode),
          draggedCard(scene.gesture.draggedCard),
          ghostCard(scene.gesture.ghostCard),
          handShift(scene.gesture.handShift),
          heldSlot(scene.gesture.heldSlot),
          holdDrift(scene.gesture.holdDrift),
          pressIsStill(scene.gesture.pressIsStill),
          pressedCard(scene.gesture.pressedCard),
          tearOffDecided(scene.gesture.tearOffDecided),
          tearOffStart(scene.gesture.tearOffStart) {}

    // Opens or closes the board's panel as its button does.
    void toggleAnswerPanel() { self.toggleAnswerPanel(); }
    // The language steps the settings bar and the start take.
    void startLanguage() { self.startLanguage(); }
    void chooseLanguage(const std::string& code) { self.chooseLanguage(code); }
    // Asks as the workspace's questions do.
    void askQuestion(const std::string& text,
                     const std::vector<std::pair<std::string, std::function<void()>>>& answers) {
        self.askQuestion(text, answers);
    }
    // Looks at the field as its settle does after a change.
    void watchField() { self.watchField(); }

    FieldScene& self;
    decltype(FieldScene::answerButton)& answerButton;
    decltype(FieldScene::answerPanel)& answerPanel;
    decltype(FieldScene::settingsBar)& settingsBar;
    decltype(FieldScene::languageProblem)& languageProblem;
    decltype(FieldScene::languageButtons)& languageButtons;
    decltype(FieldScene::creditLabel)& creditLabel;
    decltype(FieldScene::versionLabel)& versionLabel;
    decltype(FieldScene::cardSetTabs)& cardSetTabs;
    decltype(FieldScene::dialectButton)& dialectButton;
    decltype(FieldScene::dialectChooser)& dialectChooser;
    decltype(FieldScene::fieldCards)& fieldCards;
    decltype(FieldScene::fieldHistory)& fieldHistory;
    decltype(FieldScene::fieldModel)& fieldModel;
    decltype(FieldScene::fieldRows)& fieldRows;
    decltype(FieldScene::fieldView)& fieldView;
    decltype(FieldScene::loadingOverlay)& loadingOverlay;
    decltype(FieldScene::notice)& notice;
    decltype(FieldScene::pageDownButton)& pageDownButton;
    decltype(FieldScene::pageUpButton)& pageUpButton;
    decltype(FieldScene::paletteCards)& paletteCards;
    decltype(FieldScene::paletteList)& paletteList;
    decltype(FieldScene::playButton)& playButton;
    decltype(FieldScene::portChooser)& portChooser;
    decltype(FieldScene::portField)& portField;
    decltype(FieldScene::portLabel)& portLabel;
    decltype(FieldScene::progressLine)& progressLine;
    decltype(FieldScene::questionPopup)& questionPopup;
    decltype(FieldScene::redoButton)& redoButton;
    decltype(FieldScene::reloadSpinner)& reloadSpinner;
    decltype(FieldScene::rowHeads)& rowHeads;
    decltype(FieldScene::settingsBarOpen)& settingsBarOpen;
    decltype(FieldScene::settingsGear)& settingsGear;
    decltype(FieldScene::shelf)& shelf;
    decltype(FieldScene::shelfButton)& shelfButton;
    decltype(FieldScene::shelfPopup)& shelfPopup;
    decltype(FieldScene::stopButton)& stopButton;
    decltype(FieldScene::talk)& talk;
    decltype(FieldScene::touchSequence)& touchSequence;
    decltype(FieldScene::trashMarker)& trashMarker;
    decltype(FieldScene::undoButton)& undoButton;
    decltype(FieldScene::usageBadges)& usageBadges;
    decltype(FieldScene::Gesture::dragGroup)& dragGroup;
    decltype(FieldScene::Gesture::dragMode)& dragMode;
    decltype(FieldScene::Gesture::draggedCard)& draggedCard;
    decltype(FieldScene::Gesture::ghostCard)& ghostCard;
    decltype(FieldScene::Gesture::handShift)& handShift;
    decltype(FieldScene::Gesture::heldSlot)& heldSlot;
    decltype(FieldScene::Gesture::holdDrift)& holdDrift;
    decltype(FieldScene::Gesture::pressIsStill)& pressIsStill;
    decltype(FieldScene::Gesture::pressedCard)& pressedCard;
    decltype(FieldScene::Gesture::tearOffDecided)& tearOffDecided;
    decltype(FieldScene::Gesture::tearOffStart)& tearOffStart;
};

inline FieldScenePeer inside(FieldScene* scene) {
    return FieldScenePeer(*scene);
}

// The checks that only look take the scene as it stands.
inline FieldScenePeer inside(const FieldScene& scene) {
    return FieldScenePeer(const_cast<FieldScene&>(scene));
}
