// Where the simulator's window opens: beside the workspace on whichever display has room,
// else over as little of play and stop as the displays allow.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "simulator/SimulatorLook.h"
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

// The workspace where it starts (top left, its 1024 x 768 drawing area below a title bar)
// on the screens schools have: the simulator takes the form that fits beside it, lies
// wholly on a display and covers none of it; where nothing fits, the compact form stays
// off play and stop; where a move of the workspace to its display's nearer edge makes room,
// the workspace learns how far, and the simulator lies beside it moved.
TEST(WindowPlacement, ChoosesTheFormThatFitsBesideTheWorkspaceOnCommonScreens) {
    const simulator::WindowForm roomy{static_cast<int>(look::kWidth),
                                      static_cast<int>(look::kHeight)};
    const simulator::WindowForm compact{static_cast<int>(look::kCompactWidth),
                                        static_cast<int>(look::kCompactHeight)};
    struct Case {
        const char* name;
        std::vector<ScreenRect> displays;
        int x, y;      // the workspace's drawing area
        bool compact;  // the form expected
        bool covers;   // whether it may cover the workspace (no room anywhere)
        int moveBy;    // how far a move of the workspace would make room
    };
    const Case cases[] = {
        {"1366x768", {{0, 0, 1366, 768}}, 0, 0, true, false, 0},
        {"1366x768 under a title bar", {{0, 0, 1366, 768}}, 1, 28, true, false, 0},
        {"1600x900", {{0, 0, 1600, 900}}, 1, 28, true, false, 0},
        {"1920x1080 with a panel", {{0, 27, 1920, 1053}}, 1, 55, true, false, 0},
        {"2560x1440", {{0, 0, 2560, 1440}}, 1, 28, false, false, 0},
        {"two displays", {{0, 0, 1366, 768}, {1366, 0, 1920, 1080}}, 1, 28, false, false, 0},
        {"too small", {{0, 0, 1024, 768}}, 0, 0, true, true, 0},
        {"workspace left of the middle", {{0, 0, 1366, 768}}, 100, 0, true, true, -100},
        {"workspace right of the middle", {{0, 0, 1366, 768}}, 250, 0, true, true, 92},
        {"workspace in the middle", {{0, 0, 1366, 768}}, 171, 0, true, true, -171},
        {"1600x900, workspace nearer the right", {{0, 0, 1600, 900}}, 300, 28, true, true, 276},
    };
    for (const Case& c : cases) {
        const WorkspaceWindow workspace = workspaceAt(c.x, c.y);
        const auto choice = simulator::chooseWindow(workspace, c.displays, roomy, compact);
        ASSERT_TRUE(choice.has_value()) << c.name;
        EXPECT_EQ(choice->compact, c.compact) << c.name;
        const simulator::WindowForm form = choice->compact ? compact : roomy;
        const ScreenRect window{choice->at.x, choice->at.y, form.w, form.h};
        const bool wholly =
            std::any_of(c.displays.begin(), c.displays.end(),
                        [&](const ScreenRect& d) { return overlap(window, d) == form.w * form.h; });
        EXPECT_EQ(choice->roomIfWorkspaceMovesBy, c.moveBy) << c.name;
        if (c.moveBy != 0) {
            const WorkspaceWindow moved = workspaceAt(c.x + c.moveBy, c.y);
            EXPECT_TRUE(wholly) << c.name;
            EXPECT_EQ(overlap(window, moved.frame), 0) << c.name << ": covers the moved workspace";
            continue;
        }
        EXPECT_TRUE(wholly || c.covers) << c.name;
        EXPECT_EQ(overlap(window, workspace.frame) > 0, c.covers) << c.name;
        EXPECT_EQ(overlap(window, workspace.controls), 0) << c.name;
    }
    EXPECT_FALSE(simulator::chooseWindow(workspaceAt(0, 0), {}, roomy, compact).has_value());
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
