// What the simulated board makes of input it cannot run: errors that name the line and
// what was not understood, and random bytes or mangled programs that must never crash it
// or hold the caller.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "Transfers.h"
#include "simulator/KibParser.h"

namespace {

using namespace cards;

struct ErrorCase {
    Dialect dialect;
    std::string transfer;
    std::string message;
    int currentLine;  // index of the listed line shown as failing, -1 for none
};

// Runs the case's transfer on the board, which must stop with the case's error.
void expectError(Board& board, const ErrorCase& c) {
    board.receiveTransfer(c.transfer);
    board.step(10);
    EXPECT_EQ(board.dialect(), c.dialect);
    EXPECT_EQ(board.console().state(), BoardState::Error);
    EXPECT_EQ(board.console().message(), c.message);
    EXPECT_EQ(board.console().currentLine(), c.currentLine);
}

std::string kibProgram(const std::string& lines) {
    return "NEW\r\n" + lines + "SAVE 0\r\nRUN\r\n";
}

std::string vemmoProgram(const std::string& script) {
    return "cat uart > .\nvar i=0;var o=0;\n" + script + "while(uart()!=-1);\n\x04ms .\n";
}

TEST(BadInput, ErrorsNameTheLineAndWhatWasNotUnderstood) {
    const ErrorCase cases[] = {
        {Dialect::Kib, kibProgram("10 LED 1\r\n20 LED 1:FROB 3\r\n"),
         "line 20: not understood: \"FROB 3\"", 1},
        {Dialect::Kib, kibProgram("10 NEXT\r\n"), "line 10: NEXT without FOR", 0},
        {Dialect::Kib, kibProgram("10 LED 1\r\n20 GOTO @LOOP\r\n"),
         "line 20: no line has the label @LOOP", 1},
        {Dialect::Kib, kibProgram("10 OUT 7, 1\r\n"), "line 10: there is no output 7", 0},
        {Dialect::Kib, kibProgram("10 PWM 9, 1\r\n"), "line 10: there is no PWM channel 9", 0},
        {Dialect::Kib, kibProgram("10 WAIT 99999\r\n"), "line 10: not understood: \"WAIT 99999\"",
         0},
        {Dialect::Kib, "NEW\r\nHELLO\r\n", "not understood: \"HELLO\"", -1},
        {Dialect::Kib, "NEW\r\n99999 LED 1\r\n", "line number 99999 is out of range", -1},
        {Dialect::Vemmo, vemmoProgram("led(1);\nfrob(2);\n"), "line 3: unknown function \"frob\"",
         2},
        {Dialect::Vemmo, vemmoProgram("led(1) sleep(5);\n"),
         "line 2: not understood: \"sleep(5);\"", 1},
        {Dialect::Vemmo, vemmoProgram("x=1;\n"), "line 2: unknown name \"x\"", 1},
        {Dialect::Vemmo, vemmoProgram("led(1, 2);\n"), "line 2: led() takes 1 value", 1},
        {Dialect::Vemmo, vemmoProgram("pwm(5, 10);\n"), "line 2: there is no PWM channel 5", 1},
        {Dialect::Vemmo, vemmoProgram("while(1){\n"), "line 3: the script ends too early", 2},
        {Dialect::Vemmo, "cat uart > .\nled(1);$\n\x04ms .\n", "line 1: not understood: \"$\"", 0},
        {Dialect::Vemmo, "cat uart > .\nled(1);\n\x04ms .\nls\n", "not understood: \"ls\"", -1},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.transfer);
        Board board;
        expectError(board, c);
    }
}

// A NUL byte inside a line is a byte the line does not take, never the line's end.
TEST(BadInput, NulByteIsAnErrorNotAnEndOfLine) {
    using namespace std::string_literals;
    const ErrorCase cases[] = {
        {Dialect::Kib, "\0RUN\r\n"s, "not understood: \"?RUN\"", -1},
        {Dialect::Kib, "NEW\r\n10 LED 1\r\n\0RUN\r\n"s, "not understood: \"?RUN\"", -1},
        {Dialect::Kib, kibProgram("10 LED 1\0GARBAGE\r\n"s),
         "line 10: not understood: \"LED 1?GARBAGE\"", 0},
        {Dialect::Kib, kibProgram("10 LED 1\r\n20 LED 0:\0\r\n"s), "line 20: not understood: \"?\"",
         1},
        {Dialect::Vemmo, vemmoProgram("led(1);\0led(0);\n"s),
         "line 2: not understood: \"?led(0);\"", 1},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.transfer));
        Board board;
        expectError(board, c);
        EXPECT_FALSE(board.io().led);
    }
}

TEST(BadInput, NewProgramAfterAnErrorRunsNormally) {
    Board board;
    board.receiveTransfer(kibProgram("10 FROB\r\n"));
    ASSERT_EQ(board.console().state(), BoardState::Error);
    board.receiveTransfer(programTransfer(Dialect::Kib, {{kLedOn}}));
    EXPECT_EQ(board.console().state(), BoardState::Stopped);
    EXPECT_TRUE(board.io().led);
}

TEST(BadInput, ProgramThatNeverWaitsStillLetsTimePass) {
    for (const std::string& transfer :
         {kibProgram("10 @A:LED 1:LED 0:GOTO @A\r\n"), vemmoProgram("while(1){led(1);led(0);}\n"),
          // Two loops of the same size nested share their counter and never end.
          programTransfer(Dialect::Vemmo,
                          {{kLoop5Start}, {kLoop3Start}, {kBeep}, {kLoop3End}, {kLoop5End}})}) {
        Board board;
        board.receiveTransfer(transfer);
        board.step(1000);
        EXPECT_EQ(board.now(), 1000);
        EXPECT_EQ(board.console().state(), BoardState::Running);
        board.receiveTransfer(stopTransfer(board.dialect()));
        EXPECT_EQ(board.console().state(), BoardState::Stopped);
    }
}

// Fed by hand, a program may be thousands of lines near the longest the board
// takes, with `last` at the end.
std::string longProgram(const std::string& last) {
    std::string text = "NEW\r\n1 GOTO 30000\r\n";
    std::string body;
    while (body.size() + 12 < KibParser::kMaxLineLength - 8) {
        body += "LED 1:LED 0:";
    }
    for (int number = 2; number <= 5000; ++number) {
        text += std::to_string(number) + " " + body + (number == 4999 ? "@Z\r\n" : "\r\n");
    }
    return text + last;
}

const std::vector<std::string>& hostilePrograms() {
    static const std::vector<std::string> programs = {
        longProgram("30000 RUN\r\nRUN\r\n"),
        longProgram("30000 GOTO 1\r\nRUN\r\n"),
        longProgram("30000 GOTO @Z\r\n4999 GOTO 1:@Z\r\nRUN\r\n"),
    };
    return programs;
}

// Each statement costs the same at any program length: a frame of one of these programs
// is over long before the window would freeze (before, one took from seconds to minutes).
TEST(BadInput, RunInsideItselfAndJumpsOverLongProgramsCostLittle) {
    for (const std::string& transfer : hostilePrograms()) {
        Board board;
        board.receiveTransfer(transfer);
        ASSERT_EQ(board.console().state(), BoardState::Running);
        const auto start = std::chrono::steady_clock::now();
        for (int frame = 0; frame < 10; ++frame) {
            board.step(16);
        }
        // A bound a hundred times what the work takes, so a loaded machine cannot fail it.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_EQ(board.now(), 160);
        EXPECT_EQ(board.console().state(), BoardState::Running);
        board.receiveTransfer(stopTransfer(Dialect::Kib));
        EXPECT_EQ(board.console().state(), BoardState::Stopped);
    }
}

// The caller's clock bounds a frame's work as well as the operation count does: once out of
// time, the board hands the thread back and falls behind rather than catch up.
TEST(BadInput, FrameWorkEndsWhenTheCallerIsOutOfTime) {
    for (const std::string& transfer : {hostilePrograms().front(), kibProgram("10 GOTO 10\r\n"),
                                        vemmoProgram("while(1){led(1);led(0);}\n")}) {
        Board board;
        board.receiveTransfer(transfer);
        int asked = 0;
        board.step(16, [&asked] { return ++asked >= 3; });
        EXPECT_EQ(asked, 3);
        EXPECT_LT(board.now(), 16);
        EXPECT_EQ(board.console().state(), BoardState::Running);
        // Given time again, it goes on where it was.
        board.step(16);
        EXPECT_GE(board.now(), 16);
        board.receiveTransfer(stopTransfer(board.dialect()));
        EXPECT_EQ(board.console().state(), BoardState::Stopped);
    }
}

// Random bytes, and real programs with bytes changed, dropped, repeated or cut short,
// through both dialects with a bounded amount of virtual time each.
TEST(BadInput, RandomAndMangledInputNeverCrashesOrHolds) {
    std::mt19937 random(20240613);
    const std::vector<Row> mixed = {
        {kLoopStart}, {kLedOn, kWait1},      {kLoop3Start, kIfPressed},
        {kBeep},      {kLoop3End, kForward}, {CardId{1, 10}, outputOn(3)},
        {kLoopEnd}};
    const std::vector<std::string> seeds = {
        programTransfer(Dialect::Kib, mixed), programTransfer(Dialect::Vemmo, mixed),
        programTransfer(Dialect::Kib, {}),    stopTransfer(Dialect::Kib),
        stopTransfer(Dialect::Vemmo),
    };
    const std::string alphabet =
        "(){};:=<>|&~!+-,@ \n\r\x04\x1b"
        "0123456789ILEDWAITOUTledsleepout";
    auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    for (int round = 0; round < 400; ++round) {
        Board board;
        for (int transfer = 0; transfer < 3; ++transfer) {
            std::string bytes;
            if (round % 4 == 0) {
                bytes.resize(pick(300));
                for (char& c : bytes) {
                    c = static_cast<char>(pick(256));
                }
            } else {
                bytes = seeds[pick(seeds.size())];
                for (std::size_t edits = pick(6); edits > 0 && !bytes.empty(); --edits) {
                    const std::size_t at = pick(bytes.size());
                    switch (pick(4)) {
                        case 0:
                            bytes[at] = alphabet[pick(alphabet.size())];
                            break;
                        case 1:
                            bytes.erase(at, pick(8));
                            break;
                        case 2:
                            bytes.insert(at, bytes.substr(at, pick(40)));
                            break;
                        default:
                            bytes.resize(at);
                            break;
                    }
                }
            }
            board.setButton(pick(2) == 1);
            if (pick(2) == 0) {
                board.receiveTransfer(bytes);
            } else {
                board.receive(bytes);
            }
            board.step(static_cast<std::int64_t>(pick(3000)));
            const Console& console = board.console();
            ASSERT_LT(console.currentLine(), static_cast<int>(console.listing().size()));
            ASSERT_GE(board.io().outputs, 0);
            ASSERT_LT(board.io().outputs, 64);
        }
    }
}

}  // namespace
