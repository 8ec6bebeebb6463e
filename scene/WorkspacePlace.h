// Tells the transfer tools the workspace starts where its window and its play and stop
// buttons lie on the screen, so that a tool with a window of its own (the board simulator)
// opens beside the workspace rather than over them; and moves the workspace when such a
// tool finds room beside it only once it has moved. Depends on the engine, FieldScene's
// controls and the device link's platform header.
#pragma once

#include <optional>

#include "cocos2d.h"

class FieldScene;

// Sets ZC_WORKSPACE_FRAME (the window's drawing area) and ZC_WORKSPACE_CONTROLS (play and
// stop) as "x,y,w,h" in screen points for the tools started from then on, and keeps the
// frame told in the scene. Leaves them as they were while the window's place is unknown or
// the link's worker runs.
void publishWorkspacePlace(FieldScene& scene);

// Where the workspace's drawing area goes when a tool it started says that a move along
// the display by `by` points makes room for the tool's window beside it: nothing when it
// stays, that is when it fills its display (maximised or full screen: the user's choice),
// when it stands elsewhere than where it told the tools (the room was reckoned for that
// place, and the user has moved it since), or when the move is none or wider than the
// window, which no room needs.
std::optional<cocos2d::backend::PixelRect> movedForRoom(
    const cocos2d::backend::PixelRect& now, const std::optional<cocos2d::backend::PixelRect>& told,
    int by, bool fillsDisplay);

// Moves the workspace's window as movedForRoom says, if it says so.
void moveWorkspaceForRoom(const FieldScene& scene, int by);
