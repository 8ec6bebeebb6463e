// The simulator's layer on the headless engine: transfers reach the board and the window
// shows what it does, the button is held with the mouse or the space bar, and the car
// drives on the frames' time.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "Transfers.h"
#include "platform/headless/HeadlessHarness.h"
#include "simulator/BoardPanel.h"
#include "simulator/CarArena.h"
#include "simulator/ProgramPanel.h"
#include "simulator/SimulatorScene.h"

USING_NS_CC;

namespace {

using namespace cards;

class SimulatorWindow : public testing::Test {
protected:
    SimulatorWindow() {
        layer = SimulatorScene::create([this] { return std::exchange(pending, {}); });
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

}  // namespace
