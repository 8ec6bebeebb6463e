// The scheduler on its own: the frames timers fire in, and changes made from inside
// callbacks. What the director's idle wait reads of it is checked with the director.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/Scheduler.h"

USING_NS_CC;

namespace {

constexpr float kStep = 1.0f / 60.0f;
constexpr unsigned int kForever = CC_REPEAT_FOREVER;

// Stand-ins for targets: the scheduler only compares their addresses.
int targetA = 0;
int targetB = 0;

}  // namespace

TEST(Scheduler, TimersFireInTheFrameTheirTimeIsReachedAndKeepTheirBeat) {
    struct Case {
        float interval;
        std::vector<float> dts;  // the last one repeats
        unsigned int repeat;
        float delay;
        std::vector<int> frames;  // 1-based frames that fire, of the first 30
    };
    const Case cases[] = {
        {0.1f, {kStep}, kForever, 0.f, {6, 12, 18, 24, 30}},
        {0.25f, {0.1f}, kForever, 0.f, {3, 5, 8, 10, 13, 15, 18, 20, 23, 25, 28, 30}},
        {0.f, {0.05f}, 2, 0.f, {1, 2, 3}},
        // A stall longer than two intervals fires once, and the next firing keeps the beat.
        {0.1f, {0.21f, kStep}, 3, 0.f, {1, 7, 13, 19}},
        {0.1f, {0.35f}, 2, 0.f, {1, 2, 3}},
        {0.1f, {kStep}, 2, 0.2f, {12, 18, 24}},
        {0.f, {kStep}, 0, 0.05f, {3}},
    };
    for (const Case& c : cases) {
        Scheduler scheduler;
        std::vector<int> fired;
        int frame = 0;
        scheduler.schedule([&](float) { fired.push_back(frame); }, &targetA, c.interval, c.repeat,
                           c.delay, false, "t");
        for (frame = 1; frame <= 30; ++frame) {
            scheduler.update(c.dts[std::min<std::size_t>(frame - 1, c.dts.size() - 1)]);
        }
        EXPECT_EQ(fired, c.frames) << c.interval << " s after " << c.delay << " s, dt " << c.dts[0];
    }
}

TEST(Scheduler, UnschedulingFromInsideACallbackIsSafeAndTakesEffectAtOnce) {
    Scheduler scheduler;
    std::vector<std::string> calls;
    // A callback that unschedules itself while its captured state is still in use.
    auto payload = std::make_shared<std::string>("payload");
    scheduler.schedule(
        [&, payload](float) {
            scheduler.unschedule("self", &targetA);
            calls.push_back(*payload);
        },
        &targetA, 0.f, false, "self");
    // The device link's poll: it ends every callback of its target from inside itself.
    scheduler.schedule(
        [&](float) {
            calls.push_back("poll");
            scheduler.unscheduleAllForTarget(&targetB);
        },
        &targetB, 0.f, false, "poll");
    scheduler.schedule([&](float) { calls.push_back("victim"); }, &targetB, 0.f, false, "victim");
    payload.reset();
    scheduler.update(kStep);
    scheduler.update(kStep);
    EXPECT_EQ(calls, (std::vector<std::string>{"payload", "poll"}));
    EXPECT_FALSE(scheduler.isScheduled("victim", &targetB));

    // Scheduled from a callback: it starts with the next frame.
    scheduler.schedule(
        [&](float) {
            scheduler.unschedule("outer", &targetA);
            scheduler.schedule([&](float) { calls.push_back("inner"); }, &targetB, 0.f, false,
                               "inner");
        },
        &targetA, 0.f, false, "outer");
    scheduler.update(kStep);
    EXPECT_EQ(calls.size(), 2u);
    scheduler.update(kStep);
    EXPECT_EQ(calls.back(), "inner");
}
