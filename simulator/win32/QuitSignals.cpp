// The console's Ctrl+C, Ctrl+Break and close turned into a request the window's loop can
// honour. A window started without a console never gets them; its close button reaches
// the loop through the engine.

#include <windows.h>

#include <atomic>

#include "simulator/SimulatorPlatform.h"

namespace simulator::platform {

namespace {

std::atomic<bool> s_quit{false};

// The system ends the process once this returns from a close, so that one waits a
// little for the loop to end first; the system's own limit cuts it short anyway.
BOOL WINAPI onConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            s_quit = true;
            return TRUE;
        case CTRL_CLOSE_EVENT:
            s_quit = true;
            ::Sleep(3000);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void watchQuitSignals() {
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

bool quitRequested() {
    return s_quit;
}

}  // namespace simulator::platform
