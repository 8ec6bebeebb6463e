// The loading overlay's life from play to the transfer's end, with its progress line; the
// notice after a failed transfer, from play or stop; and play or stop with nowhere to send.
#include <sys/file.h>

#include <regex>
#include <string>
#include <vector>

#include "LinkSceneSupport.h"
#include "tests/devicelink/posix/PseudoTerminal.h"

USING_NS_CC;
using fieldtest::centreOf;
using fieldtest::LinkSceneTest;

namespace {

const char* const kNowhere =
    "No board port or transfer tool was found. Plug the board in, then press reload in the "
    "settings bar.";

class RunFlowTest : public LinkSceneTest {
protected:
    void usePseudoTerminal() {
        ASSERT_TRUE(terminal.valid());
        rediscover({{terminal.portName(), "Board"}});
    }
    int noticesShown() const {
        int count = 0;
        for (const Node* child : scene->getChildren()) {
            count += dynamic_cast<const NoticeStrip*>(child) != nullptr ? 1 : 0;
        }
        return count;
    }

    PseudoTerminal terminal;
};

TEST_F(RunFlowTest, OverlayTakesEveryTouchAndShowsProgressUntilTheTransferHasEnded) {
    usePseudoTerminal();
    // The empty field in kib: NEW, SAVE 0 and RUN with pauses of 200, 1000 and 200 ms.
    const std::string program = "NEW\r\nSAVE 0\r\nRUN\r\n";
    BoardReader reader(terminal, program.size());
    harness.tap(centreOf(scene->playButton));

    Node* overlay = scene->loadingOverlay;
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(scene->getChildren().back(), overlay);
    EXPECT_EQ(overlay->getContentSize(), Size(1024.f, 768.f));
    EXPECT_EQ(overlay->getColor(), Color3B(64, 64, 64));
    EXPECT_EQ(overlay->getOpacity(), 64);
    EXPECT_EQ(progressText(), "Sending 0 of 3 lines, about 2 s left");

    // Neither a control nor a second play gets through while the transfer runs.
    harness.tap(centreOf(scene->dialectButton));
    EXPECT_EQ(scene->dialectChooser, nullptr);
    harness.tap(centreOf(scene->playButton));
    EXPECT_EQ(scene->loadingOverlay, overlay);

    // The count never falls and the time left never rises, to the end.
    const std::regex line(R"(Sending (\d) of 3 lines, (about (\d) s left|almost done))");
    int lastSent = 0, lastSeconds = 2;
    ASSERT_TRUE(stepUntil([&] {
        std::smatch parts;
        const std::string text = progressText();
        if (scene->loadingOverlay == nullptr || !std::regex_match(text, parts, line)) {
            return true;
        }
        const int sent = std::stoi(parts[1]);
        const int seconds = parts[3].matched ? std::stoi(parts[3]) : 0;
        EXPECT_TRUE(sent >= lastSent && seconds <= lastSeconds) << text;
        lastSent = sent;
        lastSeconds = seconds;
        return false;
    }));
    EXPECT_EQ(scene->loadingOverlay, nullptr) << progressText();
    EXPECT_EQ(lastSent, 3);
    EXPECT_EQ(scene->progressLine, nullptr);
    EXPECT_EQ(noticeText(), "") << "a transfer that got to its end is not talked about";
    reader.join();
    EXPECT_EQ(reader.received(), program);

    harness.tap(centreOf(scene->dialectButton));
    EXPECT_NE(scene->dialectChooser, nullptr) << "touches reach the workspace again";
}

TEST_F(RunFlowTest, FailedTransferLeavesANoticeNamingThePortThatTakesNoTouchesAndGoes) {
    usePseudoTerminal();
    // Another program holds the port.
    ASSERT_EQ(::flock(terminal.keeperFd(), LOCK_EX | LOCK_NB), 0);
    for (const char* button : {"play", "stop"}) {
        SCOPED_TRACE(button);
        Node* control = std::string(button) == "play" ? static_cast<Node*>(scene->playButton)
                                                      : static_cast<Node*>(scene->stopButton);
        harness.tap(centreOf(control));
        ASSERT_TRUE(stepUntil([&] { return !noticeText().empty(); }));
        EXPECT_EQ(scene->loadingOverlay, nullptr);
        EXPECT_EQ(noticeText(), "The port " + terminal.portName() +
                                    " is in use by another program. Close that program, then "
                                    "press play again.");
        EXPECT_FALSE(terminal.hasInput(0));

        // A drag that starts on the notice moves the field beneath it.
        const Vec2 on = centreOf(scene->notice);
        harness.touchBegan(on);
        harness.touchMoved(on - Vec2(0.f, 80.f));
        EXPECT_TRUE(scene->fieldView->isDragging());
        harness.touchEnded(on - Vec2(0.f, 80.f));

        harness.steps(5 * 60);
        EXPECT_EQ(noticesShown(), 1) << "still there after five seconds";
        harness.steps(2 * 60);
        EXPECT_EQ(scene->notice, nullptr);
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
        {"every card in a row", 0, false, "", "NEW\r\n20 LED 1\r\nSAVE 0\r\nRUN\r\n"},
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
        harness.tap(centreOf(scene->playButton));
        EXPECT_EQ(noticeText(), c.notice);
        ASSERT_TRUE(stepUntil([this] { return !link()->isSending(); }));
        reader.join();
        EXPECT_EQ(reader.received(), c.program);
        for (CardSprite* card : Vector<CardSprite*>(scene->fieldCards)) {
            scene->removeCard(card);
        }
        harness.steps(8 * 60);
    }
}

TEST_F(RunFlowTest, PlayAndStopWithNowhereToSendSaySoInsteadOfDoingNothing) {
    rediscover({});
    ASSERT_EQ(scene->portLabel->getString(), "Not Found ...");
    for (Node* control :
         {static_cast<Node*>(scene->playButton), static_cast<Node*>(scene->stopButton)}) {
        harness.tap(centreOf(control));
        EXPECT_EQ(noticeText(), kNowhere);
        EXPECT_EQ(scene->loadingOverlay, nullptr);
        EXPECT_FALSE(link()->isSending());
    }
    EXPECT_EQ(noticesShown(), 1) << "a new notice replaces the one shown";
}

}  // namespace
