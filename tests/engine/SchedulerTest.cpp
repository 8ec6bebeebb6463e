// The scheduler on its own: which frames interval timers fire in, repeats and delays,
// changes made from inside callbacks, paused targets, and what the idle logic reads.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "base/Scheduler.h"

USING_NS_CC;

namespace {

constexpr float kFrame = 1.0f / 60.0f;

class SchedulerTest : public ::testing::Test {
protected:
    // Runs `count` frames of dt; the 1-based numbers of the frames in which `fired` grew.
    std::vector<int> firingFrames(int count, float dt, const int& fired) {
        std::vector<int> result;
        for (int i = 1; i <= count; ++i) {
            const int before = fired;
            scheduler.update(dt);
            if (fired != before) {
                result.push_back(i);
            }
        }
        return result;
    }

    Scheduler scheduler;
    // Stand-ins for targets: the scheduler only compares their addresses.
    int targetA = 0;
    int targetB = 0;
};

}  // namespace

TEST_F(SchedulerTest, IntervalTimerFiresWhenItsTimeIsReachedAndKeepsItsBeat) {
    struct Case {
        float interval, dt;
        std::vector<int> frames;
    };
    const Case cases[] = {
        {0.1f, kFrame, {6, 12, 18, 24, 30, 36}}, {0.1f, 0.03f, {4, 7, 10, 14, 17, 20}},
        {0.1f, 0.1f, {1, 2, 3, 4, 5, 6}},        {0.25f, 0.1f, {3, 5, 8, 10, 13, 15}},
        {0.1f, 0.35f, {1, 2, 3, 4, 5, 6}},  // several intervals a frame: one firing a frame
    };
    for (const Case& c : cases) {
        Scheduler fresh;
        int fired = 0;
        fresh.schedule([&fired](float) { ++fired; }, &targetA, c.interval, false, "tick");
        std::vector<int> frames;
        for (int i = 1; frames.size() < c.frames.size() && i < 1000; ++i) {
            const int before = fired;
            fresh.update(c.dt);
            if (fired != before) {
                frames.push_back(i);
            }
        }
        EXPECT_EQ(frames, c.frames) << c.interval << " s at " << c.dt;
    }
}

TEST_F(SchedulerTest, LongFrameFiresOnceAndTheTimerStaysOnItsOriginalBeat) {
    int fired = 0;
    std::vector<float> reported;
    scheduler.schedule(
        [&](float dt) {
            ++fired;
            reported.push_back(dt);
        },
        &targetA, 0.1f, false, "poll");
    scheduler.update(0.25f);  // spans two intervals: fires once, 0.05 s into the next
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(firingFrames(9, kFrame, fired), (std::vector<int>{3, 9}));
    ASSERT_EQ(reported.size(), 3u);
    EXPECT_NEAR(reported[0], 0.25f, 1e-5f);  // time since the previous firing
    EXPECT_NEAR(reported[1], 0.05f, 1e-5f);
    EXPECT_NEAR(reported[2], 0.1f, 1e-5f);
}

TEST_F(SchedulerTest, RepeatCountsExtraFiringsAfterTheDelay) {
    int fired = 0;
    scheduler.schedule([&fired](float) { ++fired; }, &targetA, 0.1f, 2, 0.5f, false, "thrice");
    EXPECT_EQ(firingFrames(120, kFrame, fired), (std::vector<int>{30, 36, 42}));
    EXPECT_FALSE(scheduler.isScheduled("thrice", &targetA));

    int once = 0;
    scheduler.schedule([&once](float) { ++once; }, &targetA, 0.f, 0, 0.05f, false, "once");
    EXPECT_EQ(firingFrames(20, kFrame, once), (std::vector<int>{3}));
}

TEST_F(SchedulerTest, ZeroIntervalFiresEveryFrameWithTheFrameTime) {
    std::vector<float> reported;
    scheduler.schedule([&](float dt) { reported.push_back(dt); }, &targetA, 0.f, false, "frame");
    scheduler.update(kFrame);
    scheduler.update(0.05f);
    EXPECT_EQ(reported, (std::vector<float>{kFrame, 0.05f}));
}

TEST_F(SchedulerTest, SchedulingAnExistingKeyOnlyChangesItsInterval) {
    int first = 0;
    int second = 0;
    scheduler.schedule([&first](float) { ++first; }, &targetA, 0.1f, false, "k");
    scheduler.schedule([&second](float) { ++second; }, &targetA, 0.05f, false, "k");
    scheduler.schedule([&second](float) { ++second; }, &targetB, 0.1f, false, "k");
    EXPECT_EQ(firingFrames(6, kFrame, first), (std::vector<int>{3, 6}));
    EXPECT_EQ(second, 1);
}

TEST_F(SchedulerTest, UnschedulingFromInsideACallbackIsSafeAndTakesEffectAtOnce) {
    std::vector<std::string> calls;
    // A callback that unschedules itself while its captured state is still in use.
    auto payload = std::make_shared<std::string>("payload");
    scheduler.schedule(
        [&, payload](float) {
            scheduler.unschedule("self", &targetA);
            calls.push_back(*payload);
        },
        &targetA, 0.f, false, "self");
    // One that stops a later callback of another target: that one must not run this frame.
    scheduler.schedule(
        [&](float) {
            calls.push_back("stopper");
            scheduler.unschedule("victim", &targetB);
        },
        &targetA, 0.f, false, "stopper");
    scheduler.schedule([&](float) { calls.push_back("victim"); }, &targetB, 0.f, false, "victim");
    payload.reset();
    scheduler.update(kFrame);
    scheduler.update(kFrame);
    EXPECT_EQ(calls, (std::vector<std::string>{"payload", "stopper", "stopper"}));
    EXPECT_FALSE(scheduler.isScheduled("self", &targetA));
    EXPECT_FALSE(scheduler.isScheduled("victim", &targetB));
}

TEST_F(SchedulerTest, PollThatUnschedulesEverythingOfItsTargetStopsForGood) {
    // The device-link pattern: a 0.1 s poll with the manager as target, which on success
    // unschedules everything of the manager from inside itself.
    int polls = 0;
    int others = 0;
    bool finished = false;
    scheduler.schedule(
        [&](float) {
            ++polls;
            if (polls == 3) {
                scheduler.unscheduleAllForTarget(&targetA);
            }
        },
        &targetA, 0.1f, false, "pollSearch");
    scheduler.schedule([&](float) { ++others; }, &targetA, 0.f, false, "sameTarget");
    scheduler.schedule([&](float) { finished = polls >= 3; }, &targetB, 0.f, false, "observer");
    for (int i = 0; i < 60; ++i) {
        scheduler.update(kFrame);
    }
    EXPECT_EQ(polls, 3);
    EXPECT_EQ(others, 17);  // not in the frame of the last poll either: it comes after it
    EXPECT_TRUE(finished);
    EXPECT_FALSE(scheduler.isScheduled("pollSearch", &targetA));

    // Scheduling the next poll from the completion callback works as from anywhere else.
    scheduler.schedule([&](float) { ++polls; }, &targetA, 0.1f, false, "pollSend");
    for (int i = 0; i < 6; ++i) {
        scheduler.update(kFrame);
    }
    EXPECT_EQ(polls, 4);
}

TEST_F(SchedulerTest, CallbacksScheduledFromInsideACallbackStartOnTheNextFrame) {
    std::vector<std::string> calls;
    scheduler.schedule(
        [&](float) {
            calls.push_back("outer");
            scheduler.unschedule("outer", &targetA);
            scheduler.schedule([&](float) { calls.push_back("inner"); }, &targetB, 0.f, false,
                               "inner");
            scheduler.schedulePerFrame([&](float) { calls.push_back("update"); }, &targetB,
                                       Scheduler::PRIORITY_SYSTEM, false);
        },
        &targetA, 0.f, false, "outer");
    scheduler.update(kFrame);
    EXPECT_EQ(calls, (std::vector<std::string>{"outer"}));
    scheduler.update(kFrame);
    EXPECT_EQ(calls, (std::vector<std::string>{"outer", "update", "inner"}));
}

TEST_F(SchedulerTest, UpdateCallbacksRunByPriorityBeforeTheTimers) {
    struct Target {
        std::vector<std::string>* calls;
        std::string name;
        void update(float) { calls->push_back(name); }
    };
    std::vector<std::string> calls;
    Target late{&calls, "late"}, first{&calls, "first"}, second{&calls, "second"},
        sys{&calls, "system"};
    scheduler.schedule([&](float) { calls.push_back("timer"); }, &targetA, 0.f, false, "timer");
    scheduler.scheduleUpdate(&late, 10, false);
    scheduler.scheduleUpdate(&first, 0, false);
    scheduler.scheduleUpdate(&second, 0, false);
    scheduler.scheduleUpdate(&sys, Scheduler::PRIORITY_SYSTEM, false);
    scheduler.update(kFrame);
    EXPECT_EQ(calls, (std::vector<std::string>{"system", "first", "second", "late", "timer"}));

    calls.clear();
    scheduler.scheduleUpdate(&late, -5, false);  // a new priority moves it
    scheduler.unscheduleUpdate(&first);
    scheduler.update(kFrame);
    EXPECT_EQ(calls, (std::vector<std::string>{"system", "late", "second", "timer"}));
}

TEST_F(SchedulerTest, PausedTargetsHoldTheirTimeUntilResumed) {
    int fired = 0;
    scheduler.schedule([&fired](float) { ++fired; }, &targetA, 0.1f, false, "tick");
    scheduler.schedulePerFrame([](float) {}, &targetA, 0, true);
    EXPECT_FALSE(scheduler.isTargetPaused(&targetA));  // the first registration decides
    scheduler.unscheduleUpdate(&targetA);

    EXPECT_EQ(firingFrames(4, kFrame, fired), std::vector<int>{});
    scheduler.pauseTarget(&targetA);
    EXPECT_TRUE(scheduler.isTargetPaused(&targetA));
    EXPECT_EQ(firingFrames(30, kFrame, fired), std::vector<int>{});
    scheduler.resumeTarget(&targetA);
    EXPECT_FALSE(scheduler.isTargetPaused(&targetA));
    // Four of the six frames had passed before the pause.
    EXPECT_EQ(firingFrames(8, kFrame, fired), (std::vector<int>{2, 8}));

    scheduler.pauseTarget(&targetB);  // nothing scheduled: nothing to pause
    EXPECT_FALSE(scheduler.isTargetPaused(&targetB));
}

TEST_F(SchedulerTest, IdleLogicSeesPerFrameWorkAndTheNextTimer) {
    const float never = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(scheduler.hasPerFrameWork());
    EXPECT_EQ(scheduler.timeToNextTimer(), never);

    scheduler.schedule([](float) {}, &targetA, 0.1f, false, "poll");
    EXPECT_FALSE(scheduler.hasPerFrameWork());
    EXPECT_NEAR(scheduler.timeToNextTimer(), 0.1f, 1e-6f);
    scheduler.update(0.03f);
    EXPECT_NEAR(scheduler.timeToNextTimer(), 0.07f, 1e-6f);
    scheduler.schedule([](float) {}, &targetB, 0.f, 0, 0.02f, false, "delayed");
    EXPECT_NEAR(scheduler.timeToNextTimer(), 0.02f, 1e-6f);
    EXPECT_FALSE(scheduler.hasPerFrameWork());
    scheduler.unschedule("delayed", &targetB);

    // An update callback with a work check counts only while the check says so.
    bool busy = false;
    scheduler.schedulePerFrame([](float) {}, &targetB, Scheduler::PRIORITY_SYSTEM, false);
    EXPECT_TRUE(scheduler.hasPerFrameWork());
    scheduler.setPerFrameWorkCheck(&targetB, [&busy] { return busy; });
    EXPECT_FALSE(scheduler.hasPerFrameWork());
    busy = true;
    EXPECT_TRUE(scheduler.hasPerFrameWork());
    scheduler.pauseTarget(&targetB);
    EXPECT_FALSE(scheduler.hasPerFrameWork());
    scheduler.unscheduleAllForTarget(&targetB);

    scheduler.schedule([](float) {}, &targetB, 0.f, false, "coast");
    EXPECT_TRUE(scheduler.hasPerFrameWork());
    scheduler.pauseTarget(&targetA);
    EXPECT_EQ(scheduler.timeToNextTimer(), never);
    scheduler.unscheduleAll();
    EXPECT_FALSE(scheduler.hasPerFrameWork());
}
