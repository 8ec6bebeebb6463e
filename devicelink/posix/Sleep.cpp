// Sleeping on the worker thread for the pauses between chunks.

#include <time.h>

#include <cerrno>
#include <chrono>

#include "devicelink/LinkPlatform.h"

namespace devicelink::platform {

void sleepUntil(std::chrono::steady_clock::time_point deadline) {
    using namespace std::chrono;
    // Relative sleeps on the monotonic clock, checked against the steady clock each
    // time, so the pause is never cut short by a signal or by a clock mismatch.
    for (auto now = steady_clock::now(); now < deadline; now = steady_clock::now()) {
        const auto left = duration_cast<nanoseconds>(deadline - now).count();
        timespec request{static_cast<time_t>(left / 1000000000),
                         static_cast<long>(left % 1000000000)};
        ::clock_nanosleep(CLOCK_MONOTONIC, 0, &request, nullptr);
    }
}

}  // namespace devicelink::platform
