// Building the workspace: init in its order (the steps live in the files of their
// concern), the field view, the scene's state, and the hooks of the editing controls.
#include "scene/FieldScene.h"

#include "catalogue/DeviceManager.h"
#include "storage/ProgramShelf.h"

USING_NS_CC;

namespace {
// The field is one and a half screens wide and 5.51 screens high; it opens at its top.
constexpr float kContentWidthScreens = 1.5f;
constexpr float kContentHeightScreens = 5.51f;
constexpr float kFirstOffsetScreens = -4.51f;
constexpr float kMinZoom = 0.5f;
constexpr float kMaxZoom = 1.f;
}  // namespace

// Out of line, where the shelf's type is whole.
FieldScene::FieldScene() = default;

FieldScene::~FieldScene() {
    fieldCards.clear();
    gesture.dragGroup.clear();
    paletteCards.clear();
    usageBadges.clear();
    cardSetTabs.clear();
    dialectChooserListeners.clear();
    portChooserListeners.clear();
}

bool FieldScene::init() {
    if (!Layer::init()) {
        return false;
    }
    resetState();
    startLanguage();
    // Drawing order is the order of adding: the field at the bottom, the palette and the
    // settings bar over it, the player strip and the frame on top.
    Layer* layerA = Layer::create();
    settingsBar = Layer::create();
    if (!buildPalettePanel(layerA) || !buildSettingsBar() || !buildFieldView() ||
        !buildFieldRows()) {
        return false;
    }
    addChild(fieldView);
    addChild(layerA);
    addChild(settingsBar);
    if (!buildPlayerStrip() || !buildKeepingControls() || !buildAnswerControls()) {
        return false;
    }
    buildFrame();
    addControlListeners();
    startPortSearch();
    refreshDialect();
    addMouseListener();
    if (!languageProblem.empty()) {
        showNotice(languageProblem);
    }
    return true;
}

void FieldScene::resetGesture() {
    gesture = {};
}

void FieldScene::resetState() {
    resetGesture();
    fieldCards.clear();
    cardSetTabs.clear();
    touchSequence = 0;

    fieldModel.layContents(FieldContents{});
    for (int set = 0; set < kCardSetCount; ++set) {
        savedPaletteOffsets[static_cast<std::size_t>(set)] = kNoSavedOffset;
    }
    portChooser = nullptr;
    settingsBarOpen = false;
}

bool FieldScene::buildFieldView() {
    const Size visible = Director::getInstance()->getVisibleSize();
    fieldView = FieldScrollView::create(visible);
    if (fieldView == nullptr) {
        return false;
    }
    fieldView->delegate = this;
    fieldView->setContentSize(
        Size(kContentWidthScreens * visible.width, kContentHeightScreens * visible.height));
    fieldView->setOffset(Vec2(0.f, kFirstOffsetScreens * visible.height), false);
    fieldView->setZoom(1.f);
    fieldView->minZoom = kMinZoom;
    fieldView->maxZoom = kMaxZoom;
    fieldView->setScrollAxis(FieldScrollView::ScrollAxis::Vertical);
    fieldView->springBack = false;
    fieldView->setPosition(Vec2::ZERO);
    const Size content = fieldView->getContentSize();
    fieldView->addChild(LayerColor::create(Color4B::WHITE, content.width, content.height));
    return true;
}
