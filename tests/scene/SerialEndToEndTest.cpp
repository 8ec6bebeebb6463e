// The serial path end to end through the workspace: a pseudo-terminal stands in for a
// board, reaches discovery through its port-listing seam, is chosen in the port chooser,
// and receives the field's program from play, then the stop chunks from stop, each with
// its pause, read on the board's side.
#include <chrono>
#include <string>
#include <vector>

#include "LinkSceneSupport.h"
#include "tests/devicelink/posix/PseudoTerminal.h"

USING_NS_CC;
using fieldtest::centreOf;
using fieldtest::LinkSceneTest;
using std::chrono::milliseconds;

namespace {

struct Sent {
    std::string text;
    int waitMs;
};

class SerialEndToEndTest : public LinkSceneTest {
protected:
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
        ASSERT_TRUE(stepUntil([] { return !link()->isSending(); }));
        harness.steps(7);  // the poll that ends the transfer
        reader.join();
        ASSERT_EQ(reader.received(), bytes);

        // No chunk may arrive before the press plus every pause ahead of it. The board side
        // notes an arrival only after it happened, so a reader thread held up by a busy
        // machine can make this later, never earlier: no slack is needed.
        milliseconds paused(0);
        std::size_t next = 0;
        for (std::size_t i = 0; i + 1 < chunks.size(); ++i) {
            SCOPED_TRACE(chunks[i].text);
            paused += milliseconds(chunks[i].waitMs);
            next += chunks[i].text.size();
            EXPECT_GE(reader.arrivalOf(next) - pressed, paused);
        }
    }

    PseudoTerminal terminal;
};

TEST_F(SerialEndToEndTest, PortChosenInTheChooserGetsTheProgramThenTheStopChunksWithTheirPauses) {
    ASSERT_TRUE(terminal.valid());
    rediscover({{"ttyUSB9", "Another Board"}, {terminal.portName(), "Board"}});
    harness.tap(centreOf(scene->portField));
    ASSERT_NE(scene->portChooser, nullptr);
    harness.steps(8);
    harness.tap(centreOf(scene->portChooser->getChildByTag(1)));
    harness.steps(12);
    ASSERT_EQ(scene->portLabel->getString(), terminal.portName() + " [ Board ]");

    // Row 1: LED on, then wait a second; row 3: LED off in its second slot only.
    cardInSlot(0, 0, 0, 0);
    cardInSlot(0, 1, 0, 2);
    cardInSlot(2, 1, 0, 1);
    expectOnTheBoard(scene->playButton, {{"NEW\r\n", 200},
                                         {"10 LED 1:WAIT 60\r\n", 720},
                                         {"30 LED 0\r\n", 400},
                                         {"SAVE 0\r\n", 1000},
                                         {"RUN\r\n", 200}});
    EXPECT_EQ(scene->loadingOverlay, nullptr);
    EXPECT_EQ(noticeText(), "");

    expectOnTheBoard(scene->stopButton, {{"\033", 500}, {"OUT0\n", 200}});
    EXPECT_EQ(noticeText(), "");
}

}  // namespace
