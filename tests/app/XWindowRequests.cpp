#include "XWindowRequests.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <chrono>

namespace {

bool x11Of(SDL_Window* window, SDL_SysWMinfo& info) {
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11;
}

// The drag source's side of one drop: a window of its own that owns the drop selection.
class DragSource {
public:
    DragSource(::Display* display, ::Window target) : _display(display), _target(target) {
        _source = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
        XSetSelectionOwner(display, atom("XdndSelection"), _source, CurrentTime);
    }
    ~DragSource() { XDestroyWindow(_display, _source); }
    DragSource(const DragSource&) = delete;
    DragSource& operator=(const DragSource&) = delete;

    void send(const char* message, long l1, long l2, long l3, long l4) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = _target;
        event.xclient.message_type = atom(message);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(_source);
        event.xclient.data.l[1] = l1;
        event.xclient.data.l[2] = l2;
        event.xclient.data.l[3] = l3;
        event.xclient.data.l[4] = l4;
        XSendEvent(_display, _target, False, NoEventMask, &event);
        XFlush(_display);
    }

    // Handles what arrived for the source; true once the message came.
    bool handleUntil(const char* message, const std::string& uriList) {
        bool arrived = false;
        while (XPending(_display) > 0) {
            XEvent event;
            XNextEvent(_display, &event);
            if (event.type == SelectionRequest) {
                answer(event.xselectionrequest, uriList);
            } else if (event.type == ClientMessage && event.xclient.message_type == atom(message)) {
                arrived = true;
            }
        }
        return arrived;
    }

    Atom atom(const char* name) { return XInternAtom(_display, name, False); }

private:
    void answer(const XSelectionRequestEvent& request, const std::string& uriList) {
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = request.requestor;
        reply.xselection.selection = request.selection;
        reply.xselection.target = request.target;
        reply.xselection.time = request.time;
        reply.xselection.property = None;
        if (request.target == atom("text/uri-list")) {
            XChangeProperty(_display, request.requestor, request.property, request.target, 8,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(uriList.data()),
                            static_cast<int>(uriList.size()));
            reply.xselection.property = request.property;
        }
        XSendEvent(_display, request.requestor, False, NoEventMask, &reply);
        XFlush(_display);
    }

    ::Display* _display;
    ::Window _target;
    ::Window _source = 0;
};

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

bool dropUris(SDL_Window* window, const std::vector<std::string>& uris,
              const std::function<void()>& pump) {
    SDL_SysWMinfo info;
    if (!x11Of(window, info)) {
        return false;
    }
    ::Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    std::string uriList;
    for (const std::string& uri : uris) {
        uriList += uri + "\r\n";
    }
    bool finished = false;
    {
        DragSource source(display, info.info.x11.window);
        const long version5 = 5L << 24;
        const auto copy = static_cast<long>(source.atom("XdndActionCopy"));
        source.send("XdndEnter", version5, static_cast<long>(source.atom("text/uri-list")), 0, 0);
        source.send("XdndPosition", 0, (10L << 16) | 10L, CurrentTime, copy);
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        bool statusCame = false;
        while (!statusCame && std::chrono::steady_clock::now() < giveUp) {
            pump();
            statusCame = source.handleUntil("XdndStatus", uriList);
        }
        if (statusCame) {
            source.send("XdndDrop", 0, CurrentTime, 0, 0);
            while (!finished && std::chrono::steady_clock::now() < giveUp) {
                pump();
                finished = source.handleUntil("XdndFinished", uriList);
            }
        }
    }
    XCloseDisplay(display);
    return finished;
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
