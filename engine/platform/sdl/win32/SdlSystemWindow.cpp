#include "platform/sdl/SdlSystemWindow.h"

#include <SDL.h>
// Brings windows.h.
#include <SDL_syswm.h>

namespace cocos2d {
namespace backend {

namespace {

WNDPROC s_sdlProcedure = nullptr;
void (*s_lastChance)() = nullptr;
// Set once the program has kept what it must on its way out.
HANDLE s_endingDone = nullptr;
// The system's own limit for a console's close is 5 s; a little less, to return in time.
constexpr DWORD kConsoleWaitMs = 4500;

// The session ends once this returns from WM_ENDSESSION: the work is kept here, on the
// window's own thread, before that.
LRESULT CALLBACK watchSession(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENDSESSION && wParam != FALSE && s_lastChance != nullptr) {
        s_lastChance();
        return 0;
    }
    return ::CallWindowProcW(s_sdlProcedure, window, message, wParam, lParam);
}

// Runs on a thread of the system's: asks the loop to end, and for a close, a log-off or a
// shut-down waits for it, since the process ends when this returns.
BOOL WINAPI onConsoleEvent(DWORD event) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        ::WaitForSingleObject(s_endingDone, kConsoleWaitMs);
    }
    return TRUE;
}

}  // namespace

void watchSystemEnding(SDL_Window* window, void (*lastChance)()) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    s_lastChance = lastChance;
    if (s_endingDone == nullptr) {
        s_endingDone = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_WINDOWS &&
        s_sdlProcedure == nullptr) {
        s_sdlProcedure = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
            info.info.win.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watchSession)));
    }
}

void systemEndingDone() {
    if (s_endingDone != nullptr) {
        ::SetEvent(s_endingDone);
    }
}

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

bool openGlWouldDrawOnTheProcessor(SDL_Window*) {
    // SDL draws with Direct3D here, which Windows gives a rasteriser of its own when needed.
    return false;
}

}  // namespace backend
}  // namespace cocos2d
