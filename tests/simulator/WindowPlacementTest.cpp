// Where the simulator's window opens: beside the workspace on whichever display has room,
// else over as little of play and stop, then of the workspace, as the displays allow.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "simulator/WindowPlacement.h"

namespace {

using simulator::ScreenRect;
using simulator::WorkspaceWindow;

// The simulator's window; the workspace's window, with its player strip at the right edge.
constexpr int kWidth = 960;
constexpr int kHeight = 600;

WorkspaceWindow workspaceAt(int x, int y) {
    return WorkspaceWindow{{x, y, 1024, 768}, {x + 924, y + 174, 100, 420}};
}

bool meets(const ScreenRect& a, const ScreenRect& b) {
    return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}

TEST(WindowPlacement, OpensBesideTheWorkspaceWhereADisplayHasRoom) {
    struct Case {
        const char* what;
        std::vector<ScreenRect> displays;
        WorkspaceWindow workspace;
        int x, y;
    };
    const Case cases[] = {
        {"room on either side: the right", {{0, 0, 3000, 1440}}, workspaceAt(1000, 50), 2024, 50},
        {"room only on the left", {{0, 0, 2200, 1080}}, workspaceAt(1150, 100), 190, 100},
        {"room below and above: below", {{0, 0, 1280, 2400}}, workspaceAt(0, 1000), 0, 1768},
        {"room only above", {{0, 0, 1280, 1440}}, workspaceAt(0, 672), 0, 72},
        {"below a top panel, level with the workspace",
         {{0, 32, 2560, 1400}},
         workspaceAt(0, 32),
         1024,
         32},
        {"on the display left of the first one, at negative x",
         {{0, 0, 1920, 1080}, {-1280, 0, 1280, 1024}},
         workspaceAt(200, 100),
         -960,
         100},
        {"on the next display, which is set higher",
         {{0, 0, 1920, 1080}, {1920, -200, 1280, 1024}},
         workspaceAt(880, 300),
         1920,
         224},
        {"on the display above, with the workspace low on its own",
         {{0, 0, 1920, 1080}, {0, 1080, 1280, 1024}},
         workspaceAt(0, 1200),
         0,
         480},
        {"on the display below, under the workspace rather than off its corner",
         {{0, 0, 1920, 1080}, {0, 1080, 3000, 1080}},
         workspaceAt(800, 100),
         800,
         1080},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto at = simulator::placeBeside(c.workspace, c.displays, kWidth, kHeight);
        ASSERT_TRUE(at.has_value());
        EXPECT_EQ(at->x, c.x);
        EXPECT_EQ(at->y, c.y);
        EXPECT_FALSE(meets({at->x, at->y, kWidth, kHeight}, c.workspace.frame));
    }
}

TEST(WindowPlacement, WithoutRoomCoversLeastOfPlayAndStopThenOfTheWorkspace) {
    struct Case {
        const char* what;
        std::vector<ScreenRect> displays;
        WorkspaceWindow workspace;
        int x, y;
    };
    const Case cases[] = {
        {"the strip cannot be avoided", {{0, 0, 1280, 1024}}, workspaceAt(0, 0), 0, 424},
        {"left of the strip, low", {{0, 0, 1400, 900}}, workspaceAt(200, 0), 0, 300},
        {"larger than the display: its top left stays on it",
         {{0, 0, 800, 500}},
         workspaceAt(0, 0),
         0,
         0},
        {"the workspace partly off the display's left edge",
         {{0, 0, 1200, 1000}},
         workspaceAt(-700, 0),
         240,
         400},
        {"partly off a small second display, over nothing",
         {{0, 0, 1280, 1024}, {1280, 0, 800, 600}},
         workspaceAt(0, 0),
         1280,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto at = simulator::placeBeside(c.workspace, c.displays, kWidth, kHeight);
        ASSERT_TRUE(at.has_value());
        EXPECT_EQ(at->x, c.x);
        EXPECT_EQ(at->y, c.y);
    }
}

TEST(WindowPlacement, NoDisplayLeavesThePlaceToTheSystem) {
    EXPECT_FALSE(simulator::placeBeside(workspaceAt(0, 0), {}, kWidth, kHeight).has_value());
}

TEST(WindowPlacement, ReadsWhatTheWorkspaceTellsAndNothingMalformed) {
    const auto told = simulator::parseWorkspaceWindow("-1280,20,1024,768", "644,194,100,420");
    ASSERT_TRUE(told.has_value());
    EXPECT_EQ(told->frame.x, -1280);
    EXPECT_EQ(told->frame.bottom(), 788);
    EXPECT_EQ(told->controls.right(), 744);

    const auto frameOnly = simulator::parseWorkspaceWindow("0,0,1024,768", "924,174,100");
    ASSERT_TRUE(frameOnly.has_value());
    EXPECT_EQ(frameOnly->controls.w, 0);

    for (const char* frame : {static_cast<const char*>(nullptr), "", "0,0,1024", "0,0,1024,768,",
                              "0,0,0,768", "0,0,1024,-768", "x,0,1024,768", "0;0;1024;768"}) {
        SCOPED_TRACE(frame == nullptr ? "(unset)" : frame);
        EXPECT_FALSE(simulator::parseWorkspaceWindow(frame, nullptr).has_value());
    }
}

}  // namespace
