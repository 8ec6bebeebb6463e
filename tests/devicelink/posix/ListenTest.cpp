// Listening to the board: a fake board on a pseudo-terminal echoes, answers and errs, floods
// and vanishes; the manager reads it while sending and after a play, holds the port for this
// program alone until it is told to let go, and never hands over what an earlier play heard.
#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Entries.h"
#include "FakeBoard.h"
#include "PseudoTerminal.h"
#include "devicelink/LinkPlatform.h"
#include "devicelink/ZundleCardSerialManager.h"
#include "platform/headless/HeadlessHarness.h"

using devicelink::platform::PortRecord;
using Kind = TransferFailure::Kind;
namespace platform = devicelink::platform;

namespace {

const std::vector<Chunk> kProgram = {
    {"NEW\r\n", 20}, {"10 LED 1\r\n", 20}, {"20 BAD 5\r\n", 20}, {"RUN\r\n", 20}};

class Listening : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(terminal.valid() && other.valid());
        manager->devices.clear();
        manager->setToolFolder("/nonexistent/zc/exe");
        manager->setPortSource([this](std::vector<PortRecord>& out) {
            out.push_back({terminal.portName(), "fake board"});
            out.push_back({other.portName(), "another board"});
            return true;
        });
        bool searched = false;
        ASSERT_TRUE(manager->startSearch([&](bool) { searched = true; }));
        stepUntil([&] { return searched; });
        manager->selectedIndex = 0;
    }

    void TearDown() override {
        manager->releaseLink();
        harness.steps(3);
        manager->setPortSource({});
        manager->setToolFolder("");
        EXPECT_FALSE(manager->isListening());
    }

    // Frames of the fixed time step, each with a millisecond of real time for the threads.
    bool stepUntil(const std::function<bool()>& condition) {
        for (int frame = 0; frame < 20000; ++frame) {
            if (condition())
                return true;
            harness.step();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return condition();
    }

    // Plays the program (or stops, with `play` false) and waits for the callback.
    bool transfer(bool play, const std::vector<Chunk>& chunks = kProgram) {
        const TransferPlan plan = planOf(chunks, TargetKind::SerialPort);
        bool done = false;
        bool result = false;
        const auto callback = [&](const TransferResult& sent) {
            done = true;
            result = sent.whole;
        };
        if (!(play ? manager->startPlay(plan, callback) : manager->startSend(plan, callback)))
            return false;
        return stepUntil([&] { return done; }) && result;
    }

    // Takes what was received until `part` is among it.
    std::string takeUntil(const std::string& part, std::string taken = "") {
        stepUntil([&] {
            taken += manager->takeReceived().bytes;
            return taken.find(part) != std::string::npos;
        });
        return taken;
    }

    bool portIsFree(const PseudoTerminal& pair) {
        TransferFailure failure;
        return platform::openSerialPort(pair.portName(), {}, failure) != nullptr;
    }

    cocos2d::HeadlessHarness harness;
    ZundleCardSerialManager* manager = ZundleCardSerialManager::getInstance();
    PseudoTerminal terminal;
    PseudoTerminal other;
};

}  // namespace

// The echo and the board's answers arrive while sending; what the board says later still
// arrives; meanwhile no other program gets the port, and stop lets it go.
TEST_F(Listening, PlayHearsTheEchoAndTheErrorAndKeepsListeningUntilStop) {
    FakeBoard board(terminal, FakeBoard::Manner::Echo);
    ASSERT_TRUE(transfer(true));
    const std::string heard = takeUntil("Syntax error in 20\r\n");
    EXPECT_EQ(heard, "NEW\r\nOK\r\n10 LED 1\r\n20 BAD 5\r\nRUN\r\nSyntax error in 20\r\n");
    EXPECT_TRUE(manager->isListening());
    EXPECT_FALSE(portIsFree(terminal));
    board.say("LED test done\r\n");
    EXPECT_EQ(takeUntil("done\r\n"), "LED test done\r\n");
    const int played = manager->getTransferNumber();

    ASSERT_TRUE(transfer(false, {{"\033", 20}}));
    EXPECT_GT(manager->getTransferNumber(), played);
    EXPECT_FALSE(manager->isListening()) << "stop sends and lets go";
    EXPECT_TRUE(portIsFree(terminal));
    EXPECT_EQ(manager->getListenFailure().kind, Kind::None);
}

// What the board said after one play is not the next play's answer, even when nobody took it.
TEST_F(Listening, AnswersFromBeforeTheLatestPlayAreNeverTaken) {
    FakeBoard board(terminal, FakeBoard::Manner::Echo);
    ASSERT_TRUE(transfer(true));
    takeUntil("Syntax error");
    board.say("Stale answer\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(transfer(true, {{"PRINT 1\r\n", 20}}));
    const std::string heard = takeUntil("OK\r\n");
    EXPECT_EQ(heard, "PRINT 1\r\nOK\r\n");
}

// The listening ends by itself when the board goes, with its reason; or when the user
// chooses another port; or when the window closes.
TEST_F(Listening, EndsWhenTheBoardVanishesAnotherPortIsChosenOrTheLinkLetsGo) {
    {
        FakeBoard board(terminal, FakeBoard::Manner::Echo);
        ASSERT_TRUE(transfer(true));
        board.stop();
    }
    terminal.hangUp();
    EXPECT_TRUE(stepUntil([&] { return !manager->isListening(); }));
    EXPECT_EQ(manager->getListenFailure().kind, Kind::PortVanished);

    manager->selectedIndex = 1;
    ASSERT_TRUE(transfer(true, {{"PRINT 1\r\n", 0}}));
    EXPECT_EQ(manager->getListenFailure().kind, Kind::None);
    ASSERT_TRUE(manager->isListening());
    manager->selectedIndex = 0;
    EXPECT_TRUE(stepUntil([&] { return !manager->isListening(); }));
    EXPECT_TRUE(portIsFree(other));

    manager->selectedIndex = 1;
    ASSERT_TRUE(transfer(true, {{"PRINT 1\r\n", 0}}));
    ASSERT_TRUE(manager->isListening());
    manager->releaseLink();
    EXPECT_FALSE(manager->isListening());
    EXPECT_TRUE(portIsFree(other)) << "let go at once, not at the next poll";
}

// A board that never stops talking, without a line end: what is held stays bounded and the
// newest bytes are kept.
TEST_F(Listening, AFloodingBoardCostsBoundedMemory) {
    FakeBoard board(terminal, FakeBoard::Manner::Flood);
    ASSERT_TRUE(transfer(true, {{"RUN\r\n", 0}}));
    // Counted from the play's end: what came before it went to the port's flush or to the
    // transfer's own inbox, which listening begins afresh.
    const std::size_t before = board.flooded();
    ASSERT_TRUE(
        eventually([&] { return board.flooded() > before + 4 * BoardInbox::kHeldBytes; }));
    // Gathered through the poll only, never taken: the bound holds between takes.
    harness.steps(5);
    const BoardInbox::Taken taken = manager->takeReceived();
    EXPECT_LE(taken.bytes.size(), BoardInbox::kHeldBytes);
    EXPECT_GT(taken.dropped, 0u);
    EXPECT_EQ(taken.transfer, manager->getTransferNumber());
    board.stop();
}
