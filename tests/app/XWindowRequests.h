// What other X clients see of and ask of an SDL window: whether it takes dropped files, a
// window manager asking it to close, and an X error about a window that is gone. Apart from the test source so that Xlib's macros stay
// out of GoogleTest's way.
#pragma once

struct SDL_Window;

// Whether the window tells drag sources that it takes drops (the XdndAware property).
bool acceptsDrops(SDL_Window* window);

// Asks the window to close as a window manager does for its close button (a
// WM_DELETE_WINDOW message). False when the display cannot be opened.
bool askToClose(SDL_Window* window);

// Sends a message to a window id no client holds and waits for the server's answer.
// False when the display cannot be opened.
bool sendToAGoneWindow();
