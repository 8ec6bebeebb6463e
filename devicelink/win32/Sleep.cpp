// Sleeping on the worker thread for the pauses between chunks. Sleep and plain waits
// round up to the scheduler's tick (15.6 ms by default), far too coarse for pauses of a
// few milliseconds: a high-resolution waitable timer is used where the system has one,
// else the tick is shortened to 1 ms for the length of the wait.

#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

#include <chrono>

#include "devicelink/LinkPlatform.h"
#include "devicelink/win32/UniqueHandle.h"

namespace devicelink::platform {

namespace {

// Known to Windows 10 1803 and later; older systems refuse the flag.
constexpr DWORD kHighResolutionTimer = 0x00000002;

// Waits on the timer until the steady clock reaches the deadline; each round is checked
// against the clock, so a wake-up that comes early only leads to another round.
void waitOnTimer(HANDLE timer, std::chrono::steady_clock::time_point deadline) {
    using namespace std::chrono;
    for (auto now = steady_clock::now(); now < deadline; now = steady_clock::now()) {
        // Relative due times are negative, in units of 100 ns; rounded up.
        const auto left = ceil<duration<long long, std::ratio<1, 10000000>>>(deadline - now);
        LARGE_INTEGER due;
        due.QuadPart = -left.count();
        if (!::SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE) ||
            ::WaitForSingleObject(timer, INFINITE) != WAIT_OBJECT_0) {
            // A timer that cannot be used: plain sleeps of the remaining time still
            // keep the pause from ending early.
            const auto rest = ceil<milliseconds>(deadline - steady_clock::now()).count();
            ::Sleep(rest > 0 ? static_cast<DWORD>(rest) : 0);
        }
    }
}

}  // namespace

void sleepUntil(std::chrono::steady_clock::time_point deadline) {
    if (std::chrono::steady_clock::now() >= deadline) {
        return;
    }
    UniqueHandle precise(
        ::CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS));
    if (precise) {
        waitOnTimer(precise.get(), deadline);
        return;
    }
    UniqueHandle timer(::CreateWaitableTimerW(nullptr, TRUE, nullptr));
    const bool finerTick = ::timeBeginPeriod(1) == TIMERR_NOERROR;
    waitOnTimer(timer.get(), deadline);
    if (finerTick) {
        ::timeEndPeriod(1);
    }
}

}  // namespace devicelink::platform
