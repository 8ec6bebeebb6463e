// The bytes and pauses a board receives: golden programs in both dialects, and the rules for
// line numbers, separators and empty rows.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "catalogue/DeviceManager.h"
#include "generation/ProgramBuilder.h"
#include "tests/support/FreshSelection.h"

namespace {

using Rows = std::vector<std::vector<std::optional<CardId>>>;
using Chunks = std::vector<ProgramChunk>;

constexpr Dialect kVemmo = Dialect::Vemmo;

constexpr CardId kLedOn{0, 0};
constexpr CardId kLedOff{0, 1};
constexpr CardId kWait1{0, 2};
constexpr CardId kLoopStart{0, 4};
constexpr CardId kLoopEnd{0, 5};
constexpr CardId kForward{1, 0};
constexpr CardId kBeep{2, 2};
constexpr CardId kButtonPressed{2, 3};

const std::string kEot(1, '\x04');

// The field as the running program passes it: 30 rows of two slots, all empty.
Rows emptyField() {
    return Rows(kFieldRowCount, std::vector<std::optional<CardId>>(kFieldSlotCount));
}

// The chunks a board on a port receives.
Chunks buildChunks(const Rows& rows) {
    return buildProgram(rows, TargetKind::SerialPort).chunks;
}

class ProgramBuilderTest : public ::testing::Test {
protected:
    FreshSelection selection;
    DeviceManager* manager = DeviceManager::getInstance();

    // The program lines only, without the dialect's opening and closing items.
    Chunks lines(const Rows& rows) {
        Chunks chunks = buildChunks(rows);
        const auto header = static_cast<long>(manager->getHeader().size());
        const auto footer = static_cast<long>(manager->getFooter().size());
        EXPECT_GE(static_cast<long>(chunks.size()), header + footer);
        return Chunks(chunks.begin() + header, chunks.end() - footer);
    }
};

// Loop, LED on + wait, LED off + wait, loop end: the first program a class builds.
TEST_F(ProgramBuilderTest, BlinkProgramInBothDialects) {
    Rows rows = emptyField();
    rows[0][0] = kLoopStart;
    rows[1] = {kLedOn, kWait1};
    rows[2] = {kLedOff, kWait1};
    rows[3][0] = kLoopEnd;
    EXPECT_EQ(buildChunks(rows), (Chunks{
                                     {"NEW\r\n", 200},
                                     {"10 @LOOP\r\n", 400},
                                     {"20 LED 1:WAIT 60\r\n", 720},
                                     {"30 LED 0:WAIT 60\r\n", 720},
                                     {"40 GOTO @LOOP\r\n", 600},
                                     {"SAVE 0\r\n", 1000},
                                     {"RUN\r\n", 200},
                                 }));
    manager->dialect = kVemmo;
    EXPECT_EQ(buildChunks(rows), (Chunks{
                                     {"cat uart > .\nvar i=0;var o=0;\n", 150},
                                     {"while(uart()==-1) {\n", 100},
                                     {"led(1);sleep(1000);\n", 100},
                                     {"led(0);sleep(1000);\n", 100},
                                     {"}\n", 10},
                                     {"while(uart()!=-1);\n" + kEot, 2000},
                                     {"ms .\n", 25},
                                 }));
}

// The cards whose text follows a rule of its board, side by side: the car's output mask, PWM
// ten times finer on vemmo, a vemmo condition that takes the next card as its body, counted
// repeats over two vemmo lines, and the outputs set one bit at a time.
TEST_F(ProgramBuilderTest, CardsWithRulesOfTheirOwnInBothDialects) {
    const std::vector<CardId> row = {kForward,     CardId{1, 9}, kButtonPressed, kLedOn,
                                     CardId{2, 5}, CardId{2, 6}, CardId{2, 13},  CardId{2, 14}};
    const char* const expected[2] = {
        "10 OUT 33:PWM 3, 60:IF BTN()=1 THEN:LED 1:FOR I = 1 TO 3:NEXT:OUT 3, 1:OUT 3, 0\r\n",
        "out(33);pwm(3, 600);if(btn()==1) led(1);i=0;\nwhile(i<3){i=i+1;\n}out(o=o|4);"
        "out(o=o&~4);\n",
    };
    for (const Dialect dialect : {Dialect::Kib, Dialect::Vemmo}) {
        manager->dialect = dialect;
        Rows rows(1);
        rows[0].assign(row.begin(), row.end());
        const Chunks program = lines(rows);
        ASSERT_EQ(program.size(), 1u);
        EXPECT_EQ(program[0].text, expected[dialectIndex(dialect)])
            << "dialect " << dialectIndex(dialect);
    }
}

TEST_F(ProgramBuilderTest, StopSendsTheKeyThenResetsTheOutputs) {
    EXPECT_EQ(buildStopProgram(TargetKind::SerialPort).chunks,
              (Chunks{{"\x1b", 500}, {"OUT0\n", 200}}));
    manager->dialect = kVemmo;
    EXPECT_EQ(buildStopProgram(TargetKind::SerialPort).chunks,
              (Chunks{{" ", 20}, {"ms\nout(0)\nexit()\n", 85}}));
}

TEST_F(ProgramBuilderTest, EmptyFieldSendsOnlyOpeningAndClosingItems) {
    EXPECT_EQ(lines(emptyField()), Chunks{});
    EXPECT_EQ(buildChunks(Rows{}), buildChunks(emptyField()));
}

TEST_F(ProgramBuilderTest, RowsKeepTheirNumbersAndSecondSlotsTheirPlace) {
    Rows rows = emptyField();
    rows[2][0] = kBeep;
    rows[10][1] = kForward;
    rows[29][1] = kLedOff;
    rows[0] = {kButtonPressed, kLedOn};
    EXPECT_EQ(lines(rows), (Chunks{{"10 IF BTN()=1 THEN:LED 1\r\n", 1040},
                                   {"30 BEEP\r\n", 360},
                                   {"110 OUT 33\r\n", 480},
                                   {"300 LED 0\r\n", 440}}));
    manager->dialect = kVemmo;
    EXPECT_EQ(lines(rows), (Chunks{{"if(btn()==1) led(1);\n", 105},
                                   {"beep();\n", 40},
                                   {"out(33);\n", 45},
                                   {"led(0);\n", 40}}));
}

// An answer naming a line is traced back to the row and slot that made it: kib by the line's
// own number, vemmo by counting the script's lines, the dialect's own lines belonging to no
// row.
TEST_F(ProgramBuilderTest, AnAnswersLineLeadsBackToItsRowAndSlot) {
    Rows rows = emptyField();
    rows[0][0] = kLoopStart;
    rows[2] = {kLedOn, kWait1};
    rows[5][1] = kLoopEnd;
    constexpr Dialect kKib = Dialect::Kib;
    struct Case {
        Dialect dialect;
        int line;
        std::optional<int> row;
        int slot;
    };
    for (const Case& c : std::vector<Case>{{kKib, 10, 0, 0},
                                           {kKib, 30, 2, 0},
                                           {kKib, 60, 5, 1},
                                           {kKib, 20, std::nullopt, -1},
                                           {kKib, 1, std::nullopt, -1},
                                           {kVemmo, 1, std::nullopt, -1},
                                           {kVemmo, 3, 0, 0},
                                           {kVemmo, 4, 2, 0},
                                           {kVemmo, 5, 5, 1},
                                           {kVemmo, 6, std::nullopt, -1},
                                           {kVemmo, 60, std::nullopt, -1}}) {
        manager->dialect = c.dialect;
        const std::optional<LineSource> source =
            buildProgram(rows, TargetKind::SerialPort).sourceOfLine(c.line);
        const std::string which = "dialect " + std::to_string(dialectIndex(c.dialect)) + ", line " +
                                  std::to_string(c.line);
        ASSERT_EQ(source.has_value(), c.row.has_value()) << which;
        if (source) {
            EXPECT_EQ(source->row, *c.row) << which;
            EXPECT_EQ(source->slot, c.slot) << which;
        }
    }
}

// A board on a port gets each chunk's own pause; a tool takes its input at once and is left
// its settle time after the last chunk, also when nothing is sent.
TEST_F(ProgramBuilderTest, TheQuietAfterEachChunkSuitsTheTarget) {
    struct Case {
        TargetKind target;
        bool stop;
        std::vector<int> quiet;
    };
    for (const Case& c : std::vector<Case>{{TargetKind::SerialPort, false, {200, 1000, 200}},
                                           {TargetKind::Tool, false, {0, 0, 1000}},
                                           {TargetKind::SerialPort, true, {500, 200}},
                                           {TargetKind::Tool, true, {0, 1000}}}) {
        const TransferPlan plan =
            c.stop ? buildStopProgram(c.target) : buildProgram(emptyField(), c.target);
        EXPECT_EQ(plan.target, c.target);
        EXPECT_EQ(plan.quietAfterChunks(), c.quiet) << (c.stop ? "stop" : "empty program");
    }
    TransferPlan nothing;
    nothing.target = TargetKind::Tool;
    EXPECT_EQ(nothing.quietAfterChunks(), std::vector<int>{1000});
}

}  // namespace
