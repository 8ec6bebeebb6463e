// Where the simulator's window opens: beside the workspace where a display has room for
// it, else where it hides least of the workspace's play and stop buttons, then of the rest
// of the workspace. Pure: screen rectangles in, a position out; no engine, no system.
#pragma once

#include <optional>
#include <vector>

namespace simulator {

// Screen points, origin top left, y down.
struct ScreenRect {
    int x = 0, y = 0, w = 0, h = 0;
    int right() const { return x + w; }
    int bottom() const { return y + h; }
};

struct ScreenPoint {
    int x = 0, y = 0;
};

// What the workspace tells the tools it starts (variables ZC_WORKSPACE_FRAME and
// ZC_WORKSPACE_CONTROLS, set by scene/WorkspacePlace.cpp).
struct WorkspaceWindow {
    ScreenRect frame;     // its drawing area
    ScreenRect controls;  // its play and stop buttons; empty when not told
};

// The workspace's window from the two variables' text ("x,y,w,h", whole numbers, w and h
// above 0); nothing when the frame is missing or malformed. A malformed controls text
// counts as not told.
std::optional<WorkspaceWindow> parseWorkspaceWindow(const char* frame, const char* controls);

// Top left of a window of width x height: beside the workspace where one display's usable
// area holds it whole (right of it, else left, else below, else above), else the place
// inside a display that covers the least of the controls, then of the frame. Nothing
// when there is no display.
std::optional<ScreenPoint> placeBeside(const WorkspaceWindow& workspace,
                                       const std::vector<ScreenRect>& displays, int width,
                                       int height);

// The simulator window's two forms, in points.
struct WindowForm {
    int w = 0, h = 0;
};

// Where the window opens and in which form.
struct WindowChoice {
    bool compact = false;
    ScreenPoint at;
    // When neither form fits beside the workspace where it stands but would beside it moved
    // along its display by this many points (negative: to the left), else 0. For the
    // workspace, which moves itself when told; the place above is then beside the workspace
    // moved, at the display's edge away from it.
    int roomIfWorkspaceMovesBy = 0;
};

// The roomy form beside the workspace where a display has room for it, else the compact
// one beside it, else the compact one beside the workspace moved to its display's nearer
// edge where that makes room, else the compact one where it hides least of play and stop,
// then of the workspace (it hides less than the roomy one would). Nothing when there is no
// display.
std::optional<WindowChoice> chooseWindow(const WorkspaceWindow& workspace,
                                         const std::vector<ScreenRect>& displays, WindowForm roomy,
                                         WindowForm compact);

}  // namespace simulator
