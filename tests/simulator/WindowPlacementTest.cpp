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

// Where the window opens for the workspace at that place on these displays.
struct Case {
    const char* what;
    simulator::ScreenPoint workspace, at;
    std::vector<ScreenRect> displays;
};

void expectPlaces(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto at = simulator::placeBeside(workspaceAt(c.workspace.x, c.workspace.y),
                                               c.displays, kWidth, kHeight);
        ASSERT_TRUE(at.has_value());
        EXPECT_EQ(at->x, c.at.x);
        EXPECT_EQ(at->y, c.at.y);
    }
}

TEST(WindowPlacement, OpensBesideTheWorkspaceWhereADisplayHasRoom) {
    expectPlaces({
        {"room on either side: the right", {1000, 50}, {2024, 50}, {{0, 0, 3000, 1440}}},
        {"room only on the left", {1150, 100}, {190, 100}, {{0, 0, 2200, 1080}}},
        {"room below and above: below", {0, 1000}, {0, 1768}, {{0, 0, 1280, 2400}}},
        {"room only above", {0, 672}, {0, 72}, {{0, 0, 1280, 1440}}},
        {"below a top panel, level with it", {0, 32}, {1024, 32}, {{0, 32, 2560, 1400}}},
        {"on the display left of the first, at negative x",
         {200, 100},
         {-960, 100},
         {{0, 0, 1920, 1080}, {-1280, 0, 1280, 1024}}},
        {"on the next display, which is set higher",
         {880, 300},
         {1920, 224},
         {{0, 0, 1920, 1080}, {1920, -200, 1280, 1024}}},
        {"on the display above, the workspace low on its own",
         {0, 1200},
         {0, 480},
         {{0, 0, 1920, 1080}, {0, 1080, 1280, 1024}}},
        {"on the display below, under it rather than off its corner",
         {800, 100},
         {800, 1080},
         {{0, 0, 1920, 1080}, {0, 1080, 3000, 1080}}},
    });
}

TEST(WindowPlacement, WithoutRoomCoversLeastOfPlayAndStopThenOfTheWorkspace) {
    expectPlaces({
        {"the strip cannot be avoided", {0, 0}, {0, 424}, {{0, 0, 1280, 1024}}},
        {"left of the strip, low", {200, 0}, {0, 300}, {{0, 0, 1400, 900}}},
        {"larger than the display: its top left on it", {0, 0}, {0, 0}, {{0, 0, 800, 500}}},
        {"the workspace partly off the display's left edge",
         {-700, 0},
         {240, 400},
         {{0, 0, 1200, 1000}}},
        {"partly off a small second display, over nothing",
         {0, 0},
         {1280, 0},
         {{0, 0, 1280, 1024}, {1280, 0, 800, 600}}},
    });
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

    for (const char* frame :
         {static_cast<const char*>(nullptr), "0,0,1024", "0,0,1024,768,", "0,0,0,768", "x,0,1,1"}) {
        SCOPED_TRACE(frame == nullptr ? "(unset)" : frame);
        EXPECT_FALSE(simulator::parseWorkspaceWindow(frame, nullptr).has_value());
    }
}

}  // namespace
