// What each card does on the simulated board, in both dialects: the LED, the outputs as
// the car and output cards set them, the PWM channels, the buzzer, and the waits to the
// millisecond.
#include <gtest/gtest.h>

#include "Transfers.h"

namespace {

using namespace cards;

struct Expected {
    bool led = false;
    int outputs = 0;
    double duty3 = 1.0;
    double duty4 = 1.0;
    int beeps = 0;
};

struct CardCase {
    const char* what;
    std::vector<Row> rows;
    Expected expected;
};

Expected led(bool on) {
    Expected e;
    e.led = on;
    return e;
}

Expected outputs(int mask) {
    Expected e;
    e.outputs = mask;
    return e;
}

Expected duty(double duty3, double duty4) {
    Expected e;
    e.duty3 = duty3;
    e.duty4 = duty4;
    return e;
}

std::vector<CardCase> cardCases() {
    std::vector<CardCase> cases = {
        {"LED on", {{kLedOn}}, led(true)},
        {"LED off", {{kLedOn}, {kLedOff}}, led(false)},
        {"beep", {{kBeep}}, Expected{false, 0, 1.0, 1.0, 1}},
        {"car forward", {{kForward}}, outputs(33)},
        {"car stop", {{kForward}, {kCarStop}}, outputs(0)},
    };
    // The other car cards: each writes its mask of all outputs.
    const std::pair<int, int> masks[] = {{2, 18}, {3, 34}, {4, 32}, {5, 16},
                                         {6, 17}, {7, 1},  {8, 2}};
    for (const auto& [card, mask] : masks) {
        cases.push_back({"car card", {{CardId{1, card}}}, outputs(mask)});
    }
    // The PWM cards hold the same share of full duty in both dialects.
    const std::pair<int, double> pwm3[] = {{9, 60}, {10, 145}, {11, 230}};
    const std::pair<int, double> pwm4[] = {{12, 230}, {13, 145}, {14, 60}};
    for (const auto& [card, value] : pwm3) {
        cases.push_back({"PWM 3", {{CardId{1, card}}}, duty(value / 255, 1.0)});
    }
    for (const auto& [card, value] : pwm4) {
        cases.push_back({"PWM 4", {{CardId{1, card}}}, duty(1.0, value / 255)});
    }
    for (int n = 1; n <= 6; ++n) {
        const int other = n == 6 ? 1 : n + 1;
        const int bit = 1 << (n - 1);
        const int otherBit = 1 << (other - 1);
        cases.push_back({"output on", {{outputOn(n)}}, outputs(bit)});
        cases.push_back(
            {"output off", {{outputOn(n), outputOn(other)}, {outputOff(n)}}, outputs(otherBit)});
    }
    return cases;
}

class CardEffect : public testing::TestWithParam<Dialect> {};

TEST_P(CardEffect, EveryCardDrivesTheBoardAsItSays) {
    for (const CardCase& c : cardCases()) {
        SCOPED_TRACE(c.what + (" " + programTransfer(GetParam(), c.rows)));
        Board board;
        board.receiveTransfer(programTransfer(GetParam(), c.rows));
        board.step(10);
        EXPECT_EQ(board.console().state(), BoardState::Stopped);
        EXPECT_EQ(board.console().message(), "program ended");
        EXPECT_EQ(board.io().led, c.expected.led);
        EXPECT_EQ(board.io().outputs, c.expected.outputs);
        EXPECT_DOUBLE_EQ(board.io().duty(0), c.expected.duty3);
        EXPECT_DOUBLE_EQ(board.io().duty(1), c.expected.duty4);
        EXPECT_EQ(board.io().beeps, c.expected.beeps);
    }
}

TEST_P(CardEffect, WaitCardsHoldTheProgramToTheMillisecond) {
    const std::pair<CardId, int> waits[] = {
        {kWait1, 1000}, {kWait3, 3000}, {kWait5, 5000}, {kWait10, 10000}};
    for (const auto& [card, ms] : waits) {
        SCOPED_TRACE(ms);
        Board board;
        board.receiveTransfer(programTransfer(GetParam(), {{kLedOn, card}, {kLedOff}}));
        board.step(ms - 1);
        EXPECT_TRUE(board.io().led);
        EXPECT_EQ(board.console().state(), BoardState::Running);
        board.step(1);
        EXPECT_FALSE(board.io().led);
        EXPECT_EQ(board.console().state(), BoardState::Stopped);
    }
}

TEST_P(CardEffect, BeepSoundsForAMomentWithoutHoldingTheProgram) {
    Board board;
    board.receiveTransfer(programTransfer(GetParam(), {{kBeep, kLedOn}}));
    EXPECT_TRUE(board.io().led);
    EXPECT_TRUE(board.io().beeping(board.now()));
    board.step(BoardIo::kBeepMs);
    EXPECT_FALSE(board.io().beeping(board.now()));
}

INSTANTIATE_TEST_SUITE_P(Dialects, CardEffect, testing::Values(Dialect::Kib, Dialect::Vemmo),
                         dialectTestName);

}  // namespace
