// The simulated board fed what play and stop really send, in both dialects: what the cards
// do, loops, the button, stop, and a program sent while another runs.
#include <gtest/gtest.h>

#include <tuple>

#include "Transfers.h"
#include "catalogue/DeviceManager.h"

namespace {

using namespace cards;

// What the board shows, every tenth of a second for longer than any card waits.
using Seen = std::vector<std::tuple<BoardState, bool, int, double, double, int>>;
Seen watch(Dialect dialect, const std::vector<Row>& rows) {
    Board board;
    board.receiveTransfer(programTransfer(dialect, rows));
    Seen seen;
    for (int tenth = 0; tenth <= 110; ++tenth, board.step(100)) {
        const BoardIo& io = board.io();
        seen.emplace_back(board.console().state(), io.led, io.outputs, io.duty(0), io.duty(1),
                          io.beeps);
    }
    return seen;
}

// A card means the same on either board: the same lights, outputs, speeds, beeps and waits.
TEST(Board, EveryCardDoesTheSameInBothDialects) {
    DeviceManager* catalogue = DeviceManager::getInstance();
    for (int set = 0; set < catalogue->getCardSetCount(); ++set) {
        for (int card = 0; card < catalogue->getCardCount(set); ++card) {
            if (catalogue->getLoopRole(card, set) != LoopRole::None)
                continue;
            SCOPED_TRACE(testing::Message() << "set " << set << " card " << card);
            const std::vector<Row> rows = {{CardId{set, card}, kBeep}};
            EXPECT_EQ(watch(Dialect::Kib, rows), watch(Dialect::Vemmo, rows));
        }
    }
}

class BoardRun : public testing::TestWithParam<Dialect> {
protected:
    void send(const std::vector<Row>& rows) {
        board.receiveTransfer(programTransfer(dialect(), rows));
    }
    Dialect dialect() const { return GetParam(); }

    Board board;
};

// The wait card's second, counted out exactly.
TEST_P(BoardRun, CountedLoopsRunTheirBodyThreeOrFiveTimes) {
    const std::pair<std::pair<CardId, CardId>, int> loops[] = {{{kLoop3Start, kLoop3End}, 3},
                                                               {{kLoop5Start, kLoop5End}, 5}};
    for (const auto& [loop, times] : loops) {
        Board fresh;
        fresh.receiveTransfer(
            programTransfer(dialect(), {{loop.first}, {kBeep, kWait1}, {loop.second}}));
        fresh.step(times * 1000 - 1);
        EXPECT_EQ(fresh.io().beeps, times);
        EXPECT_EQ(fresh.console().state(), BoardState::Running);
        fresh.step(1);
        EXPECT_EQ(fresh.console().state(), BoardState::Stopped);
    }
}

TEST_P(BoardRun, EndlessLoopBlinksUntilStopWhichDarkensTheBoard) {
    send({{kLoopStart}, {kForward, kLedOn}, {kWait1}, {kLedOff, kWait1}, {kLoopEnd}});
    for (int second = 0; second < 20; ++second) {
        EXPECT_EQ(board.io().led, second % 2 == 0) << second;
        board.step(1000);
    }
    board.step(500);
    board.receiveTransfer(stopTransfer(dialect()));
    EXPECT_EQ(board.console().state(), BoardState::Stopped);
    EXPECT_EQ(board.console().message().rfind("stopped in line ", 0), 0u);
    EXPECT_FALSE(board.io().led);
    EXPECT_EQ(board.io().outputs, 0);
    board.step(5000);
    EXPECT_FALSE(board.io().led);
    send({{kLedOn}});
    EXPECT_TRUE(board.io().led) << "play works again after stop";
}

TEST_P(BoardRun, ButtonCardsActOnTheButtonBothWays) {
    send({{kLoopStart}, {kIfPressed, kLedOn}, {kIfReleased, kLedOff}, {kWait1}, {kLoopEnd}});
    EXPECT_FALSE(board.io().led);
    board.setButton(true);
    board.step(1000);
    EXPECT_TRUE(board.io().led);
    board.setButton(false);
    board.step(1000);
    EXPECT_FALSE(board.io().led);
}

TEST_P(BoardRun, ProgramSentWhileOneRunsReplacesIt) {
    send({{kLoopStart}, {kLedOn, kWait1}, {kLedOff, kWait1}, {kLoopEnd}});
    board.step(1500);
    send({{kForward}, {kWait3}, {kBeep}});
    EXPECT_EQ(board.io().outputs, 33) << "forward: outputs 1 and 6";
    board.step(3000);
    EXPECT_TRUE(board.io().beeping(board.now()));
    EXPECT_EQ(board.console().message(), "program ended");
    EXPECT_FALSE(board.io().led) << "the old loop is gone";
    send({{kForward}, {kCarStop}});
    EXPECT_EQ(board.io().outputs, 0);
    const Dialect other = dialect() == Dialect::Kib ? Dialect::Vemmo : Dialect::Kib;
    board.receiveTransfer(programTransfer(other, {{kLedOn}}));
    EXPECT_EQ(board.dialect(), other);
    EXPECT_TRUE(board.io().led);
}

INSTANTIATE_TEST_SUITE_P(Dialects, BoardRun, testing::Values(Dialect::Kib, Dialect::Vemmo),
                         dialectTestName);

}  // namespace
