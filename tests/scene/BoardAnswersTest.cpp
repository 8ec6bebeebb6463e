// What the board answers after play, as a child meets it: an error that names a line marks
// that row's head and says which row, and only that row; what was said before the play is
// not blamed; the mark goes when the row changes; whether the board got the program is told
// in words, and only for a board that echoes; the panel shows the answers without the echo,
// a tool's echo too.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "FieldTestSupport.h"
#include "look/WorkspaceLook.h"
#include "tests/devicelink/posix/FakeBoard.h"
#include "tests/devicelink/posix/TempFolder.h"
#include "tests/scene/FieldScenePeer.h"

USING_NS_CC;
using fieldtest::centreOf;

namespace {

const Color3B kRed = look::kRed;

double threadMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

class BoardAnswersTest : public fieldtest::FieldSceneTest {
protected:
    void SetUp() override {
        FieldSceneTest::SetUp();
        ASSERT_TRUE(terminal.valid());
        ASSERT_TRUE(workspace.finishPortSearch());
        link()->setPortSource([this](std::vector<devicelink::platform::PortRecord>& out) {
            out.push_back({terminal.portName(), "Board"});
            return true;
        });
        harness.tap(centreOf(inside(scene).settingsGear));
        harness.steps(20);
        harness.tap(centreOf(inside(scene).reloadSpinner));
        ASSERT_TRUE(workspace.finishPortSearch());
        harness.step();
    }
    void TearDown() override {
        // Lets go of the port: the next test's board is another one.
        harness.tap(centreOf(inside(scene).stopButton));
        ASSERT_TRUE(workspace.stepUntil([] { return !link()->isSending(); }));
        harness.steps(10);  // the poll that ends the transfer
        link()->selectedIndex = 0;
    }
    static ZundleCardSerialManager* link() { return ZundleCardSerialManager::getInstance(); }
    // Frames at the pace of real time, as the running program has them, while `until` fails.
    bool runFor(
        float seconds, const std::function<bool()>& until = [] { return false; }) {
        for (int frame = 0; frame < static_cast<int>(seconds * 60.f); ++frame) {
            if (until()) {
                return true;
            }
            harness.step();
            std::this_thread::sleep_for(std::chrono::milliseconds(16));
        }
        return until();
    }
    void play() {
        harness.tap(centreOf(inside(scene).playButton));
        ASSERT_TRUE(link()->isSending()) << "play was refused";
        ASSERT_TRUE(runFor(20.f, [] { return !link()->isSending(); }));
    }
    std::vector<std::string> panelLines() const {
        return {inside(scene).talk.log.lines().begin(), inside(scene).talk.log.lines().end()};
    }
    std::vector<int> redRows() const {
        std::vector<int> rows;
        for (std::size_t r = 0; r < inside(scene).rowHeads.size(); ++r) {
            if (inside(scene).rowHeads[r]->picture->getColor() == kRed) {
                rows.push_back(static_cast<int>(r));
            }
        }
        return rows;
    }

    PseudoTerminal terminal;
};

TEST_F(BoardAnswersTest, AnErrorMarksItsRowAloneAndTheMarkGoesWhenTheRowChanges) {
    cardInSlot(0, 0, 0, 0);
    cardInSlot(1, 0, 0, 1);
    FakeBoard board(terminal, FakeBoard::Manner::Echo);
    // Said while nobody listened: not today's answer.
    board.say("Syntax error in 10\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    play();
    ASSERT_TRUE(runFor(3.f, [&] { return noticeText().rfind("The board got all", 0) == 0; }))
        << noticeText();
    EXPECT_EQ(redRows(), std::vector<int>{});

    board.say("Illegal argument in 20\r\n");
    ASSERT_TRUE(runFor(3.f, [&] { return !redRows().empty(); }));
    EXPECT_EQ(redRows(), std::vector<int>{1});
    EXPECT_EQ(noticeText(), "The board did not understand row 20: Illegal argument.");

    // The panel shows the board's words, never the echo of what was sent.
    harness.tap(centreOf(inside(scene).answerButton));
    std::vector<std::string> shown(inside(scene).talk.log.lines().begin(),
                                   inside(scene).talk.log.lines().end());
    EXPECT_NE(std::find(shown.begin(), shown.end(), "Illegal argument in 20"), shown.end());
    for (const std::string& line : shown) {
        EXPECT_EQ(line.find("LED"), std::string::npos) << line;
        EXPECT_NE(line, "Syntax error in 10");
    }

    scene->removeCard(cardAt(1, 0), false);
    harness.steps(2);
    EXPECT_EQ(redRows(), std::vector<int>{});
}

// A transfer tool that passes the program back as it gets it, then errs: the echo is no
// answer, the error marks its row, and no verdict on the echo is given for a tool.
TEST_F(BoardAnswersTest, AToolsEchoIsNoAnswerAndItsErrorMarksTheRow) {
    TempFolder tools;
    tools.write("relay",
                "#!/bin/sh\nwhile IFS= read -r line; do printf '%s\\n' \"$line\"; done\n"
                "echo 'Syntax error in 20'\n",
                0755);
    link()->setPortSource([](std::vector<devicelink::platform::PortRecord>&) { return true; });
    link()->setToolFolder(tools.path());
    harness.tap(centreOf(inside(scene).reloadSpinner));
    ASSERT_TRUE(workspace.finishPortSearch());
    harness.step();
    link()->selectedIndex = 0;
    cardInSlot(0, 0, 0, 0);
    cardInSlot(1, 0, 0, 1);
    cardInSlot(2, 0, 0, 2);
    scene->showNotice("");
    play();
    ASSERT_TRUE(runFor(5.f, [&] { return !redRows().empty(); })) << noticeText();
    EXPECT_EQ(redRows(), std::vector<int>{1});
    EXPECT_EQ(noticeText(), "The board did not understand row 20: Syntax error.");
    EXPECT_EQ(panelLines(), std::vector<std::string>{"Syntax error in 20"});
    link()->setToolFolder("");
}

// A board that floods: megabytes without a line end, NULs, or lines that never stop (an
// error among them, again and again). No frame waits for the flood, and what the
// workspace keeps of it stays bounded, with the panel open and redrawn all the while.
TEST_F(BoardAnswersTest, AFloodingBoardHoldsNoFrameAndKeepsLittle) {
    std::string errors;
    while (errors.size() < 64 * 1024) {
        errors += "Syntax error in 20\r\n" + std::string(40, 'z') + "\r\n";
    }
    const struct {
        const char* name;
        std::string block;
    } cases[] = {
        {"no line end", std::string(64 * 1024, 'x')},
        {"NULs", std::string(64 * 1024, '\0')},
        {"lines that never stop", errors},
    };
    // A frame at 60 a second, counted in the main thread's own processor time so that
    // other programs on the machine do not count; unoptimised builds get four.
#ifdef NDEBUG
    constexpr double kLongestFrameMs = 1000.0 / 60.0;
#else
    constexpr double kLongestFrameMs = 4000.0 / 60.0;
#endif
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cardInSlot(0, 0, 0, 0);
        cardInSlot(1, 0, 0, 1);
        FakeBoard board(terminal, FakeBoard::Manner::Flood, c.block);
        play();
        inside(scene).toggleAnswerPanel();
        ASSERT_NE(inside(scene).answerPanel, nullptr);
        double longest = 0.0;
        for (int frame = 0; frame < 90; ++frame) {
            const double start = threadMilliseconds();
            harness.step();
            longest = std::max(longest, threadMilliseconds() - start);
            std::this_thread::sleep_for(std::chrono::milliseconds(16));
        }
        EXPECT_GT(board.flooded(), 4 * BoardInbox::kHeldBytes) << "the flood was not read";
        EXPECT_LT(longest, kLongestFrameMs);
        EXPECT_LE(inside(scene).talk.log.lines().size(), AnswerLog::kKeptLines);
        EXPECT_LE(inside(scene).talk.unread.size(), BoardInbox::kHeldBytes);
        EXPECT_LE(inside(scene).talk.lines.partial().size(), 3 * AnswerLines::kLongestLine + 3);
        inside(scene).toggleAnswerPanel();
        board.stop();
        scene->layContents(FieldContents{});
        harness.tap(centreOf(inside(scene).stopButton));
        ASSERT_TRUE(workspace.stepUntil([] { return !link()->isSending(); }));
        harness.steps(10);
    }
}

TEST_F(BoardAnswersTest, WhetherTheBoardGotItIsToldOnlyForABoardThatEchoes) {
    struct Case {
        const char* name;
        Dialect dialect;
        bool board;
        std::string notice;
    };
    const std::vector<Case> cases = {
        {"switched off", Dialect::Kib, false,
         "The board did not answer. Is it switched on, and is this its port?"},
        {"never echoes", Dialect::Vemmo, false, ""},
        {"echoes", Dialect::Kib, true, "The board got all 5 lines."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceManager::getInstance()->dialect = c.dialect;
        scene->refreshDialect();
        cardInSlot(0, 0, 0, 0);
        cardInSlot(1, 0, 0, 1);
        std::unique_ptr<FakeBoard> board;
        if (c.board) {
            board = std::make_unique<FakeBoard>(terminal, FakeBoard::Manner::Echo);
        }
        scene->showNotice("");
        play();
        runFor(2.5f, [&] { return !noticeText().empty(); });
        EXPECT_EQ(noticeText(), c.notice);
        scene->layContents(FieldContents{});
        harness.tap(centreOf(inside(scene).stopButton));
        ASSERT_TRUE(workspace.stepUntil([] { return !link()->isSending(); }));
        harness.steps(10);  // the poll that ends the transfer
        board.reset();
        // What the stop sent is drained, so that the next case's board starts afresh.
        while (terminal.hasInput(50)) {
            char sink[256];
            if (::read(terminal.masterFd(), sink, sizeof sink) <= 0) {
                break;
            }
        }
    }
    DeviceManager::getInstance()->dialect = Dialect::Kib;
}

}  // namespace
