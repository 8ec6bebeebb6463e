#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "devicelink/LinkPlatform.h"

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The pauses between chunks are a few milliseconds each: rounding them to the system
// tick (15.6 ms) would stretch a transfer several times over.
TEST(WindowsSleep, NeverEndsEarlyAndKeepsToAboutAMillisecond) {
    std::vector<double> overshootMs;
    for (int round = 0; round < 4; ++round) {
        for (const int ms : {0, 1, 2, 3, 5, 16, 17}) {
            const auto deadline = Clock::now() + milliseconds(ms);
            devicelink::platform::sleepUntil(deadline);
            const auto woke = Clock::now();
            EXPECT_GE(woke, deadline) << ms << " ms";
            overshootMs.push_back(
                std::chrono::duration<double, std::milli>(woke - deadline).count());
        }
    }
    devicelink::platform::sleepUntil(Clock::now() - milliseconds(5));  // past: returns at once
    // The median, so that a busy machine's odd late wake-up does not decide.
    std::nth_element(overshootMs.begin(), overshootMs.begin() + overshootMs.size() / 2,
                     overshootMs.end());
    EXPECT_LT(overshootMs[overshootMs.size() / 2], 5.0);
}
