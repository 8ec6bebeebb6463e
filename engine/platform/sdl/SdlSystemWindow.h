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

}  // namespace backend
}  // namespace cocos2d
