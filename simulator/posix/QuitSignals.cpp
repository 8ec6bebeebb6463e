// Termination signals turned into a request the window's loop can honour, so that the
// socket is removed on the way out.

#include <signal.h>

#include <atomic>

#include "simulator/SimulatorPlatform.h"

namespace simulator::platform {

namespace {

std::atomic<bool> s_quit{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void onQuitSignal(int) {
    s_quit = true;
}

}  // namespace

void watchQuitSignals() {
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
}

bool quitRequested() {
    return s_quit;
}

}  // namespace simulator::platform
