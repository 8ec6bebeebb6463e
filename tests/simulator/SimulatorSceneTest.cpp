// The simulator's layer on the headless engine: transfers reach the board and the window
// shows what it does, the button is held with the mouse or the space bar, and the car
// drives on the frames' time.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "Transfers.h"
#include "lang/Languages.h"
#include "lang/Translate.h"
#include "platform/FileSystem.h"
#include "platform/headless/HeadlessHarness.h"
#include "simulator/BoardPanel.h"
#include "simulator/CarArena.h"
#include "simulator/ProgramPanel.h"
#include "simulator/SimulatorLook.h"
#include "simulator/SimulatorScene.h"

USING_NS_CC;

namespace {

using namespace cards;

class SimulatorWindow : public testing::Test {
protected:
    explicit SimulatorWindow(bool compact = false) {
        layer = SimulatorScene::create([this] { return std::exchange(pending, {}); }, compact);
        harness.scene()->addChild(layer);
        harness.step();
    }

    // A transfer arrives and one frame passes.
    void transfer(const std::string& bytes) {
        pending.push_back(bytes);
        harness.step();
    }
    void seconds(int n) { harness.steps(60 * n); }
    bool ledLit() const { return layer->boardPanel()->led()->getColor().r > 200; }
    Vec2 buttonCentre() const {
        return layer->boardPanel()->button()->convertToWorldSpace(Vec2(50, 35));
    }

    HeadlessHarness harness;
    std::vector<std::string> pending;
    SimulatorScene* layer = nullptr;
};

TEST_F(SimulatorWindow, PlayShowsTheProgramRunningAndStopDarkensIt) {
    EXPECT_EQ(layer->programPanel()->stateText(), "waiting");
    transfer(programTransfer(Dialect::Kib,
                             {{kLoopStart}, {kLedOn, kWait1}, {kLedOff, kWait1}, {kLoopEnd}}));
    EXPECT_TRUE(ledLit());
    EXPECT_EQ(layer->programPanel()->stateText(), "running");
    EXPECT_EQ(layer->programPanel()->lineText(1), "20 LED 1:WAIT 60");
    EXPECT_EQ(layer->programPanel()->highlightedRow(), 1);
    seconds(1);
    EXPECT_FALSE(ledLit());
    EXPECT_EQ(layer->programPanel()->highlightedRow(), 2);

    seconds(1);
    ASSERT_TRUE(ledLit());
    transfer(stopTransfer(Dialect::Kib));
    EXPECT_FALSE(ledLit());
    EXPECT_EQ(layer->programPanel()->stateText(), "stopped");
    EXPECT_EQ(layer->programPanel()->highlightedRow(), -1);
}

TEST_F(SimulatorWindow, ButtonIsHeldWithTheMouseOrTheSpaceBar) {
    transfer(programTransfer(
        Dialect::Vemmo, {{kLoopStart}, {kIfPressed, kLedOn}, {kIfReleased, kLedOff}, {kLoopEnd}}));
    EXPECT_FALSE(ledLit());
    harness.mouseDown(EventMouse::BUTTON_LEFT, buttonCentre());
    harness.step();
    EXPECT_TRUE(ledLit());
    harness.mouseUp(EventMouse::BUTTON_LEFT, Vec2(900, 40));  // let go anywhere
    harness.step();
    EXPECT_FALSE(ledLit());

    harness.keyDown(EventKeyboard::KeyCode::KEY_SPACE);
    harness.step();
    EXPECT_TRUE(ledLit());
    harness.keyUp(EventKeyboard::KeyCode::KEY_SPACE);
    harness.step();
    EXPECT_FALSE(ledLit());
    // A press beside the button holds nothing.
    harness.mouseDown(EventMouse::BUTTON_LEFT, buttonCentre() + Vec2(0, 60));
    harness.step();
    EXPECT_FALSE(ledLit());
}

TEST_F(SimulatorWindow, CarDrivesOnTheFramesTimeAndEachRunStartsInTheMiddle) {
    const Vec2 start = layer->arena()->car()->getPosition();
    transfer(programTransfer(Dialect::Kib, {{kForward}, {kWait1}, {kCarStop}}));
    seconds(2);
    const Vec2 driven = layer->arena()->car()->getPosition();
    EXPECT_EQ(driven.x, start.x);
    EXPECT_GT(driven.y, start.y);
    seconds(1);
    EXPECT_EQ(layer->arena()->car()->getPosition(), driven) << "stopped after its second";
    transfer(programTransfer(Dialect::Kib, {{kCarStop}}));
    EXPECT_EQ(layer->arena()->car()->getPosition(), start);
}

// Every word on the board's panel stays inside the panel in every language: past its right
// edge it would run over the car, or be cut off by it.
TEST_F(SimulatorWindow, EveryWordOnTheBoardStaysInsideItsPanelInEveryLanguage) {
    const std::string folder = lang::catalogueFolder(filesystem::executableDirectory());
    for (const lang::Language& language : lang::languagesIn(folder)) {
        std::string error;
        ASSERT_TRUE(lang::switchLanguage(language.code, folder, error)) << error;
        auto* board = SimulatorScene::create([] { return std::vector<std::string>(); }, false);
        harness.scene()->addChild(board);
        harness.step();
        for (Node* child : board->boardPanel()->getChildren()) {
            if (const auto* label = dynamic_cast<const Label*>(child)) {
                const Rect box = label->getBoundingBox();
                EXPECT_GE(box.getMinX(), 0.f) << language.code << " " << label->getString();
                EXPECT_LE(box.getMaxX(), 280.f) << language.code << " " << label->getString();
            }
        }
        board->removeFromParent();
    }
    std::string error;
    lang::switchLanguage("en", folder, error);
}

class CompactSimulatorWindow : public SimulatorWindow {
protected:
    CompactSimulatorWindow() : SimulatorWindow(true) {}

    // Where a node's rectangle from (0, 0) to corner lies in the window.
    static Rect inWindow(Node* node, const Vec2& corner) {
        const Vec2 low = node->convertToWorldSpace(Vec2::ZERO);
        const Vec2 high = node->convertToWorldSpace(corner);
        return Rect(low, Size(high.x - low.x, high.y - low.y));
    }
    void press(const Vec2& at) {
        harness.touchBegan(at);
        harness.touchEnded(at);
        harness.step();
    }
};

// The narrow form holds the board and the car one above the other inside its window, and
// one press unfolds the program over them (and keeps presses off the button beneath).
TEST_F(CompactSimulatorWindow, StacksBoardAndCarInsideItsWindowAndFoldsTheProgramAway) {
    const Rect window(0, 0, look::kCompactWidth, look::kCompactHeight);
    BoardPanel* board = layer->boardPanel();
    const Rect parts[] = {
        inWindow(board->led(), board->led()->getContentSize()),
        inWindow(board->button(), board->button()->getContentSize()),
        inWindow(board->output(6), board->output(6)->getContentSize()),
        inWindow(board->pwmBar(1), Vec2(180, 16)),
    };
    const Rect arena = inWindow(layer->arena(), Vec2(CarArena::kSide, CarArena::kSide));
    for (const Rect& part : parts) {
        EXPECT_TRUE(window.containsPoint(part.origin)) << part.origin.x << "," << part.origin.y;
        EXPECT_TRUE(window.containsPoint(Vec2(part.getMaxX(), part.getMaxY())))
            << part.getMaxX() << "," << part.getMaxY();
        EXPECT_FALSE(part.intersectsRect(arena));
    }
    EXPECT_TRUE(window.containsPoint(arena.origin));
    EXPECT_TRUE(window.containsPoint(Vec2(arena.getMaxX(), arena.getMaxY())));

    transfer(programTransfer(Dialect::Kib, {{kLedOn, kWait1}}));
    const Vec2 fold =
        inWindow(layer->programFold(), layer->programFold()->getContentSize()).origin +
        Vec2(20, 10);
    EXPECT_FALSE(layer->programShown());
    press(fold);
    ASSERT_TRUE(layer->programShown());
    EXPECT_EQ(layer->programPanel()->lineText(0), "10 LED 1:WAIT 60");
    harness.touchBegan(buttonCentre());
    harness.step();
    EXPECT_FALSE(layer->board().io().button);
    harness.touchEnded(buttonCentre());
    press(fold);
    EXPECT_FALSE(layer->programShown());
    harness.touchBegan(buttonCentre());
    harness.step();
    EXPECT_TRUE(layer->board().io().button);
    harness.touchEnded(buttonCentre());
}

}  // namespace
