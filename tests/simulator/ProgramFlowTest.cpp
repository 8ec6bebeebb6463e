// How programs run on the simulated board in both dialects: counted loops, the endless
// loop and its stop, the button condition both ways, and a program sent while another runs.
#include <gtest/gtest.h>

#include "Transfers.h"

namespace {

using namespace cards;

std::vector<Row> blink() {
    return {{kLoopStart}, {kLedOn, kWait1}, {kLedOff, kWait1}, {kLoopEnd}};
}

class ProgramFlow : public testing::TestWithParam<Dialect> {
protected:
    void send(const std::vector<Row>& rows) {
        board.receiveTransfer(programTransfer(dialect(), rows));
    }
    void stop() { board.receiveTransfer(stopTransfer(dialect())); }
    Dialect dialect() const { return GetParam(); }

    Board board;
};

TEST_P(ProgramFlow, CountedLoopsRunTheirBodyThreeOrFiveTimes) {
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
        EXPECT_EQ(fresh.io().beeps, times);
    }
}

TEST_P(ProgramFlow, EndlessLoopBlinksUntilStopWhichDarkensAndResetsTheBoard) {
    send({{kLoopStart}, {kForward, kLedOn}, {kWait1}, {kLedOff, kWait1}, {kLoopEnd}});
    EXPECT_EQ(board.console().state(), BoardState::Running);
    for (int second = 0; second < 60; ++second) {
        EXPECT_EQ(board.io().led, second % 2 == 0) << second;
        board.step(1000);
    }
    EXPECT_EQ(board.io().outputs, 33);
    // The program now waits in the row of LED off and its wait.
    board.step(1000);
    EXPECT_EQ(board.console().listing().at(board.console().currentLine()),
              dialect() == Dialect::Kib ? "40 LED 0:WAIT 60" : "led(0);sleep(1000);");

    board.step(500);
    stop();
    EXPECT_EQ(board.console().state(), BoardState::Stopped);
    EXPECT_EQ(board.console().message().rfind("stopped in line ", 0), 0u)
        << board.console().message();
    EXPECT_FALSE(board.io().led);
    EXPECT_EQ(board.io().outputs, 0);
    board.step(5000);
    EXPECT_FALSE(board.io().led);
    EXPECT_EQ(board.console().currentLine(), -1);
}

TEST_P(ProgramFlow, StopKeyAloneStopsAndTheProgramRunsAgainOnPlay) {
    const std::string key = stopTransfer(dialect()).substr(0, 1);
    send(blink());
    board.receive(key);
    EXPECT_EQ(board.console().state(), BoardState::Stopped);
    EXPECT_TRUE(board.io().led) << "the key alone stops the program where it is";
    board.receiveTransfer(key);
    board.step(3000);
    EXPECT_FALSE(board.io().led);
    send(blink());
    EXPECT_TRUE(board.io().led);
    EXPECT_EQ(board.console().state(), BoardState::Running);
    EXPECT_EQ(board.console().programStarts(), 2);
}

TEST_P(ProgramFlow, StopAfterTheProgramEndedStillDarkensTheBoard) {
    send({{kLedOn, kForward}});
    EXPECT_EQ(board.console().state(), BoardState::Stopped);
    stop();
    EXPECT_FALSE(board.io().led);
    EXPECT_EQ(board.io().outputs, 0);
    EXPECT_EQ(board.console().state(), BoardState::Stopped);
}

TEST_P(ProgramFlow, EmptyFieldRunsNothingAndEnds) {
    send({});
    board.step(10);
    EXPECT_EQ(board.console().state(), BoardState::Stopped);
    EXPECT_FALSE(board.io().led);
    EXPECT_EQ(board.io().outputs, 0);
}

TEST_P(ProgramFlow, ButtonCardsActOnTheButtonBothWays) {
    send({{kLoopStart}, {kIfPressed, kLedOn}, {kIfReleased, kLedOff}, {kWait1}, {kLoopEnd}});
    EXPECT_FALSE(board.io().led);
    board.setButton(true);
    board.step(999);
    EXPECT_FALSE(board.io().led) << "the button is read only after the wait";
    board.step(1);
    EXPECT_TRUE(board.io().led);
    board.setButton(false);
    board.step(1000);
    EXPECT_FALSE(board.io().led);
}

TEST_P(ProgramFlow, ButtonConditionOnlyGuardsTheCardBesideIt) {
    for (bool held : {false, true}) {
        Board fresh;
        fresh.setButton(held);
        fresh.receiveTransfer(programTransfer(dialect(), {{kIfPressed, kLedOn}, {kBeep}}));
        EXPECT_EQ(fresh.io().led, held);
        EXPECT_EQ(fresh.io().beeps, 1);
    }
}

TEST_P(ProgramFlow, ProgramSentWhileOneRunsReplacesIt) {
    send(blink());
    board.step(1500);
    EXPECT_FALSE(board.io().led);
    send({{kForward}, {kWait3}});
    EXPECT_EQ(board.console().state(), BoardState::Running);
    EXPECT_EQ(board.io().outputs, 33);
    EXPECT_EQ(board.console().listing().size(), dialect() == Dialect::Kib ? 2u : 4u);
    board.step(3000);
    EXPECT_EQ(board.console().state(), BoardState::Stopped);
    EXPECT_FALSE(board.io().led) << "the old loop is gone";
}

TEST_P(ProgramFlow, ProgramOfTheOtherDialectSwitchesTheBoard) {
    const Dialect other = dialect() == Dialect::Kib ? Dialect::Vemmo : Dialect::Kib;
    send(blink());
    board.receiveTransfer(programTransfer(other, {{kBeep}, {kLedOn}}));
    EXPECT_EQ(board.dialect(), other);
    EXPECT_EQ(board.console().state(), BoardState::Stopped);
    EXPECT_TRUE(board.io().led);
    EXPECT_EQ(board.io().beeps, 1);
    board.receiveTransfer(stopTransfer(dialect()));
    EXPECT_EQ(board.dialect(), dialect());
}

TEST_P(ProgramFlow, StatesFollowTheTransfer) {
    EXPECT_EQ(board.console().state(), BoardState::Waiting);
    const std::string program = programTransfer(dialect(), {{kLedOn, kWait1}});
    // Everything but the command that starts the program.
    const std::size_t run = program.rfind(dialect() == Dialect::Kib ? "RUN" : "ms .");
    board.receiveTransfer(program.substr(0, run - 4));
    EXPECT_EQ(board.console().state(), BoardState::Receiving);
    board.receive(program.substr(run - 4, 4));
    EXPECT_EQ(board.console().state(),
              dialect() == Dialect::Kib ? BoardState::Receiving : BoardState::Waiting);
    board.receive(program.substr(run));
    EXPECT_EQ(board.console().state(), BoardState::Running);
    board.step(1000);
    EXPECT_EQ(board.console().state(), BoardState::Stopped);
}

INSTANTIATE_TEST_SUITE_P(Dialects, ProgramFlow, testing::Values(Dialect::Kib, Dialect::Vemmo),
                         dialectTestName);

TEST(VemmoBoard, EndlessLoopEndsWhenAnyByteArrivesAndTheRestIsDrained) {
    Board board;
    board.receiveTransfer(programTransfer(Dialect::Vemmo, blink()));
    board.step(500);
    board.receive("xyz");
    board.step(1500);
    EXPECT_EQ(board.console().state(), BoardState::Stopped);
    EXPECT_EQ(board.console().message(), "program ended");
    // The drained bytes never reach the shell.
    board.receive("\n");
    EXPECT_EQ(board.console().state(), BoardState::Stopped);
}

TEST(KibBoard, LinesTypedWhileAProgramRunsWaitForItsEnd) {
    Board board;
    board.receiveTransfer(programTransfer(Dialect::Kib, {{kWait1}}));
    board.receive("LED 1\r\n");
    EXPECT_FALSE(board.io().led);
    board.step(1000);
    EXPECT_TRUE(board.io().led);
}

}  // namespace
