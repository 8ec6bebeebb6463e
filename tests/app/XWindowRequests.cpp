#include "XWindowRequests.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace {

bool x11Of(SDL_Window* window, SDL_SysWMinfo& info) {
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11;
}

}  // namespace

bool acceptsDrops(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!x11Of(window, info)) {
        return false;
    }
    ::Display* display = info.info.x11.display;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    const int status =
        XGetWindowProperty(display, info.info.x11.window, XInternAtom(display, "XdndAware", False),
                           0, 1, False, AnyPropertyType, &type, &format, &count, &remaining, &data);
    const bool aware = status == Success && data != nullptr && count == 1;
    if (data != nullptr) {
        XFree(data);
    }
    return aware;
}

bool askToClose(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!x11Of(window, info)) {
        return false;
    }
    ::Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = info.info.x11.window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, info.info.x11.window, False, NoEventMask, &event);
    XCloseDisplay(display);  // flushes the message
    return true;
}

bool sendToAGoneWindow() {
    ::Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.format = 32;
    const ::Window gone = 0x1fffffe;
    XSendEvent(display, gone, False, 0, &event);
    XSync(display, False);  // the BadWindow error is handled here
    XCloseDisplay(display);
    return true;
}
