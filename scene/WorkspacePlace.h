// Tells the transfer tools the workspace starts where its window and its play and stop
// buttons lie on the screen, so that a tool with a window of its own (the board simulator)
// opens beside the workspace rather than over them. Depends on the engine, FieldScene's
// controls and the device link's platform header.
#pragma once

class FieldScene;

// Sets ZC_WORKSPACE_FRAME (the window's drawing area) and ZC_WORKSPACE_CONTROLS (play and
// stop) as "x,y,w,h" in screen points for the tools started from then on. Leaves them as
// they were while the window's place is unknown or the link's worker runs.
void publishWorkspacePlace(const FieldScene& scene);
