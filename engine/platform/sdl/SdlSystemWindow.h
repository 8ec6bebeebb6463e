// The two things the SDL backend asks of the system's own window, past SDL: where it is,
// and a raise that does not activate it. One source per system, in posix/ and win32/
// beside this header, chosen by CMake; no X or Windows type crosses this header.
#pragma once

struct SDL_Window;

namespace cocos2d {
namespace backend {

// The top left of the window's drawing area on the screen, in screen points.
void screenPositionOf(SDL_Window* window, int& x, int& y);

// In front of the other windows; the keyboard focus and a press in progress stay where
// they are (SDL_RaiseWindow asks the window manager, or Windows, to activate the window).
void raiseWithoutActivating(SDL_Window* window);

// Whether an OpenGL renderer for the window would draw on the processor all the same: an X
// server with no direct rendering (a virtual display, a remote one) leaves Mesa only its
// software rasteriser, whose first picture costs a shader compiler's start and memory.
// False where it cannot tell.
bool openGlWouldDrawOnTheProcessor(SDL_Window* window);

// The system's ways of ending the program past SDL's (which turns SIGTERM and SIGINT into a
// quit): SIGHUP on POSIX; on Windows the console's close, log-off and shut-down, and the
// session's end, during which `lastChance` is called on the window's thread before the
// system ends the process. A quit asked this way waits for systemEndingDone.
void watchSystemEnding(SDL_Window* window, void (*lastChance)());
void systemEndingDone();

}  // namespace backend
}  // namespace cocos2d
