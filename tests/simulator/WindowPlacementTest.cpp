// Where the simulator's window opens: beside the workspace on whichever display has room,
// else over as little of play and stop as the displays allow.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "simulator/WindowPlacement.h"

namespace {

using simulator::ScreenRect;
using simulator::WorkspaceWindow;

constexpr int kWidth = 960;
constexpr int kHeight = 600;

// The workspace's window at (x, y), with its play and stop strip at the right edge.
WorkspaceWindow workspaceAt(int x, int y) {
    return WorkspaceWindow{{x, y, 1024, 768}, {x + 924, y + 174, 100, 420}};
}

int overlap(const ScreenRect& a, const ScreenRect& b) {
    const int w = std::min(a.right(), b.right()) - std::max(a.x, b.x);
    const int h = std::min(a.bottom(), b.bottom()) - std::max(a.y, b.y);
    return std::max(w, 0) * std::max(h, 0);
}

// Whole on a display that can hold it, else with its top left on one.
bool onADisplay(const ScreenRect& window, const std::vector<ScreenRect>& displays) {
    return std::any_of(displays.begin(), displays.end(), [&](const ScreenRect& d) {
        return d.w >= kWidth && d.h >= kHeight ? overlap(window, d) == kWidth * kHeight
                                               : overlap({window.x, window.y, 1, 1}, d) == 1;
    });
}

// Which side of the workspace's frame the window lies on; "over" when it covers some of it.
std::string side(const ScreenRect& window, const ScreenRect& frame) {
    return window.x >= frame.right()    ? "right"
           : window.right() <= frame.x  ? "left"
           : window.y >= frame.bottom() ? "below"
           : window.bottom() <= frame.y ? "above"
                                        : "over";
}

// Beside the workspace (right, else left, below, above) where a display has room, else
// over as little of play and stop as the displays allow; never off every display.
TEST(WindowPlacement, OpensBesideTheWorkspaceWhereADisplayHasRoomElseOverLeastOfPlayAndStop) {
    // Where the workspace is, the displays, and the side the window opens on.
    const std::tuple<int, int, std::vector<ScreenRect>, std::string> cases[] = {
        {1000, 50, {{0, 0, 3000, 1440}}, "right"},
        {1150, 100, {{0, 0, 2200, 1080}}, "left"},
        {0, 1000, {{0, 0, 1280, 2400}}, "below"},
        {0, 672, {{0, 0, 1280, 1440}}, "above"},
        {200, 100, {{0, 0, 1920, 1080}, {-1280, 0, 1280, 1024}}, "left"},
        {880, 300, {{0, 0, 1920, 1080}, {1920, -200, 1280, 1024}}, "right"},
        {800, 100, {{0, 0, 1920, 1080}, {0, 1080, 3000, 1080}}, "below"},
        {200, 0, {{0, 0, 1400, 900}}, "over"},
        {0, 0, {{0, 0, 1280, 1024}, {1280, 0, 800, 600}}, "right"},
    };
    for (const auto& [x, y, displays, where] : cases) {
        const WorkspaceWindow workspace = workspaceAt(x, y);
        const auto at = simulator::placeBeside(workspace, displays, kWidth, kHeight);
        ASSERT_TRUE(at.has_value());
        const ScreenRect window{at->x, at->y, kWidth, kHeight};
        EXPECT_EQ(side(window, workspace.frame), where) << x << "," << y;
        EXPECT_TRUE(onADisplay(window, displays)) << x << "," << y;
        EXPECT_EQ(overlap(window, workspace.controls), 0) << x << "," << y;
    }
    EXPECT_FALSE(simulator::placeBeside(workspaceAt(0, 0), {}, kWidth, kHeight).has_value());
}

TEST(WindowPlacement, ReadsWhatTheWorkspaceTellsAndNothingMalformed) {
    const auto told = simulator::parseWorkspaceWindow("-1280,20,1024,768", "644,194,100,420");
    ASSERT_TRUE(told.has_value());
    EXPECT_EQ(told->frame.x, -1280);
    EXPECT_EQ(told->frame.bottom(), 788);
    EXPECT_EQ(told->controls.right(), 744);
    EXPECT_EQ(simulator::parseWorkspaceWindow("0,0,1024,768", "924,174,100").value().controls.w, 0);
    for (const char* frame :
         {static_cast<const char*>(nullptr), "0,0,1024", "0,0,1024,768,", "0,0,0,768", "x,0,1,1"}) {
        EXPECT_FALSE(simulator::parseWorkspaceWindow(frame, nullptr).has_value()) << frame;
    }
}

}  // namespace
