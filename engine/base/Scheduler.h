// Per-frame and interval callbacks on the main thread, stepped once per frame by the director
// with the frame's time step. Knows nothing of nodes: targets are opaque pointers.
// Depends only on Ref and the standard library.
#pragma once

#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/Ref.h"

// Repeat count for a timer that fires until it is unscheduled.
#define CC_REPEAT_FOREVER (UINT_MAX - 1)

NS_CC_BEGIN

typedef std::function<void(float)> ccSchedulerFunc;

class Scheduler : public Ref {
public:
    // Update callbacks with this priority run before every other callback of the frame.
    static const int PRIORITY_SYSTEM;
    // Sums of frame steps are compared with intervals with this slack, so that six steps of
    // 1/60 s reach 0.1 s although neither number is exact in binary.
    static constexpr double kTimeTolerance = 1e-5;

    Scheduler();
    ~Scheduler() override;
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;

    // Calls callback every `interval` seconds (every frame for 0) after a first wait of
    // `delay`, repeat + 1 times in all (CC_REPEAT_FOREVER: until unscheduled). Scheduling an
    // existing key of the target again only changes its interval.
    void schedule(const ccSchedulerFunc& callback, void* target, float interval,
                  unsigned int repeat, float delay, bool paused, const std::string& key);
    // The same, repeating for ever with no delay.
    void schedule(const ccSchedulerFunc& callback, void* target, float interval, bool paused,
                  const std::string& key);
    // Stops the keyed callback of the target; it does not run again, not even this frame.
    void unschedule(const std::string& key, void* target);
    // Stops every keyed callback and the update callback of the target.
    void unscheduleAllForTarget(void* target);
    // Stops every callback of every target.
    void unscheduleAll();

    // Calls target->update(dt) every frame; lower priorities run first.
    template <class T>
    void scheduleUpdate(T* target, int priority, bool paused) {
        schedulePerFrame([target](float dt) { target->update(dt); }, target, priority, paused);
    }
    // Calls callback every frame as the target's one update callback.
    void schedulePerFrame(const ccSchedulerFunc& callback, void* target, int priority, bool paused);
    // Stops the target's update callback.
    void unscheduleUpdate(void* target);

    // Holds every callback of the target until resumeTarget; time does not pass for them.
    void pauseTarget(void* target);
    // Lets the target's callbacks run again.
    void resumeTarget(void* target);
    // True while the target has callbacks and they are paused.
    bool isTargetPaused(void* target) const;
    // True while the keyed callback of the target is scheduled.
    bool isScheduled(const std::string& key, const void* target) const;

    // Lets an update callback tell the idle logic whether it needs frames right now (the
    // action manager does only while actions run). The check stays registered for the
    // target until an empty function removes it.
    void setPerFrameWorkCheck(void* target, std::function<bool()> hasWork);

    // Runs one frame: update callbacks by priority, then the timers in scheduling order.
    void update(float dt);

    // True when some unpaused callback must run every frame.
    bool hasPerFrameWork() const;
    // Seconds until the earliest unpaused interval timer fires; +infinity when none.
    float timeToNextTimer() const;

private:
    struct TargetState {
        bool paused = false;
        unsigned int users = 0;  // callbacks (removed ones included) that point here
    };
    struct Timer;
    struct PerFrame;

    TargetState* acquireState(void* target, bool paused);
    void releaseState(void* target);
    Timer* findTimer(const std::string& key, const void* target) const;
    PerFrame* findPerFrame(const void* target) const;
    void fire(Timer& timer, float dt);
    void insertPerFrame(std::unique_ptr<PerFrame> entry);
    void markRemoved(Timer& timer);
    void markRemoved(PerFrame& entry);
    void collectIfIdle();
    void collectGarbage();

    std::vector<std::unique_ptr<PerFrame>> _perFrame;  // sorted by priority, stable
    std::vector<std::unique_ptr<Timer>> _timers;       // in scheduling order
    // Scheduled while update() runs: they start with the next frame.
    std::vector<std::unique_ptr<PerFrame>> _newPerFrame;
    std::vector<std::unique_ptr<Timer>> _newTimers;
    std::unordered_map<const void*, TargetState> _targets;
    std::unordered_map<const void*, std::function<bool()>> _workChecks;
    bool _updating = false;
    bool _hasRemoved = false;  // removed entries wait for the end of update()
};

NS_CC_END
