// What the simulated board makes of input it cannot run: errors that name the line and
// what was not understood, and random bytes or mangled programs that must never crash it
// or hold the caller.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <tuple>

#include "Transfers.h"
#include "simulator/KibParser.h"

namespace {

using namespace cards;
using namespace std::string_literals;

std::string kibProgram(const std::string& lines) {
    return "NEW\r\n" + lines + "SAVE 0\r\nRUN\r\n";
}

std::string vemmoProgram(const std::string& script) {
    return "cat uart > .\nvar i=0;var o=0;\n" + script + "while(uart()!=-1);\n\x04ms .\n";
}

// A NUL byte inside a line is a byte the line does not take, never the line's end. The
// board prints each error in its own words, naming the line of its own numbering (kib: a
// direct command's error names none); after each error, the next program runs as usual and
// says that it ended.
TEST(BadInput, ErrorsNameTheLineAndWhatWasNotUnderstood) {
    // Then: the index of the listed line shown as failing, -1 for none; what the board prints.
    const std::tuple<Dialect, std::string, std::string, int, std::string> cases[] = {
        {Dialect::Kib, kibProgram("10 LED 1\r\n20 LED 1:FROB 3\r\n"),
         "line 20: not understood: \"FROB 3\"", 1, "Syntax error in 20"},
        {Dialect::Kib, kibProgram("10 NEXT\r\n"), "line 10: NEXT without FOR", 0,
         "NEXT without FOR in 10"},
        {Dialect::Kib, kibProgram("10 GOTO @LOOP\r\n"), "line 10: no line has the label @LOOP", 0,
         "Undefined label in 10"},
        {Dialect::Kib, kibProgram("10 OUT 7, 1\r\n"), "line 10: there is no output 7", 0,
         "Illegal argument in 10"},
        {Dialect::Kib, "NEW\r\n99999 LED 1\r\n", "line number 99999 is out of range", -1,
         "Line number out of range"},
        {Dialect::Kib, "NEW\r\n10 LED 1\r\n\0RUN\r\n"s, "not understood: \"?RUN\"", -1,
         "Syntax error"},
        {Dialect::Kib, kibProgram("10 LED 1\0GARBAGE\r\n"s),
         "line 10: not understood: \"LED 1?GARBAGE\"", 0, "Syntax error in 10"},
        {Dialect::Vemmo, vemmoProgram("led(1);\nfrob(2);\n"), "line 3: unknown function \"frob\"",
         2, "Error in line 3: unknown function \"frob\""},
        {Dialect::Vemmo, vemmoProgram("x=1;\n"), "line 2: unknown name \"x\"", 1,
         "Error in line 2: unknown name \"x\""},
        {Dialect::Vemmo, vemmoProgram("led(1, 2);\n"), "line 2: led() takes 1 value", 1,
         "Error in line 2: led() takes 1 value"},
        {Dialect::Vemmo, vemmoProgram("while(1){\n"), "line 3: the script ends too early", 2,
         "Error in line 3: the script ends too early"},
        {Dialect::Vemmo, vemmoProgram("led(1);\0led(0);\n"s),
         "line 2: not understood: \"?led(0);\"", 1,
         "Error in line 2: not understood: \"?led(0);\""},
        {Dialect::Vemmo, "cat uart > .\n\x04ms\nfrob();\n", "unknown function \"frob\"", -1,
         "Error: unknown function \"frob\""},
    };
    for (const auto& [dialect, transfer, message, currentLine, answer] : cases) {
        SCOPED_TRACE(testing::PrintToString(transfer));
        Board board;
        board.receiveTransfer(transfer);
        board.step(10);
        EXPECT_EQ(board.dialect(), dialect);
        EXPECT_EQ(board.console().state(), BoardState::Error);
        EXPECT_EQ(board.console().message(), message);
        EXPECT_EQ(board.console().currentLine(), currentLine);
        EXPECT_EQ(board.takeAnswers(), answer + "\n");
        board.receiveTransfer(programTransfer(dialect, {{kLedOn}}));
        EXPECT_EQ(board.console().state(), BoardState::Stopped);
        EXPECT_EQ(board.takeAnswers(), "Program ended\n");
        EXPECT_TRUE(board.io().led);
    }
}

// Fed by hand, a program may be thousands of lines near the longest the board takes, with
// `last` at the end.
std::string longProgram(const std::string& last) {
    std::string text = "NEW\r\n1 GOTO 30000\r\n";
    std::string body;
    while (body.size() + 12 < KibParser::kMaxLineLength - 8)
        body += "LED 1:LED 0:";
    for (int number = 2; number <= 5000; ++number)
        text += std::to_string(number) + " " + body + (number == 4999 ? "@Z\r\n" : "\r\n");
    return text + last;
}

// Programs that never wait let virtual time pass, cost little a frame however long they
// are (RUN inside itself, jumps over thousands of lines), and hand the thread back once the
// caller is out of time; stop still ends them.
TEST(BadInput, ProgramsThatNeverWaitNeitherHoldTheWindowNorIgnoreStop) {
    const std::string programs[] = {
        kibProgram("10 @A:LED 1:LED 0:GOTO @A\r\n"),
        vemmoProgram("while(1){led(1);led(0);}\n"),
        // Two loops of the same size nested share their counter and never end.
        programTransfer(Dialect::Vemmo,
                        {{kLoop5Start}, {kLoop3Start}, {kBeep}, {kLoop3End}, {kLoop5End}}),
        longProgram("30000 RUN\r\nRUN\r\n"),
        longProgram("30000 GOTO @Z\r\n4999 GOTO 1:@Z\r\nRUN\r\n"),
    };
    for (const std::string& transfer : programs) {
        Board board;
        board.receiveTransfer(transfer);
        int asked = 0;
        board.step(16, [&asked] { return ++asked >= 3; });
        EXPECT_LT(board.now(), 16) << "falls behind rather than catch up";
        const auto start = std::chrono::steady_clock::now();
        board.step(1000);
        // A bound a hundred times what the work takes, so a loaded machine cannot fail it.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_GE(board.now(), 1000) << "given time again, it goes on";
        EXPECT_EQ(board.console().state(), BoardState::Running);
        board.receiveTransfer(stopTransfer(board.dialect()));
        EXPECT_EQ(board.console().state(), BoardState::Stopped);
    }
}

// Random bytes, and real programs with bytes changed, dropped, repeated or cut short,
// through both dialects with a bounded amount of virtual time each.
TEST(BadInput, RandomAndMangledInputNeverCrashesOrHolds) {
    std::mt19937 random(20240613);
    const std::vector<Row> mixed = {{kLoopStart}, {kLedOn, kWait1},      {kLoop3Start, kIfPressed},
                                    {kBeep},      {kLoop3End, kForward}, {CardId{1, 10}},
                                    {kLoopEnd}};
    const std::string seeds[] = {programTransfer(Dialect::Kib, mixed),
                                 programTransfer(Dialect::Vemmo, mixed), stopTransfer(Dialect::Kib),
                                 stopTransfer(Dialect::Vemmo)};
    const std::string alphabet =
        "(){};:=<>|&~!+-,@ \n\r\x04\x1b"
        "0123456789ILEDWAITOUTledsleepout";
    auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    for (int round = 0; round < 400; ++round) {
        Board board;
        for (int transfer = 0; transfer < 3; ++transfer) {
            std::string bytes = seeds[pick(std::size(seeds))];
            if (round % 4 == 0) {
                bytes.resize(pick(300));
                for (char& c : bytes)
                    c = static_cast<char>(pick(256));
            }
            for (std::size_t edits = pick(6); edits > 0 && !bytes.empty(); --edits) {
                const std::size_t at = pick(bytes.size());
                const std::size_t edit = pick(4);
                if (edit == 0)
                    bytes[at] = alphabet[pick(alphabet.size())];
                else if (edit == 1)
                    bytes.erase(at, pick(8));
                else if (edit == 2)
                    bytes.insert(at, bytes.substr(at, pick(40)));
                else
                    bytes.resize(at);
            }
            board.setButton(pick(2) == 1);
            pick(2) == 0 ? board.receiveTransfer(bytes) : board.receive(bytes);
            board.step(static_cast<std::int64_t>(pick(3000)));
            ASSERT_LT(board.console().currentLine(),
                      static_cast<int>(board.console().listing().size()));
            ASSERT_GE(board.io().outputs, 0);
            ASSERT_LT(board.io().outputs, 64);
        }
    }
}

}  // namespace
