// Whether the board got the program, told from its echo: all lines back, silence, or a
// garbled answer; and the echo kept out of what the board is shown to have answered.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devicelink/EchoCheck.h"

using Verdict = EchoCheck::Verdict;

namespace {

const std::vector<std::string> kSent = {"NEW\r\n", "10 LED 1\r\n", "20 WAIT 100\r\n", "RUN\r\n"};

// Sends the program a tenth of a second per chunk from 0, hears `received` line by line
// at 0.5 s, ends at 1 s. The lines not taken as echo are what the workspace shows.
std::vector<std::string> play(EchoCheck& check, const std::vector<std::string>& received) {
    double t = 0.0;
    for (const std::string& chunk : kSent) {
        check.sent(chunk, t);
        t += 0.1;
    }
    std::vector<std::string> shown;
    for (const std::string& line : received) {
        check.heardBytes(line.size() + 2, 0.5);
        if (!check.isEcho(line, 0.5))
            shown.push_back(line);
    }
    check.sendingEnded(1.0);
    return shown;
}

}  // namespace

TEST(EchoCheck, VerdictAndShownLinesForWhatCameBack) {
    const std::string bad = "\xEF\xBF\xBD\xEF\xBF\xBD";
    const struct {
        const char* name;
        bool echoes;
        bool judged;
        std::vector<std::string> received;
        std::vector<std::string> shown;
        Verdict at05;  // half a second after the first line
        Verdict at3;   // long after the end
    } cases[] = {
        {"whole echo",
         true,
         true,
         {"NEW", "OK", "10 LED 1", "20 WAIT 100", "RUN", "Syntax error in 20"},
         {"OK", "Syntax error in 20"},
         Verdict::AllEchoed,
         Verdict::AllEchoed},
        {"silent", true, true, {}, {}, Verdict::Waiting, Verdict::Silent},
        {"wrong speed",
         true,
         true,
         {bad + "x" + bad},
         {bad + "x" + bad},
         Verdict::Garbled,
         Verdict::Garbled},
        {"noise in a line",
         true,
         true,
         {"NEW", "10 LED 1", "20 WA1T 100", "RUN"},
         {"20 WA1T 100"},
         Verdict::Garbled,
         Verdict::Garbled},
        {"echo cut short", true, true, {"NEW", "10 LED 1"}, {}, Verdict::Waiting, Verdict::Garbled},
        {"no echo by rule", false, true, {}, {}, Verdict::NotChecked, Verdict::NotChecked},
        {"answers of a board that does not echo",
         false,
         true,
         {"NEW", "ok"},
         {"NEW", "ok"},
         Verdict::NotChecked,
         Verdict::NotChecked},
        // A tool passing the echo on: left out of the answers, yet no verdict on it.
        {"a tool's echo",
         true,
         false,
         {"NEW", "OK", "10 LED 1", "20 WAIT 100", "RUN", "Syntax error in 20"},
         {"OK", "Syntax error in 20"},
         Verdict::NotChecked,
         Verdict::NotChecked},
        {"a tool that is silent", true, false, {}, {}, Verdict::NotChecked, Verdict::NotChecked},
    };
    for (const auto& c : cases) {
        EchoCheck check(c.echoes, c.judged);
        EXPECT_EQ(play(check, c.received), c.shown) << c.name;
        EXPECT_EQ(check.verdict(0.5), c.at05) << c.name;
        EXPECT_EQ(check.verdict(3.0), c.at3) << c.name;
    }
}

// The second starts at the first line, not at play: a board that answers late but within
// it is not called silent, one that answers after it is.
TEST(EchoCheck, SilenceIsASecondAfterTheFirstLine) {
    EchoCheck check(true);
    check.sent("NEW\r\n", 5.0);
    EXPECT_EQ(check.verdict(5.99), Verdict::Waiting);
    EXPECT_EQ(check.verdict(6.0), Verdict::Silent);
    EchoCheck late(true);
    late.sent("NEW\r\n", 5.0);
    late.heardBytes(1, 5.9);
    EXPECT_NE(late.verdict(8.0), Verdict::Silent);
    EXPECT_EQ(EchoCheck(true).verdict(100.0), Verdict::NotChecked) << "nothing sent";
}

TEST(EchoCheck, WordsForEachVerdict) {
    EchoCheck all(true);
    play(all, {"NEW", "10 LED 1", "20 WAIT 100", "RUN"});
    EXPECT_EQ(all.words(3.0), "The board got all 4 lines.");
    EchoCheck silent(true);
    play(silent, {});
    EXPECT_EQ(silent.words(3.0),
              "The board did not answer. Is it switched on, and is this its port?");
    EchoCheck garbled(true);
    play(garbled, {"N\xEF\xBF\xBDW"});
    EXPECT_EQ(garbled.words(3.0), "The board's answer is garbled: check the cable and the port.");
    EXPECT_EQ(EchoCheck(false).words(3.0), "");
}

// Lines typed in pieces, control bytes among them, and a last line without its end: the
// echo is compared line by line all the same, control bytes left out on both sides.
TEST(EchoCheck, LinesSentInPiecesWithControlBytesAreComparedWhole) {
    EchoCheck check(true);
    check.sent("\033NEW\r\n10 LE", 0.0);
    check.sent("D 1\r\n", 0.1);
    check.sent("RUN", 0.2);
    check.sendingEnded(0.3);
    EXPECT_EQ(check.linesSent(), 3u);
    for (const char* echo : {"\xEF\xBF\xBDNEW", "10 LED 1", "RUN"})
        EXPECT_TRUE(check.isEcho(echo, 0.4)) << echo;
    EXPECT_EQ(check.words(0.5), "The board got all 3 lines.");
}
