#include "platform/sdl/SdlSystemWindow.h"

#include <SDL.h>
// Brings windows.h.
#include <SDL_syswm.h>

namespace cocos2d {
namespace backend {

void screenPositionOf(SDL_Window* window, int& x, int& y) {
    SDL_GetWindowPosition(window, &x, &y);
}

void raiseWithoutActivating(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_WINDOWS) {
        return;
    }
    const HWND handle = info.info.win.window;
    // SDL's own raise calls SetForegroundWindow, which activates the window.
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    // Through the topmost band and back: that puts a background program's window above
    // the foreground one too, where HWND_TOP alone may leave it behind.
    ::SetWindowPos(handle, HWND_TOPMOST, 0, 0, 0, 0, keep);
    ::SetWindowPos(handle, HWND_NOTOPMOST, 0, 0, 0, 0, keep);
}

}  // namespace backend
}  // namespace cocos2d
