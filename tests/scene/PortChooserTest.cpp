// The port chooser: its rows, separators and frame for three entries, a press that leaves
// its row, a tap outside, a choice, the port field and reload spinner while the link is
// busy, a list far taller than the window, and names that would not fit one line.
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "LinkSceneSupport.h"
#include "tests/devicelink/posix/PseudoTerminal.h"
#include "tests/devicelink/posix/TempFolder.h"

USING_NS_CC;
using devicelink::platform::PortRecord;
using fieldtest::centreOf;
using fieldtest::LinkSceneTest;

namespace {

class PortChooserTest : public LinkSceneTest {
protected:
    void open() {
        harness.tap(centreOf(scene->portField));
        ASSERT_NE(scene->portChooser, nullptr);
        harness.steps(8);
    }
    // Only the rows carry tags.
    Label* row(int i) const { return static_cast<Label*>(scene->portChooser->getChildByTag(i)); }

    void rediscoverMany(int count) {
        std::vector<PortRecord> ports;
        for (int i = 0; i < count; ++i) {
            ports.push_back({"tool" + std::to_string(i), "Entry " + std::to_string(i)});
        }
        rediscover(ports);
    }
    // The row of the latest entry shown now.
    Label* topRow() const {
        Label* top = nullptr;
        for (Node* child : scene->portChooser->getChildren()) {
            if (auto* label = dynamic_cast<Label*>(child)) {
                top = top == nullptr || label->getTag() > top->getTag() ? label : top;
            }
        }
        return top;
    }
    int topTag() const {
        const Label* top = topRow();
        return top == nullptr ? -1 : top->getTag();
    }
};

std::size_t countNodes(const Node* node) {
    std::size_t count = 1;
    for (const Node* child : node->getChildren()) {
        count += countNodes(child);
    }
    return count;
}

TEST_F(PortChooserTest, HundredsOfEntriesStayInTheWindowAndScrollToTheLastOne) {
    // Fifteen times more than fit: enough to scroll far, few enough for the sanitizers.
    constexpr int kEntries = 300;
    struct Way {
        const char* name;
        std::function<void()> scroll;
    };
    const std::vector<Way> ways{
        {"wheel",
         [this] {
             harness.scroll(Vec2(515.f, 400.f), -3.f);
             harness.step();
         }},
        {"drag",
         [this] {
             // Begins on a row: the row is pressed until the touch becomes a scroll.
             const Label* top = topRow();
             ASSERT_NE(top, nullptr);
             const Vec2 start = centreOf(top);
             harness.touchBegan(start);
             for (float y = start.y; y > 120.f; y -= 30.f) {
                 harness.touchMoved(Vec2(start.x, y));
             }
             harness.touchEnded(Vec2(start.x, 120.f));
             harness.step();
         }},
    };
    rediscoverMany(kEntries);
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        open();
        const Rect window(0.f, 0.f, 1024.f, 768.f);
        int outside = 0;
        for (Node* child : scene->portChooser->getChildren()) {
            const Rect box = child->getBoundingBox();
            outside += window.containsPoint(box.origin) &&
                               window.containsPoint(Vec2(box.getMaxX(), box.getMaxY()))
                           ? 0
                           : 1;
        }
        EXPECT_EQ(outside, 0);
        EXPECT_LT(countNodes(scene->portChooser), 100u);

        // A drag that comes back to where it began, on a row or on the separator above
        // it, has scrolled: it chooses nothing and keeps the list open.
        for (const float lift : {0.f, 17.f}) {
            const Vec2 back = centreOf(row(5)) + Vec2(0.f, lift);
            harness.touchBegan(back);
            harness.touchMoved(back - Vec2(0.f, 40.f));
            harness.touchMoved(back);
            harness.touchEnded(back);
            harness.step();
            ASSERT_NE(scene->portChooser, nullptr);
        }

        for (int turn = 0; turn < 1000 && topTag() < kEntries - 1; ++turn) {
            way.scroll();
            ASSERT_NE(scene->portChooser, nullptr) << "a scroll closed the list";
        }
        EXPECT_EQ(link()->selectedIndex, 0) << "a scroll chose a row";
        EXPECT_LT(countNodes(scene->portChooser), 100u);
        Label* last = row(kEntries - 1);
        ASSERT_NE(last, nullptr);
        EXPECT_EQ(last->getString(), "tool299 [ Entry 299 ]");
        EXPECT_LE(centreOf(last).y, 768.f);
        harness.tap(centreOf(last));
        EXPECT_EQ(link()->selectedIndex, kEntries - 1);
        harness.steps(12);
        EXPECT_EQ(scene->portChooser, nullptr);
        link()->selectedIndex = 0;
    }
}

TEST_F(PortChooserTest, OddNamesStayOnOneLineInsideTheirRows) {
    const std::string longName(250, 'W');
    rediscover({{"two\nlines", "a\nb\r\nc"},
                {"bell\x07"
                 "esc\x1b[31mdel\x7f",
                 "tab\there"},
                {longName, "long"},
                {"bad\xff\xc0utf8", "ok"}});
    open();
    const float width = scene->portLabel->getDimensions().width;
    const Label* line = Label::createWithSystemFont("Xg", scene->portLabel->getSystemFontName(),
                                                    scene->portLabel->getSystemFontSize());
    const float lineHeight = line->getContentSize().height;
    for (int r = 0; r < 4; ++r) {
        SCOPED_TRACE(r);
        const std::string text = row(r)->getString();
        for (char c : text) {
            EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7f) << int(c);
        }
        const Label* bare = Label::createWithSystemFont(text, scene->portLabel->getSystemFontName(),
                                                        scene->portLabel->getSystemFontSize());
        EXPECT_LE(bare->getContentSize().width, width);
        EXPECT_LE(bare->getContentSize().height, lineHeight);
    }
    const std::string cut = row(2)->getString();
    EXPECT_EQ(cut.substr(0, 20), longName.substr(0, 20));
    EXPECT_EQ(cut.substr(cut.size() - 3), "...");
    EXPECT_EQ(row(0)->getString(), "two lines [ a b  c ]");
}

TEST_F(PortChooserTest, ThreeEntriesStandOnThePortFieldWithSeparatorsAndAFrame) {
    TempFolder tools;
    tools.write("flash", "#!/bin/sh\ncat >/dev/null\n", 0755);
    rediscover({{"ttyUSB0", "CP2102"}, {"ttyACM0", "Uno"}}, tools.path());
    open();
    EXPECT_EQ(scene->getChildren().back(), scene->portChooser);

    // The port field's centre is (515, 63) and its size 300 x 32: the rows start 5 above
    // its top edge, at 84.
    struct Piece {
        Rect box;
        Color4B colour;
    };
    const Color4B shade(127, 127, 127, 127), fill(255, 255, 255, 196),
        separator(217, 224, 225, 127), frame(105, 208, 238, 255);
    const std::vector<Piece> expected{
        {Rect(0, 0, 1024, 768), shade},      {Rect(365, 84, 300, 32), fill},
        {Rect(365, 116, 300, 2), separator}, {Rect(365, 118, 300, 32), fill},
        {Rect(365, 150, 300, 2), separator}, {Rect(365, 152, 300, 32), fill},
        {Rect(360, 79, 310, 5), frame},      {Rect(360, 184, 310, 5), frame},
        {Rect(360, 79, 5, 110), frame},      {Rect(665, 79, 5, 110), frame},
    };
    std::size_t i = 0;
    for (const Node* child : scene->portChooser->getChildren()) {
        if (const auto* piece = dynamic_cast<const LayerColor*>(child)) {
            ASSERT_LT(i, expected.size());
            SCOPED_TRACE(i);
            EXPECT_TRUE(piece->getBoundingBox().equals(expected[i].box));
            const Color3B c = piece->getColor();
            EXPECT_EQ(Color4B(c.r, c.g, c.b, piece->getOpacity()), expected[i].colour);
            ++i;
        }
    }
    EXPECT_EQ(i, expected.size());
    // A tool has no description: two blanks between its brackets.
    const char* const texts[] = {"ttyUSB0 [ CP2102 ]", "ttyACM0 [ Uno ]", "flash [  ]"};
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(row(r)->getString(), texts[r]);
        EXPECT_EQ(row(r)->getPosition(), Vec2(scene->portLabel->getPositionX(), 100.f + 34.f * r));
    }
}

TEST_F(PortChooserTest, ReleaseOffItsRowChoosesNothingATapOnARowChoosesAndOutsideCloses) {
    rediscover({{"ttyUSB0", "CP2102"}, {"ttyACM0", "Uno"}, {"ttyS4", "16550A"}});
    open();
    harness.touchBegan(centreOf(row(2)));
    EXPECT_EQ(row(2)->getOpacity(), 128);
    harness.touchEnded(centreOf(row(0)));
    EXPECT_EQ(row(2)->getOpacity(), 255);
    harness.steps(3);
    ASSERT_NE(scene->portChooser, nullptr);
    EXPECT_EQ(link()->selectedIndex, 0);

    harness.tap(centreOf(row(1)));
    EXPECT_EQ(link()->selectedIndex, 1);
    EXPECT_EQ(scene->portLabel->getString(), "ttyACM0 [ Uno ]");
    Layer* fading = scene->portChooser;
    fading->retain();
    harness.step();
    EXPECT_EQ(scene->portChooser, nullptr);
    EXPECT_NE(fading->getParent(), nullptr) << "fading out";
    // A press during the fade reaches nothing beneath.
    harness.tap(centreOf(scene->dialectButton));
    harness.steps(12);
    EXPECT_EQ(fading->getParent(), nullptr);
    EXPECT_EQ(scene->dialectChooser, nullptr);
    fading->release();

    open();
    harness.tap(Vec2(700.f, 500.f));
    harness.step();
    EXPECT_EQ(scene->portChooser, nullptr);
    EXPECT_EQ(link()->selectedIndex, 1);
}

TEST_F(PortChooserTest, PortFieldOpensNothingWhileADiscoveryRebuildsTheListOrWhenItIsEmpty) {
    rediscover({});
    harness.tap(centreOf(scene->portField));
    EXPECT_EQ(scene->portChooser, nullptr);

    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    link()->setPortSource([released](std::vector<PortRecord>& out) {
        released.wait();
        out.push_back({"ttyUSB1", "FT232R"});
        return true;
    });
    harness.tap(centreOf(scene->reloadSpinner));
    harness.tap(centreOf(scene->portField));
    EXPECT_EQ(scene->portChooser, nullptr);
    release.set_value();
    finishPortSearch();
    harness.step();
    open();
    EXPECT_EQ(row(0)->getString(), "ttyUSB1 [ FT232R ]");
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
}

}  // namespace
