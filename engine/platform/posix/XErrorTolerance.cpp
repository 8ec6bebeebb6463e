#include "platform/sdl/XErrorTolerance.h"

// Kept apart from the SDL sources: Xlib's macros (None, Bool, Status...) stay in this file.
#include <X11/Xlib.h>

namespace cocos2d {
namespace backend {

namespace {

XErrorHandler s_previousHandler = nullptr;

// While a window closes, SDL and the server may still name it for a moment; Xlib's
// default handler would then exit the program with status 1 although nothing failed.
int passOverGoneWindows(Display* display, XErrorEvent* event) {
    if (event->error_code == BadWindow) {
        return 0;
    }
    return s_previousHandler != nullptr ? s_previousHandler(display, event) : 0;
}

}  // namespace

void tolerateGoneXWindows() {
    // SDL puts this handler back when its video stops, so a later window finds it in place.
    XErrorHandler previous = XSetErrorHandler(&passOverGoneWindows);
    if (previous != &passOverGoneWindows) {
        s_previousHandler = previous;
    }
}

}  // namespace backend
}  // namespace cocos2d
