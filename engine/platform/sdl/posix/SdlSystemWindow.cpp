#include "platform/sdl/SdlSystemWindow.h"

#include <signal.h>
#include <unistd.h>

#include <initializer_list>

#include <SDL.h>
// Brings Xlib, whose macros (None, Bool, Status...) stay in this file.
#include <SDL_syswm.h>

namespace cocos2d {
namespace backend {

namespace {

bool x11Of(SDL_Window* window, SDL_SysWMinfo& info) {
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11;
}

}  // namespace

void watchSystemEnding(SDL_Window*, void (*)()) {
    // A closed terminal or a session's end may hang up instead of terminating: taken as the
    // SIGTERM that SDL already turns into a quit.
    struct sigaction hangUp {};
    hangUp.sa_handler = [](int) { ::kill(::getpid(), SIGTERM); };
    sigemptyset(&hangUp.sa_mask);
    ::sigaction(SIGHUP, &hangUp, nullptr);
}

void systemEndingDone() {}

void screenPositionOf(SDL_Window* window, int& x, int& y) {
    SDL_GetWindowPosition(window, &x, &y);
    SDL_SysWMinfo info;
    if (!x11Of(window, info)) {
        return;
    }
    // Asked of the server: SDL takes the first move of a window that no window manager
    // has configured to 0,0 for no move at all, and keeps its old place.
    ::Window child = 0;
    XTranslateCoordinates(info.info.x11.display, info.info.x11.window,
                          DefaultRootWindow(info.info.x11.display), 0, 0, &x, &y, &child);
}

void raiseWithoutActivating(SDL_Window* window) {
    SDL_SysWMinfo info;
    // Wayland lets no client put its own window in front: there it stays where it is.
    if (!x11Of(window, info)) {
        return;
    }
    // A plain request to the server (or the window manager) for the stacking order; SDL's
    // own raise adds _NET_ACTIVE_WINDOW, which moves the focus.
    XRaiseWindow(info.info.x11.display, info.info.x11.window);
    XFlush(info.info.x11.display);
}

bool openGlWouldDrawOnTheProcessor(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!x11Of(window, info)) {
        return false;
    }
    // Mesa draws on a graphics chip through DRI3 (or the older DRI2); NVIDIA's own driver
    // through its own extension.
    int opcode = 0, event = 0, error = 0;
    for (const char* direct : {"DRI3", "DRI2", "NV-GLX"}) {
        if (XQueryExtension(info.info.x11.display, direct, &opcode, &event, &error)) {
            return false;
        }
    }
    return true;
}

}  // namespace backend
}  // namespace cocos2d
