// The card and dialect tables as the boards expect them. Every text here is sent to a
// board byte for byte: trailing spaces, line feeds and control characters are intended.
#include "catalogue/CardTables.h"

#include <iterator>

namespace {

// One card as it is written down; the dialect pictures follow from the stem.
struct CardRow {
    const char* paletteImage;
    const char* stem;
    const char* kibText;
    const char* vemmoText;
    LoopRole loopRole = LoopRole::None;
};

const CardRow kBasicCards[] = {
    {"res/cards/basic/r_led1.png", "led1", "LED 1", "led(1);"},
    {"res/cards/basic/r_led0.png", "led0", "LED 0", "led(0);"},
    {"res/cards/basic/r_wait1.png", "wait1", "WAIT 60", "sleep(1000);"},
    {"res/cards/basic/r_wait3.png", "wait3", "WAIT 180", "sleep(3000);"},
    {"res/cards/basic/r_loop_inf_start.png", "loop_inf_start", "@LOOP", "while(uart()==-1) {",
     LoopRole::ForeverStart},
    {"res/cards/basic/r_loop_inf_end.png", "loop_inf_end", "GOTO @LOOP", "}", LoopRole::ForeverEnd},
};

// The robot car: OUT writes all outputs as one mask, output n being 2^(n-1); the vemmo
// PWM value is ten times the kib one.
const CardRow kTumbrelCards[] = {
    {"res/cards/tum/r_tum_forward.png", "out33", "OUT 33", "out(33);"},
    {"res/cards/tum/r_tum_stop.png", "out0", "OUT 0", "out(0);"},
    {"res/cards/tum/r_tum_back.png", "out18", "OUT 18", "out(18);"},
    {"res/cards/tum/r_tum_left1-1.png", "out34", "OUT 34", "out(34);"},
    {"res/cards/tum/r_tum_left1-2.png", "out32", "OUT 32", "out(32);"},
    {"res/cards/tum/r_tum_left1-3.png", "out16", "OUT 16", "out(16);"},
    {"res/cards/tum/r_tum_right1-1.png", "out17", "OUT 17", "out(17);"},
    {"res/cards/tum/r_tum_right1-2.png", "out1", "OUT 1", "out(1);"},
    {"res/cards/tum/r_tum_right1-3.png", "out2", "OUT 2", "out(2);"},
    {"res/cards/tum/r_tum_left2-1.png", "pwm3_60", "PWM 3, 60", "pwm(3, 600);"},
    {"res/cards/tum/r_tum_left2-2.png", "pwm3_145", "PWM 3, 145", "pwm(3, 1450);"},
    {"res/cards/tum/r_tum_left2-3.png", "pwm3_230", "PWM 3, 230", "pwm(3, 2300);"},
    {"res/cards/tum/r_tum_right2-1.png", "pwm4_230", "PWM 4, 230", "pwm(4, 2300);"},
    {"res/cards/tum/r_tum_right2-2.png", "pwm4_145", "PWM 4, 145", "pwm(4, 1450);"},
    {"res/cards/tum/r_tum_right2-3.png", "pwm4_60", "PWM 4, 60", "pwm(4, 600);"},
};

// The vemmo button tests end in a space so that the next card on the line becomes the
// body of the condition; the vemmo loops span two board lines and share the counter i,
// which the vemmo opening item declares together with the output mask o.
const CardRow kFullCards[] = {
    {"res/cards/full/r_wait5.png", "wait5", "WAIT 300", "sleep(5000);"},
    {"res/cards/full/r_wait10.png", "wait10", "WAIT 600", "sleep(10000);"},
    {"res/cards/full/r_beep.png", "beep", "BEEP", "beep();"},
    {"res/cards/full/r_btn1.png", "btn1", "IF BTN()=1 THEN", "if(btn()==1) "},
    {"res/cards/full/r_btn0.png", "btn0", "IF BTN()=0 THEN", "if(btn()==0) "},
    {"res/cards/full/r_loop_3_start.png", "loop_3_start", "FOR I = 1 TO 3", "i=0;\nwhile(i<3){",
     LoopRole::CountedStart},
    {"res/cards/full/r_loop_3_end.png", "loop_3_end", "NEXT", "i=i+1;\n}", LoopRole::CountedEnd},
    {"res/cards/full/r_loop_5_start.png", "loop_5_start", "FOR I = 1 TO 5", "i=0;\nwhile(i<5){",
     LoopRole::CountedStart},
    {"res/cards/full/r_loop_5_end.png", "loop_5_end", "NEXT", "i=i+1;\n}", LoopRole::CountedEnd},
    {"res/cards/full/r_out1_on.png", "out1_on", "OUT 1, 1", "out(o=o|1);"},
    {"res/cards/full/r_out1_off.png", "out1_off", "OUT 1, 0", "out(o=o&~1);"},
    {"res/cards/full/r_out2_on.png", "out2_on", "OUT 2, 1", "out(o=o|2);"},
    {"res/cards/full/r_out2_off.png", "out2_off", "OUT 2, 0", "out(o=o&~2);"},
    {"res/cards/full/r_out3_on.png", "out3_on", "OUT 3, 1", "out(o=o|4);"},
    {"res/cards/full/r_out3_off.png", "out3_off", "OUT 3, 0", "out(o=o&~4);"},
    {"res/cards/full/r_out4_on.png", "out4_on", "OUT 4, 1", "out(o=o|8);"},
    {"res/cards/full/r_out4_off.png", "out4_off", "OUT 4, 0", "out(o=o&~8);"},
    {"res/cards/full/r_out5_on.png", "out5_on", "OUT 5, 1", "out(o=o|16);"},
    {"res/cards/full/r_out5_off.png", "out5_off", "OUT 5, 0", "out(o=o&~16);"},
    {"res/cards/full/r_out6_on.png", "out6_on", "OUT 6, 1", "out(o=o|32);"},
    {"res/cards/full/r_out6_off.png", "out6_off", "OUT 6, 0", "out(o=o&~32);"},
};

// Dialect tags in dialect order: 0 kib, 1 vemmo.
const char* const kDialectTags[] = {"kib", "vemmo"};

template <std::size_t N>
void addCardSet(CardTables& tables, const char* folder, const CardRow (&rows)[N]) {
    std::vector<std::string> palette;
    std::vector<std::vector<std::string>> images(std::size(kDialectTags));
    std::vector<std::vector<CodeSnippet>> codes(std::size(kDialectTags));
    std::vector<LoopRole> roles;
    for (const CardRow& row : rows) {
        palette.emplace_back(row.paletteImage);
        roles.push_back(row.loopRole);
        for (std::size_t d = 0; d < std::size(kDialectTags); ++d) {
            const std::string tag = kDialectTags[d];
            images[d].push_back("res/cards/" + std::string(folder) + "/" + tag + "/r_" + row.stem +
                                "_" + tag + ".png");
        }
        codes[0].push_back({row.kibText, -1, true});
        codes[1].push_back({row.vemmoText, -1, true});
    }
    tables.paletteImages.push_back(std::move(palette));
    tables.cardImages.push_back(std::move(images));
    tables.codes.push_back(std::move(codes));
    tables.loopRoles.push_back(std::move(roles));
}

}  // namespace

const CardTables& CardTables::get() {
    static const CardTables tables;
    return tables;
}

CardTables::CardTables() {
    addCardSet(*this, "basic", kBasicCards);
    addCardSet(*this, "tum", kTumbrelCards);
    addCardSet(*this, "full", kFullCards);

    tabImages = {
        {"res/cards/r_basic_on.png", "res/cards/r_basic_off.png"},
        {"res/cards/r_tumbrel_on.png", "res/cards/r_tumbrel_off.png"},
        {"res/cards/r_full_on.png", "res/cards/r_full_off.png"},
    };

    toggleCurrentImages = {"res/r_to_kib_on.png", "res/r_to_vemmo_on.png"};
    toggleOtherImages = {"res/r_to_kib.png", "res/r_to_vemmo.png"};
    lineTerminators = {"\r\n", "\n"};
    separators = {":", ""};
    lineNumbers = {true, false};
    charWaitMs = {40, 5};
    headers = {
        {{"NEW", -1, true}},
        {{"cat uart > .\nvar i=0;var o=0;", -1, true}},
    };
    // The vemmo board reads the script until the end-of-transmission character (code 4),
    // which must reach it without a terminator after it.
    footers = {
        {{"SAVE 0", 1000, true}, {"RUN", -1, true}},
        {{"while(uart()!=-1);\n\004", 2000, false}, {"ms .", -1, true}},
    };
    stopKeys = {"\033", " "};
    stopWaitMs = {500, 20};
    resetTexts = {"OUT0\n", "ms\nout(0)\nexit()\n"};
}
