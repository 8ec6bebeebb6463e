// What the workspace and the tools it starts tell each other besides the program: where the
// workspace lies on the screen (set by scene/WorkspacePlace.cpp, read by the board
// simulator) and the lines the simulator prints for the workspace alone. Header only;
// depends on nothing.
#pragma once

namespace handoff {

// The workspace's drawing area and its play and stop buttons, each "x,y,w,h" in screen points.
inline constexpr char kFrameVariable[] = "ZC_WORKSPACE_FRAME";
inline constexpr char kControlsVariable[] = "ZC_WORKSPACE_CONTROLS";

// Before the line the simulated board runs now (0: none runs any more). No board prints a
// line that begins so.
inline constexpr char kRunningLineMark[] = "@run ";
// Before N: the workspace is to move along its display by N points to make room beside it.
inline constexpr char kWorkspaceMoveMark[] = "@move-workspace ";

}  // namespace handoff
