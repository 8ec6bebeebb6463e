// The port chooser: its rows, separators and frame for three entries, choosing a row, a
// press that leaves its row, a tap outside the rows, the entry text of a tool, and the
// port field and reload spinner while the link is busy.
#include <sys/file.h>

#include <future>
#include <string>
#include <vector>

#include "LinkSceneSupport.h"
#include "tests/devicelink/PseudoTerminal.h"
#include "tests/devicelink/TempFolder.h"

USING_NS_CC;
using devicelink::platform::PortRecord;
using fieldtest::centreOf;
using fieldtest::LinkSceneTest;

namespace {

class PortChooserTest : public LinkSceneTest {
protected:
    const std::vector<PortRecord> threePorts{
        {"ttyUSB0", "CP2102"}, {"ttyACM0", "Uno"}, {"ttyS4", "16550A"}};

    void open() {
        harness.tap(centreOf(scene->portField));
        ASSERT_NE(scene->portChooser, nullptr);
        harness.steps(8);
    }
    // Only the rows carry tags.
    Label* row(int i) const { return static_cast<Label*>(scene->portChooser->getChildByTag(i)); }
    // The chooser's plain rectangles in drawing order, as (x, y, w, h), with their colour.
    struct Piece {
        Rect box;
        Color4B colour;
    };
    std::vector<Piece> pieces() const {
        std::vector<Piece> out;
        for (const Node* child : scene->portChooser->getChildren()) {
            if (const auto* fill = dynamic_cast<const LayerColor*>(child)) {
                const Color3B c = fill->getColor();
                out.push_back({fill->getBoundingBox(), Color4B(c.r, c.g, c.b, fill->getOpacity())});
            }
        }
        return out;
    }
    // Runs the deferred close and the 0.1 s fade-out to their end.
    void finishClosing() { harness.steps(12); }
};

TEST_F(PortChooserTest, ThreeEntriesStandOnThePortFieldWithSeparatorsAndAFrame) {
    rediscover(threePorts);
    open();
    EXPECT_EQ(scene->getChildren().back(), scene->portChooser);
    EXPECT_EQ(scene->portChooser->getOpacity(), 255);

    // The port field's centre is (515, 63) and its size 300 x 32: the rows start 5 above
    // its top edge, at 84.
    const Color4B shade(127, 127, 127, 127), rowFill(255, 255, 255, 196),
        separator(217, 224, 225, 127), frame(105, 208, 238, 255);
    const std::vector<Piece> expected{
        {Rect(0, 0, 1024, 768), shade},      {Rect(365, 84, 300, 32), rowFill},
        {Rect(365, 116, 300, 2), separator}, {Rect(365, 118, 300, 32), rowFill},
        {Rect(365, 150, 300, 2), separator}, {Rect(365, 152, 300, 32), rowFill},
        {Rect(360, 79, 310, 5), frame},      {Rect(360, 184, 310, 5), frame},
        {Rect(360, 79, 5, 110), frame},      {Rect(665, 79, 5, 110), frame},
    };
    const std::vector<Piece> drawn = pieces();
    ASSERT_EQ(drawn.size(), expected.size());
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(drawn[i].box.equals(expected[i].box))
            << drawn[i].box.origin.x << "," << drawn[i].box.origin.y << " "
            << drawn[i].box.size.width << "x" << drawn[i].box.size.height;
        EXPECT_EQ(drawn[i].colour, expected[i].colour);
    }
    const char* const texts[] = {"ttyUSB0 [ CP2102 ]", "ttyACM0 [ Uno ]", "ttyS4 [ 16550A ]"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(row(i), nullptr);
        EXPECT_EQ(row(i)->getString(), texts[i]);
        EXPECT_EQ(row(i)->getPosition(), Vec2(scene->portLabel->getPositionX(), 100.f + 34.f * i));
        EXPECT_EQ(row(i)->getContentSize(), scene->portLabel->getContentSize());
    }
}

TEST_F(PortChooserTest, ChoosingTheSecondRowShowsItAtOnceAndFadesTheListOut) {
    rediscover(threePorts);
    open();
    Layer* chooser = scene->portChooser;
    chooser->retain();  // to watch it fade once the scene has let go
    harness.touchBegan(centreOf(row(1)));
    EXPECT_EQ(row(1)->getOpacity(), 128);
    harness.touchEnded(centreOf(row(1)));
    EXPECT_EQ(link()->selectedIndex, 1);
    EXPECT_EQ(scene->portLabel->getString(), "ttyACM0 [ Uno ]");
    harness.step();
    EXPECT_EQ(scene->portChooser, nullptr);
    EXPECT_NE(chooser->getParent(), nullptr) << "still fading";
    // A press during the fade reaches nothing beneath.
    harness.tap(centreOf(scene->dialectButton));
    finishClosing();
    EXPECT_EQ(chooser->getParent(), nullptr);
    EXPECT_EQ(scene->dialectChooser, nullptr);
    EXPECT_TRUE(scene->portChooserListeners.empty());
    chooser->release();

    // The choice outlives a discovery that keeps the entry where it was.
    harness.tap(centreOf(scene->reloadSpinner));
    finishPortSearch();
    harness.step();
    EXPECT_EQ(scene->portLabel->getString(), "ttyACM0 [ Uno ]");
}

TEST_F(PortChooserTest, PressLeavingItsRowOnlyRestoresTheRowAndATapOutsideCloses) {
    rediscover(threePorts);
    open();
    harness.touchBegan(centreOf(row(2)));
    harness.touchMoved(centreOf(row(0)));
    harness.touchEnded(centreOf(row(0)));
    EXPECT_EQ(row(2)->getOpacity(), 255);
    harness.steps(3);
    ASSERT_NE(scene->portChooser, nullptr) << "nothing chosen, the list stays";
    EXPECT_EQ(link()->selectedIndex, 0);

    // A tap on the dimmed field outside the rows.
    harness.tap(Vec2(700.f, 500.f));
    EXPECT_FALSE(scene->fieldView->isDragging());
    harness.step();
    EXPECT_EQ(scene->portChooser, nullptr);
    EXPECT_EQ(link()->selectedIndex, 0);
    EXPECT_EQ(scene->portLabel->getString(), "ttyUSB0 [ CP2102 ]");
}

TEST_F(PortChooserTest, ToolEntryReadsAsItsFileNameWithEmptyBrackets) {
    TempFolder tools;
    tools.write("flash", "#!/bin/sh\ncat >/dev/null\n", 0755);
    rediscover({{"ttyUSB0", "CP2102"}}, tools.path());
    open();
    ASSERT_NE(row(1), nullptr);
    EXPECT_EQ(row(1)->getString(), "flash [  ]");
    harness.tap(centreOf(row(1)));
    EXPECT_EQ(scene->portLabel->getString(), "flash [  ]");
}

TEST_F(PortChooserTest, PortFieldDoesNotOpenWhileADiscoveryRebuildsTheList) {
    openSettingsBar();
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    link()->setPortSource([released](std::vector<PortRecord>& out) {
        released.wait();
        out.push_back({"ttyUSB1", "FT232R"});
        return true;
    });
    harness.tap(centreOf(scene->reloadSpinner));
    harness.tap(centreOf(scene->portField));
    harness.steps(3);
    EXPECT_EQ(scene->portChooser, nullptr);

    release.set_value();
    finishPortSearch();
    harness.step();
    open();
    EXPECT_EQ(row(0)->getString(), "ttyUSB1 [ FT232R ]");
}

TEST_F(PortChooserTest, EmptyListOpensNothing) {
    rediscover({});
    harness.tap(centreOf(scene->portField));
    EXPECT_EQ(scene->portChooser, nullptr);
}

// While the stop flow's transfer holds the link nothing can search: the label does not
// claim a search, and the user is told when to try again.
TEST_F(PortChooserTest, ReloadDuringATransferKeepsTheEntryAndSaysWhy) {
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.valid());
    rediscover({{terminal.portName(), "Board"}});
    BoardReader reader(terminal, 6);  // the stop key and "OUT0\n"
    harness.tap(centreOf(scene->stopButton));
    ASSERT_TRUE(link()->isSending());
    harness.tap(centreOf(scene->reloadSpinner));
    EXPECT_EQ(scene->portLabel->getString(), terminal.portName() + " [ Board ]");
    EXPECT_EQ(noticeText(), "Ports and tools can be searched again once the sending has ended.");
    reader.join();
}

}  // namespace
