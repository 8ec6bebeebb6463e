// buildProgram: opening and closing items, numbered and unnumbered lines, separators,
// terminators and pauses in both dialects, chunk by chunk.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <vector>

#include "catalogue/DeviceManager.h"
#include "generation/ProgramBuilder.h"
#include "tests/support/FreshSelection.h"

namespace {

using Rows = std::vector<std::vector<std::optional<CardId>>>;
using Chunks = std::vector<ProgramChunk>;

constexpr int kKib = 0;
constexpr int kVemmo = 1;

// Cards used below, by set and index.
constexpr CardId kLedOn{0, 0};
constexpr CardId kLedOff{0, 1};
constexpr CardId kWait1{0, 2};
constexpr CardId kLoopStart{0, 4};
constexpr CardId kLoopEnd{0, 5};
constexpr CardId kForward{1, 0};
constexpr CardId kBeep{2, 2};
constexpr CardId kButtonPressed{2, 3};
constexpr CardId kLoop3Start{2, 5};

const std::string kEot(1, '\x04');

// The field as the running program passes it: 30 rows of two slots, all empty.
Rows emptyField() {
    return Rows(30, std::vector<std::optional<CardId>>(2));
}

// The four rows of the blinking-LED program: loop, LED on + wait, LED off + wait, loop end.
Rows blinkField() {
    Rows rows = emptyField();
    rows[0][0] = kLoopStart;
    rows[1] = {kLedOn, kWait1};
    rows[2] = {kLedOff, kWait1};
    rows[3][0] = kLoopEnd;
    return rows;
}

class ProgramBuilderTest : public ::testing::Test {
protected:
    FreshSelection selection;
    // The program lines only, without the dialect's opening and closing items.
    Chunks lines(const Rows& rows) {
        Chunks chunks = buildProgram(rows);
        const std::size_t items = manager->getHeader().size() + manager->getFooter().size();
        EXPECT_GE(chunks.size(), items);
        return Chunks(chunks.begin() + static_cast<long>(manager->getHeader().size()),
                      chunks.end() - static_cast<long>(manager->getFooter().size()));
    }
    DeviceManager* manager = DeviceManager::getInstance();
};

TEST_F(ProgramBuilderTest, BlinkProgramInKib) {
    const Chunks expected = {
        {"NEW\r\n", 200},
        {"10 @LOOP\r\n", 400},
        {"20 LED 1:WAIT 60\r\n", 720},
        {"30 LED 0:WAIT 60\r\n", 720},
        {"40 GOTO @LOOP\r\n", 600},
        {"SAVE 0\r\n", 1000},
        {"RUN\r\n", 200},
    };
    EXPECT_EQ(buildProgram(blinkField()), expected);
}

TEST_F(ProgramBuilderTest, BlinkProgramInVemmo) {
    manager->dialect = kVemmo;
    const Chunks expected = {
        {"cat uart > .\nvar i=0;var o=0;\n", 150},
        {"while(uart()==-1) {\n", 100},
        {"led(1);sleep(1000);\n", 100},
        {"led(0);sleep(1000);\n", 100},
        {"}\n", 10},
        {"while(uart()!=-1);\n" + kEot, 2000},
        {"ms .\n", 25},
    };
    EXPECT_EQ(buildProgram(blinkField()), expected);
}

TEST_F(ProgramBuilderTest, ButtonTestTakesTheNextCardAsItsBody) {
    Rows rows = emptyField();
    rows[0] = {kButtonPressed, kLedOn};
    EXPECT_EQ(lines(rows), (Chunks{{"10 IF BTN()=1 THEN:LED 1\r\n", 1040}}));
    manager->dialect = kVemmo;
    EXPECT_EQ(lines(rows), (Chunks{{"if(btn()==1) led(1);\n", 105}}));
}

TEST_F(ProgramBuilderTest, EmptyFieldSendsOnlyOpeningAndClosingItems) {
    const Chunks kib = {{"NEW\r\n", 200}, {"SAVE 0\r\n", 1000}, {"RUN\r\n", 200}};
    EXPECT_EQ(buildProgram(emptyField()), kib);
    EXPECT_EQ(buildProgram(Rows{}), kib);
    EXPECT_EQ(buildProgram(Rows{{}, {}}), kib);
    manager->dialect = kVemmo;
    const Chunks vemmo = {{"cat uart > .\nvar i=0;var o=0;\n", 150},
                          {"while(uart()!=-1);\n" + kEot, 2000},
                          {"ms .\n", 25}};
    EXPECT_EQ(buildProgram(emptyField()), vemmo);
}

TEST_F(ProgramBuilderTest, RowsKeepTheirNumbersBelowEmptyRows) {
    Rows rows = emptyField();
    rows[2][0] = kBeep;
    EXPECT_EQ(lines(rows), (Chunks{{"30 BEEP\r\n", 360}}));
    rows[29][1] = kLedOff;
    rows[10][0] = kLedOn;
    EXPECT_EQ(lines(rows),
              (Chunks{{"30 BEEP\r\n", 360}, {"110 LED 1\r\n", 440}, {"300 LED 0\r\n", 440}}));
}

TEST_F(ProgramBuilderTest, CardInSecondSlotOnlyGetsTheNumberAndNoSeparator) {
    Rows rows = emptyField();
    rows[1][1] = kForward;
    EXPECT_EQ(lines(rows), (Chunks{{"20 OUT 33\r\n", 440}}));
    manager->dialect = kVemmo;
    EXPECT_EQ(lines(rows), (Chunks{{"out(33);\n", 45}}));
}

TEST_F(ProgramBuilderTest, RowsOfAnyWidthJoinEveryCardWithTheSeparator) {
    const Rows rows = {{kLedOn, std::nullopt, kBeep, kLedOff}};
    EXPECT_EQ(lines(rows), (Chunks{{"10 LED 1:BEEP:LED 0\r\n", 840}}));
    manager->dialect = kVemmo;
    EXPECT_EQ(lines(rows), (Chunks{{"led(1);beep();led(0);\n", 110}}));
}

TEST_F(ProgramBuilderTest, UnpairedLoopCardsAreSentAsTheyStand) {
    Rows rows = emptyField();
    rows[0][0] = kLoop3Start;
    rows[1][0] = kLoop3Start;
    rows[5][1] = kLoopEnd;
    EXPECT_EQ(lines(rows), (Chunks{{"10 FOR I = 1 TO 3\r\n", 760},
                                   {"20 FOR I = 1 TO 3\r\n", 760},
                                   {"60 GOTO @LOOP\r\n", 600}}));
    manager->dialect = kVemmo;
    EXPECT_EQ(lines(rows),
              (Chunks{{"i=0;\nwhile(i<3){\n", 85}, {"i=0;\nwhile(i<3){\n", 85}, {"}\n", 10}}));
}

TEST_F(ProgramBuilderTest, SwitchingDialectRegeneratesTheSameFieldWithoutSideEffects) {
    const Rows rows = blinkField();
    const Chunks kib = buildProgram(rows);
    manager->dialect = kVemmo;
    const Chunks vemmo = buildProgram(rows);
    EXPECT_NE(kib, vemmo);
    EXPECT_EQ(buildProgram(rows), vemmo);
    EXPECT_EQ(manager->dialect, kVemmo);
    EXPECT_EQ(manager->cardSet, 0);
    manager->dialect = kKib;
    EXPECT_EQ(buildProgram(rows), kib);
}

TEST_F(ProgramBuilderTest, CardOfAnUnknownSetIsARangeError) {
    EXPECT_THROW(buildProgram(Rows{{CardId{3, 0}}}), std::out_of_range);
}

TEST(ProgramChunkPrinting, EscapesControlCharacters) {
    EXPECT_EQ(::testing::PrintToString(ProgramChunk{"a\r\n\"" + kEot, 7}),
              "{\"a\\r\\n\\\"\\x04\", 7 ms}");
}

}  // namespace
