// Every card of every set, checked against a table written out here independently of the
// catalogue's own data: palette picture, both dialect pictures and both code texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/DeviceManager.h"
#include "tests/support/FreshSelection.h"

namespace {

struct ExpectedCard {
    int set;
    int index;
    const char* palette;
    const char* stem;
    const char* kib;
    const char* vemmo;
};

const ExpectedCard kCards[] = {
    {0, 0, "res/cards/basic/r_led1.png", "led1", "LED 1", "led(1);"},
    {0, 1, "res/cards/basic/r_led0.png", "led0", "LED 0", "led(0);"},
    {0, 2, "res/cards/basic/r_wait1.png", "wait1", "WAIT 60", "sleep(1000);"},
    {0, 3, "res/cards/basic/r_wait3.png", "wait3", "WAIT 180", "sleep(3000);"},
    {0, 4, "res/cards/basic/r_loop_inf_start.png", "loop_inf_start", "@LOOP",
     "while(uart()==-1) {"},
    {0, 5, "res/cards/basic/r_loop_inf_end.png", "loop_inf_end", "GOTO @LOOP", "}"},
    {1, 0, "res/cards/tum/r_tum_forward.png", "out33", "OUT 33", "out(33);"},
    {1, 1, "res/cards/tum/r_tum_stop.png", "out0", "OUT 0", "out(0);"},
    {1, 2, "res/cards/tum/r_tum_back.png", "out18", "OUT 18", "out(18);"},
    {1, 3, "res/cards/tum/r_tum_left1-1.png", "out34", "OUT 34", "out(34);"},
    {1, 4, "res/cards/tum/r_tum_left1-2.png", "out32", "OUT 32", "out(32);"},
    {1, 5, "res/cards/tum/r_tum_left1-3.png", "out16", "OUT 16", "out(16);"},
    {1, 6, "res/cards/tum/r_tum_right1-1.png", "out17", "OUT 17", "out(17);"},
    {1, 7, "res/cards/tum/r_tum_right1-2.png", "out1", "OUT 1", "out(1);"},
    {1, 8, "res/cards/tum/r_tum_right1-3.png", "out2", "OUT 2", "out(2);"},
    {1, 9, "res/cards/tum/r_tum_left2-1.png", "pwm3_60", "PWM 3, 60", "pwm(3, 600);"},
    {1, 10, "res/cards/tum/r_tum_left2-2.png", "pwm3_145", "PWM 3, 145", "pwm(3, 1450);"},
    {1, 11, "res/cards/tum/r_tum_left2-3.png", "pwm3_230", "PWM 3, 230", "pwm(3, 2300);"},
    {1, 12, "res/cards/tum/r_tum_right2-1.png", "pwm4_230", "PWM 4, 230", "pwm(4, 2300);"},
    {1, 13, "res/cards/tum/r_tum_right2-2.png", "pwm4_145", "PWM 4, 145", "pwm(4, 1450);"},
    {1, 14, "res/cards/tum/r_tum_right2-3.png", "pwm4_60", "PWM 4, 60", "pwm(4, 600);"},
    {2, 0, "res/cards/full/r_wait5.png", "wait5", "WAIT 300", "sleep(5000);"},
    {2, 1, "res/cards/full/r_wait10.png", "wait10", "WAIT 600", "sleep(10000);"},
    {2, 2, "res/cards/full/r_beep.png", "beep", "BEEP", "beep();"},
    {2, 3, "res/cards/full/r_btn1.png", "btn1", "IF BTN()=1 THEN", "if(btn()==1) "},
    {2, 4, "res/cards/full/r_btn0.png", "btn0", "IF BTN()=0 THEN", "if(btn()==0) "},
    {2, 5, "res/cards/full/r_loop_3_start.png", "loop_3_start", "FOR I = 1 TO 3",
     "i=0;\nwhile(i<3){"},
    {2, 6, "res/cards/full/r_loop_3_end.png", "loop_3_end", "NEXT", "i=i+1;\n}"},
    {2, 7, "res/cards/full/r_loop_5_start.png", "loop_5_start", "FOR I = 1 TO 5",
     "i=0;\nwhile(i<5){"},
    {2, 8, "res/cards/full/r_loop_5_end.png", "loop_5_end", "NEXT", "i=i+1;\n}"},
    {2, 9, "res/cards/full/r_out1_on.png", "out1_on", "OUT 1, 1", "out(o=o|1);"},
    {2, 10, "res/cards/full/r_out1_off.png", "out1_off", "OUT 1, 0", "out(o=o&~1);"},
    {2, 11, "res/cards/full/r_out2_on.png", "out2_on", "OUT 2, 1", "out(o=o|2);"},
    {2, 12, "res/cards/full/r_out2_off.png", "out2_off", "OUT 2, 0", "out(o=o&~2);"},
    {2, 13, "res/cards/full/r_out3_on.png", "out3_on", "OUT 3, 1", "out(o=o|4);"},
    {2, 14, "res/cards/full/r_out3_off.png", "out3_off", "OUT 3, 0", "out(o=o&~4);"},
    {2, 15, "res/cards/full/r_out4_on.png", "out4_on", "OUT 4, 1", "out(o=o|8);"},
    {2, 16, "res/cards/full/r_out4_off.png", "out4_off", "OUT 4, 0", "out(o=o&~8);"},
    {2, 17, "res/cards/full/r_out5_on.png", "out5_on", "OUT 5, 1", "out(o=o|16);"},
    {2, 18, "res/cards/full/r_out5_off.png", "out5_off", "OUT 5, 0", "out(o=o&~16);"},
    {2, 19, "res/cards/full/r_out6_on.png", "out6_on", "OUT 6, 1", "out(o=o|32);"},
    {2, 20, "res/cards/full/r_out6_off.png", "out6_off", "OUT 6, 0", "out(o=o&~32);"},
};

const char* const kSetFolders[] = {"basic", "tum", "full"};
const char* const kDialectTags[] = {"kib", "vemmo"};

std::string dialectPicture(const ExpectedCard& card, int dialect) {
    const std::string tag = kDialectTags[dialect];
    return "res/cards/" + std::string(kSetFolders[card.set]) + "/" + tag + "/r_" + card.stem + "_" +
           tag + ".png";
}

class CatalogueCard : public ::testing::TestWithParam<ExpectedCard> {
protected:
    FreshSelection selection;
    DeviceManager* manager = DeviceManager::getInstance();
};

TEST_P(CatalogueCard, AnswersItsPicturesAndTextsInBothDialects) {
    const ExpectedCard& card = GetParam();
    const char* texts[] = {card.kib, card.vemmo};
    manager->cardSet = card.set;
    EXPECT_EQ(manager->getPaletteImage(card.index), card.palette);
    manager->cardSet = (card.set + 1) % 3;
    EXPECT_EQ(manager->getPaletteImage(card.index, card.set), card.palette);
    manager->cardSet = card.set;
    for (int dialect = 0; dialect < 2; ++dialect) {
        SCOPED_TRACE(kDialectTags[dialect]);
        manager->dialect = dialect;
        EXPECT_EQ(manager->getCardImage(card.index, card.set), dialectPicture(card, dialect));
        EXPECT_EQ(manager->getCardImage(card.index), dialectPicture(card, dialect));
        // The palette picture does not follow the dialect.
        EXPECT_EQ(manager->getPaletteImage(card.index), card.palette);
        const CodeSnippet code = manager->getCode(card.index, card.set);
        EXPECT_EQ(code.text, texts[dialect]);
        EXPECT_EQ(code.waitMs, -1);
        EXPECT_TRUE(code.appendTerminator);
    }
}

INSTANTIATE_TEST_SUITE_P(AllCards, CatalogueCard, ::testing::ValuesIn(kCards),
                         [](const ::testing::TestParamInfo<ExpectedCard>& card) {
                             return std::string(kSetFolders[card.param.set]) + "_" +
                                    std::to_string(card.param.index);
                         });

TEST(CatalogueSets, HoldFortyTwoCardsInThreeSetsInTableOrder) {
    const DeviceManager* manager = DeviceManager::getInstance();
    ASSERT_EQ(manager->getCardSetCount(), 3);
    EXPECT_EQ(manager->getDialectCount(), 2);
    std::vector<int> expectedCounts(3, 0);
    for (const ExpectedCard& card : kCards) {
        // The table above is in set order with no gaps, so each index is the running count.
        EXPECT_EQ(card.index, expectedCounts[card.set]);
        ++expectedCounts[card.set];
    }
    EXPECT_EQ(manager->getCardCount(0), 6);
    EXPECT_EQ(manager->getCardCount(1), 15);
    EXPECT_EQ(manager->getCardCount(2), 21);
    EXPECT_EQ(expectedCounts, (std::vector<int>{6, 15, 21}));
}

}  // namespace
