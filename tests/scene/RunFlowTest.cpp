// Play and stop through the workspace: the bytes and pauses a board gets over a port chosen
// in the chooser, the loading overlay with its progress line, the notice after a failed
// transfer, with nowhere to send or on a reload while sending, where a transfer tool is
// told the window lies, and a chooser of hundreds of entries, some too long for a row.
#include <stdlib.h>
#include <sys/file.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "FieldTestSupport.h"
#include "tests/devicelink/posix/PseudoTerminal.h"
#include "tests/devicelink/posix/TempFolder.h"
#include "tests/scene/FieldScenePeer.h"

USING_NS_CC;
using fieldtest::centreOf;
using fieldtest::FieldSceneTest;

namespace {

const char* const kNowhere =
    "No board port or transfer tool was found. Plug the board in, then press reload in the "
    "settings bar.";

struct Sent {
    std::string text;
    int waitMs;
};

// The workspace with a device link that really sends, stepping frames while its worker
// runs on a thread of its own.
class RunFlowTest : public FieldSceneTest {
protected:
    void SetUp() override {
        FieldSceneTest::SetUp();
        ASSERT_TRUE(workspace.finishPortSearch());
    }
    void TearDown() override {
        // A transfer still running would call back into the next test's scene.
        ASSERT_TRUE(workspace.stepUntil([] { return !link()->isSending(); }));
        harness.steps(10);
        link()->selectedIndex = 0;
        ::unsetenv("ZC_WORKSPACE_FRAME");
        ::unsetenv("ZC_WORKSPACE_CONTROLS");
    }

    static ZundleCardSerialManager* link() { return ZundleCardSerialManager::getInstance(); }

    // Opens the settings bar and searches again through the reload spinner, finding these
    // ports and the tools of this folder.
    void rediscover(std::vector<devicelink::platform::PortRecord> ports,
                    const std::string& toolFolder = "/nonexistent/zc-scene-tests/exe") {
        link()->setPortSource([ports](std::vector<devicelink::platform::PortRecord>& out) {
            out.insert(out.end(), ports.begin(), ports.end());
            return true;
        });
        link()->setToolFolder(toolFolder);
        if (!inside(scene).settingsBarOpen) {
            harness.tap(centreOf(inside(scene).settingsGear));
            harness.steps(20);
        }
        harness.tap(centreOf(inside(scene).reloadSpinner));
        ASSERT_TRUE(workspace.finishPortSearch());
        harness.step();
    }
    void usePseudoTerminal() {
        ASSERT_TRUE(terminal.valid());
        rediscover({{terminal.portName(), "Board"}});
    }
    int noticesShown() const {
        int count = 0;
        for (const Node* child : scene->getChildren()) {
            count += dynamic_cast<const NoticeStrip*>(child) != nullptr &&
                             child != inside(scene).answerButton
                         ? 1
                         : 0;
        }
        return count;
    }

    // Reads what the board receives for the button's transfer and checks the bytes and the
    // quiet after each chunk.
    void expectOnTheBoard(Node* button, const std::vector<Sent>& chunks) {
        std::string bytes;
        for (const Sent& chunk : chunks) {
            bytes += chunk.text;
        }
        BoardReader reader(terminal, bytes.size());
        const BoardReader::Clock::time_point pressed = BoardReader::Clock::now();
        harness.tap(centreOf(button));
        ASSERT_TRUE(link()->isSending());
        ASSERT_TRUE(workspace.stepUntil([] { return !link()->isSending(); }));
        harness.steps(7);  // the poll that ends the transfer
        reader.join();
        ASSERT_EQ(reader.received(), bytes);
        // This board does not echo: the workspace may say so (the notice's seconds pass faster
        // than the transfer's here), and it says nothing else.
        const std::string notice = noticeText();
        EXPECT_TRUE(notice.empty() ||
                    notice == "The board did not answer. Is it switched on, and is this its port?")
            << notice;

        // No chunk may arrive before the press plus every pause ahead of it. The board side
        // notes an arrival only after it happened, so a reader thread held up by a busy
        // machine can make this later, never earlier: no slack is needed.
        std::chrono::milliseconds paused(0);
        std::size_t next = 0;
        for (std::size_t i = 0; i + 1 < chunks.size(); ++i) {
            SCOPED_TRACE(chunks[i].text);
            paused += std::chrono::milliseconds(chunks[i].waitMs);
            next += chunks[i].text.size();
            EXPECT_GE(reader.arrivalOf(next) - pressed, paused);
        }
    }

    PseudoTerminal terminal;
};

TEST_F(RunFlowTest, PortChosenInTheChooserGetsTheProgramThenTheStopChunksWithTheirPauses) {
    ASSERT_TRUE(terminal.valid());
    rediscover({{"ttyUSB9", "Another Board"}, {terminal.portName(), "Board"}});
    harness.tap(centreOf(inside(scene).portField));
    ASSERT_NE(inside(scene).portChooser, nullptr);
    harness.steps(8);
    harness.tap(centreOf(inside(scene).portChooser->getChildByTag(1)));
    harness.steps(12);
    ASSERT_EQ(inside(scene).portLabel->getString(), terminal.portName() + " [ Board ]");

    // Row 1: LED on, then wait a second; row 3: LED off in its second slot only.
    cardInSlot(0, 0, 0, 0);
    cardInSlot(0, 1, 0, 2);
    cardInSlot(2, 1, 0, 1);
    expectOnTheBoard(inside(scene).playButton, {{"NEW\r\n", 200},
                                                {"10 LED 1:WAIT 60\r\n", 720},
                                                {"30 LED 0\r\n", 400},
                                                {"SAVE 0\r\n", 1000},
                                                {"RUN\r\n", 200}});
    expectOnTheBoard(inside(scene).stopButton, {{"\033", 500}, {"OUT0\n", 200}});
}

// Two boards of one kind are told apart by their serial number's end, in the chooser's
// rows and in the port label; a board without one and a tool show none.
TEST_F(RunFlowTest, ChooserTellsTwoBoardsOfOneKindApartByTheirSerialNumbers) {
    TempFolder tools;
    tools.write("board-simulator", "#!/bin/sh\ncat >/dev/null\n", 0755);
    rediscover({{"ttyACM0", "Arduino Uno", false, "2341", "0043", "85736323838351F0A1D1"},
                {"ttyACM1", "Arduino Uno", false, "2341", "0043", "7573330303135191C0E2"},
                {"ttyUSB0", "USB Serial", false, "1a86", "7523", ""}},
               tools.path());
    harness.tap(centreOf(inside(scene).portField));
    ASSERT_NE(inside(scene).portChooser, nullptr);
    harness.steps(8);
    std::vector<std::string> rows;
    for (int tag = 0; tag < 4; ++tag) {
        const auto* row = dynamic_cast<Label*>(inside(scene).portChooser->getChildByTag(tag));
        ASSERT_NE(row, nullptr) << tag;
        rows.push_back(row->getString());
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"ttyACM0 [ Arduino Uno F0A1D1 ]",
                                              "ttyACM1 [ Arduino Uno 91C0E2 ]",
                                              "ttyUSB0 [ USB Serial ]", "board-simulator [  ]"}));
    harness.tap(centreOf(inside(scene).portChooser->getChildByTag(1)));
    harness.steps(12);
    EXPECT_EQ(inside(scene).portLabel->getString(), "ttyACM1 [ Arduino Uno 91C0E2 ]");
}

TEST_F(RunFlowTest, OverlayTakesEveryTouchAndShowsProgressUntilTheTransferHasEnded) {
    usePseudoTerminal();
    // The empty field in kib: NEW, SAVE 0 and RUN with pauses of 200, 1000 and 200 ms.
    BoardReader reader(terminal, 17);
    harness.tap(centreOf(inside(scene).playButton));

    Node* overlay = inside(scene).loadingOverlay;
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(progressText(), "Sending 0 of 3 lines, about 2 s left");

    // Neither a control nor a second play gets through while the transfer runs.
    harness.tap(centreOf(inside(scene).dialectButton));
    EXPECT_EQ(inside(scene).dialectChooser, nullptr);
    harness.tap(centreOf(inside(scene).playButton));
    EXPECT_EQ(inside(scene).loadingOverlay, overlay);

    ASSERT_TRUE(workspace.stepUntil([this] { return inside(scene).loadingOverlay == nullptr; }));
    reader.join();
    harness.tap(centreOf(inside(scene).dialectButton));
    EXPECT_NE(inside(scene).dialectChooser, nullptr) << "touches reach the workspace again";
}

TEST_F(RunFlowTest, PlayAndStopThatCannotSendSayWhyAndTheNoticeGoes) {
    rediscover({});
    ASSERT_EQ(inside(scene).portLabel->getString(), "Not Found ...");
    const std::vector<Node*> controls{inside(scene).playButton, inside(scene).stopButton};
    for (Node* control : controls) {
        harness.tap(centreOf(control));
        EXPECT_EQ(noticeText(), kNowhere);
        EXPECT_FALSE(link()->isSending());
    }
    EXPECT_EQ(noticesShown(), 1) << "a new notice replaces the one shown";

    usePseudoTerminal();
    // Another program holds the port.
    ASSERT_EQ(::flock(terminal.keeperFd(), LOCK_EX | LOCK_NB), 0);
    for (Node* control : controls) {
        harness.tap(centreOf(control));
        ASSERT_TRUE(
            workspace.stepUntil([&] { return noticeText() != kNowhere && !noticeText().empty(); }));
        EXPECT_EQ(inside(scene).loadingOverlay, nullptr);
        EXPECT_EQ(noticeText(), "The port " + terminal.portName() +
                                    " is in use by another program. Close that program, then "
                                    "press play again.");
        EXPECT_FALSE(terminal.hasInput(0));
        harness.steps(5 * 60);
        EXPECT_EQ(noticesShown(), 1) << "still there after five seconds";
        harness.steps(2 * 60);
        EXPECT_EQ(noticesShown(), 0);
    }
}

TEST_F(RunFlowTest, PlaySaysWhatWillNotRunAsLaidOutAndStillSendsTheRows) {
    usePseudoTerminal();
    struct Case {
        const char* name;
        int looseCards;
        bool openRepeat;
        std::string notice;
        std::string program;
    };
    const std::vector<Case> cases{
        {"one loose card and a repeat left open", 1, true,
         "1 card is not in a row and will not be sent. The repeat card in row 30 has no end "
         "card after it.",
         "NEW\r\n20 LED 1\r\n30 @LOOP\r\nSAVE 0\r\nRUN\r\n"},
        {"three loose cards", 3, false, "3 cards are not in a row and will not be sent.",
         "NEW\r\n20 LED 1\r\nSAVE 0\r\nRUN\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cardInSlot(1, 0, 0, 0);
        if (c.openRepeat) {
            cardInSlot(2, 1, 0, 4);
        }
        for (int i = 0; i < c.looseCards; ++i) {
            looseCard(slotPoint(3, 1) + Vec2(300.f, 30.f * static_cast<float>(i)), 0, 4);
        }
        BoardReader reader(terminal, c.program.size());
        harness.tap(centreOf(inside(scene).playButton));
        EXPECT_EQ(noticeText(), c.notice);
        ASSERT_TRUE(workspace.stepUntil([this] { return !link()->isSending(); }));
        reader.join();
        EXPECT_EQ(reader.received(), c.program);
        for (CardSprite* card : Vector<CardSprite*>(inside(scene).fieldCards)) {
            scene->removeCard(card);
        }
        harness.steps(8 * 60);
    }
}

struct Told {
    int x = 0, y = 0, w = 0, h = 0;
    bool holds(const Vec2& point) const {
        return point.x > x && point.x < x + w && point.y > y && point.y < y + h;
    }
};

TEST_F(RunFlowTest, EachTransferTellsTheToolWhereTheWindowAndPlayAndStopAreOnTheScreen) {
    TempFolder tools;
    const std::string told = tools.file("told");
    tools.write("simulator",
                "#!/bin/sh\nprintf '%s %s' \"$ZC_WORKSPACE_FRAME\" \"$ZC_WORKSPACE_CONTROLS\" > " +
                    told + "\ncat >/dev/null\n",
                0755);
    rediscover({}, tools.path());
    // A display left of the main one.
    const Vec2 windowAt(-1280.f, 40.f);
    harness.platformView().setScreenPosition(-1280, 40);

    harness.tap(centreOf(inside(scene).playButton));
    // A tool takes the program at once and gets its settle second after it.
    EXPECT_EQ(progressText(), "Sending 0 of 3 lines, about 1 s left");
    ASSERT_TRUE(workspace.stepUntil([] { return !link()->isSending(); }));
    const std::string text = TempFolder::read(told);
    EXPECT_EQ(text.rfind("-1280,40,1024,768 ", 0), 0u) << text;
    Told controls;
    ASSERT_EQ(std::sscanf(text.c_str(), "%*d,%*d,%*d,%*d %d,%d,%d,%d", &controls.x, &controls.y,
                          &controls.w, &controls.h),
              4)
        << text;
    const auto onScreen = [&](const Node* control) {
        return harness.view()->designToWindow(centreOf(control)) + windowAt;
    };
    EXPECT_TRUE(controls.holds(onScreen(inside(scene).playButton)));
    EXPECT_TRUE(controls.holds(onScreen(inside(scene).stopButton)));
    // Those two and not the field: a part of the window's right half, less than half as high.
    EXPECT_GT(controls.x, -1280 + 512);
    EXPECT_LE(controls.x + controls.w, -1280 + 1024);
    EXPECT_LT(controls.h, 768 / 2);
}

// The simulator's answers to the workspace, from a tool that stands in for it: the row the
// board runs is lit in the play button's green, one row at a time, and stop darkens it at
// once; the workspace moves as far as told to make room beside it, once.
TEST_F(RunFlowTest, TheRowTheSimulatorRunsIsLitAloneStopDarkensItAndTheWorkspaceMakesRoom) {
    TempFolder tools;
    const std::string go = tools.file("go");
    // Answers a program only (stop's transfer gets none), each line once the test says so.
    tools.write("simulator",
                "#!/bin/sh\ncase \"$(cat)\" in NEW*) ;; *) exit 0 ;; esac\n"
                "echo '@move-workspace -100'\necho '@run 20'\n"
                "while [ ! -f " +
                    go + " ]; do sleep 0.02; done\necho '@run 40'\nsleep 2\n",
                0755);
    rediscover({}, tools.path());
    harness.platformView().setScreenPosition(100, 0);
    const int ledOnWaitLedOffWait[] = {0, 2, 1, 2};
    for (int row = 0; row < 4; ++row)
        cardInSlot(row, 0, 0, ledOnWaitLedOffWait[row]);
    const Color3B green(67, 160, 71);
    const auto litRows = [&] {
        std::vector<int> rows;
        for (std::size_t r = 0; r < inside(scene).rowHeads.size(); ++r)
            if (inside(scene).rowHeads[r]->picture->getColor() == green)
                rows.push_back(static_cast<int>(r));
        return rows;
    };
    harness.tap(centreOf(inside(scene).playButton));
    ASSERT_TRUE(workspace.stepUntil([&] { return !litRows().empty(); }));
    EXPECT_EQ(litRows(), std::vector<int>{1});
    backend::PixelRect frame;
    ASSERT_TRUE(harness.platformView().getScreenFrame(frame));
    EXPECT_EQ(frame.x, 0) << "the workspace did not make room";
    EXPECT_EQ(frame.y, 0);
    tools.write("go", "", 0644);
    ASSERT_TRUE(workspace.stepUntil([&] { return litRows() != std::vector<int>{1}; }));
    EXPECT_EQ(litRows(), std::vector<int>{3});
    ASSERT_TRUE(workspace.stepUntil([] { return !link()->isSending(); }));
    harness.steps(10);
    harness.tap(centreOf(inside(scene).stopButton));
    EXPECT_EQ(litRows(), std::vector<int>{});
    ASSERT_TRUE(workspace.stepUntil([] { return !link()->isSending(); }));
    harness.steps(30);
    EXPECT_EQ(litRows(), std::vector<int>{});
    ASSERT_TRUE(harness.platformView().getScreenFrame(frame));
    EXPECT_EQ(frame.x, 0) << "the workspace left the place it made room from";
}

// The close question's Keep during a send: the shelf opens to save the field, and offers
// nothing that would replace the field under the transfer.
TEST_F(RunFlowTest, KeepDuringASendOpensTheShelfToSaveOnly) {
    usePseudoTerminal();
    FieldContents program;
    program.rows[0][0] = CardId{0, 0};
    scene->layContents(program);
    std::string problem;
    ASSERT_TRUE(scene->programShelf().savePlace(3, program, problem)) << problem;
    BoardReader reader(terminal, 17);
    harness.tap(centreOf(inside(scene).playButton));
    ASSERT_TRUE(link()->isSending());
    EXPECT_FALSE(scene->onCloseRequested());
    ASSERT_NE(inside(scene).questionPopup, nullptr);
    const auto buttonIn = [](Node* node, const std::string& text, const auto& self) -> Node* {
        if (auto* strip = dynamic_cast<NoticeStrip*>(node); strip && strip->getText() == text) {
            return strip;
        }
        for (Node* child : node->getChildren()) {
            if (Node* found = self(child, text, self)) {
                return found;
            }
        }
        return nullptr;
    };
    Node* keep = buttonIn(inside(scene).questionPopup, "Keep", buttonIn);
    ASSERT_NE(keep, nullptr);
    harness.tap(centreOf(keep));
    ASSERT_NE(inside(scene).shelfPopup, nullptr) << "Keep did nothing during the send";
    Node* place4 = inside(scene).shelfPopup->getChildByTag(0x506f70)->getChildByTag(4);
    ASSERT_NE(place4, nullptr);
    EXPECT_EQ(buttonIn(place4, "Open", buttonIn), nullptr);
    EXPECT_NE(buttonIn(place4, "Save", buttonIn), nullptr);
    reader.join();
}

// While the stop flow's transfer holds the link nothing can search: the label does not
// claim a search, and the user is told when to try again.
TEST_F(RunFlowTest, ReloadDuringATransferKeepsTheEntryAndSaysWhy) {
    usePseudoTerminal();
    BoardReader reader(terminal, 6);  // the stop key and "OUT0\n"
    harness.tap(centreOf(inside(scene).stopButton));
    ASSERT_TRUE(link()->isSending());
    harness.tap(centreOf(inside(scene).reloadSpinner));
    EXPECT_EQ(inside(scene).portLabel->getString(), terminal.portName() + " [ Board ]");
    EXPECT_EQ(noticeText(), "Ports and tools can be searched again once the sending has ended.");
}

// Hundreds of tools, a few with names that would not fit a row: the chooser shows as many
// rows as fit above the port field, reuses them while it scrolls, and reaches the last one.
TEST_F(RunFlowTest, ChooserOfHundredsOfOddNamesShowsOneLineRowsAndScrollsToTheLast) {
    const std::string longName(250, 'W');
    std::vector<devicelink::platform::PortRecord> ports{{"two\nlines", "a\nb\r\nc"},
                                                        {"bell\x07"
                                                         "esc\x1b[31mdel\x7f",
                                                         "tab\there"},
                                                        {longName, "long"},
                                                        {"bad\xff\xc0utf8", "ok"}};
    for (int i = 4; i < 300; ++i) {
        ports.push_back({"tool" + std::to_string(i), "Entry"});
    }
    rediscover(ports);
    harness.tap(centreOf(inside(scene).portField));
    ASSERT_NE(inside(scene).portChooser, nullptr);
    const auto row = [this](int tag) {
        return static_cast<Label*>(inside(scene).portChooser->getChildByTag(tag));
    };
    const auto lineOf = [this](const std::string& text) {
        return Label::createWithSystemFont(text, inside(scene).portLabel->getSystemFontName(),
                                           inside(scene).portLabel->getSystemFontSize())
            ->getContentSize();
    };
    for (int r = 0; r < 4; ++r) {
        const std::string text = row(r)->getString();
        SCOPED_TRACE(text);
        for (char c : text) {
            EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7f) << int(c);
        }
        EXPECT_LE(lineOf(text).width, inside(scene).portLabel->getDimensions().width);
        EXPECT_LE(lineOf(text).height, lineOf("Xg").height);
    }
    EXPECT_EQ(row(0)->getString(), "two lines [ a b  c ]");
    EXPECT_LT(inside(scene).portChooser->getChildrenCount(), 100u);
    for (const Node* child : inside(scene).portChooser->getChildren()) {
        EXPECT_LE(child->getBoundingBox().getMaxY(), 768.f);
    }
    for (int turn = 0; turn < 1000 && row(299) == nullptr; ++turn) {
        harness.scroll(Vec2(515.f, 400.f), -3.f);
        harness.step();
    }
    ASSERT_NE(row(299), nullptr);
    EXPECT_EQ(row(299)->getString(), "tool299 [ Entry ]");
    harness.tap(centreOf(row(299)));
    EXPECT_EQ(link()->selectedIndex, 299);
}

}  // namespace
