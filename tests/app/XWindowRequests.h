// What other X clients ask of an SDL window: a file manager dropping files onto it, a
// window manager asking it to close. Apart from the test source so that Xlib's macros stay
// out of GoogleTest's way.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct SDL_Window;

// Whether the window tells drag sources that it takes drops (the XdndAware property).
bool acceptsDrops(SDL_Window* window);

// Drops the URIs onto the window as a file manager does (XDND over a connection of its
// own, offering them as text/uri-list), calling `pump` to let the window handle its events
// until the window says the drop is finished. False when it does not within two seconds.
bool dropUris(SDL_Window* window, const std::vector<std::string>& uris,
              const std::function<void()>& pump);

// Asks the window to close as a window manager does for its close button (a
// WM_DELETE_WINDOW message). False when the display cannot be opened.
bool askToClose(SDL_Window* window);
