#include "base/Scheduler.h"

#include <algorithm>
#include <cmath>
#include <limits>

NS_CC_BEGIN

const int Scheduler::PRIORITY_SYSTEM = INT_MIN;

struct Scheduler::Timer {
    ccSchedulerFunc callback;
    void* target = nullptr;
    std::string key;
    TargetState* state = nullptr;
    double interval = 0.0;
    double delay = 0.0;
    unsigned int repeat = 0;
    unsigned int timesExecuted = 0;
    double elapsed = 0.0;        // toward the next firing; keeps the phase across firings
    double sinceLastFire = 0.0;  // handed to the callback
    bool inDelay = false;
    bool removed = false;

    // Time the timer must accumulate before it fires next.
    double due() const { return inDelay ? delay : interval; }
    bool firesEveryFrame() const { return due() <= 0.0; }
};

struct Scheduler::PerFrame {
    ccSchedulerFunc callback;
    void* target = nullptr;
    int priority = 0;
    TargetState* state = nullptr;
    bool removed = false;
};

Scheduler::Scheduler() {
    _perFrame.reserve(16);
    _timers.reserve(16);
}

Scheduler::~Scheduler() = default;

Scheduler::TargetState* Scheduler::acquireState(void* target, bool paused) {
    auto inserted = _targets.emplace(target, TargetState{});
    TargetState& state = inserted.first->second;
    // A target's callbacks share one paused state; the first registration sets it.
    if (inserted.second) {
        state.paused = paused;
    }
    ++state.users;
    return &state;
}

void Scheduler::releaseState(void* target) {
    auto it = _targets.find(target);
    CCASSERT(it != _targets.end() && it->second.users > 0, "scheduler target bookkeeping");
    if (--it->second.users == 0) {
        _targets.erase(it);
    }
}

Scheduler::Timer* Scheduler::findTimer(const std::string& key, const void* target) const {
    for (const auto* list : {&_timers, &_newTimers}) {
        for (const auto& timer : *list) {
            if (!timer->removed && timer->target == target && timer->key == key) {
                return timer.get();
            }
        }
    }
    return nullptr;
}

Scheduler::PerFrame* Scheduler::findPerFrame(const void* target) const {
    for (const auto* list : {&_perFrame, &_newPerFrame}) {
        for (const auto& entry : *list) {
            if (!entry->removed && entry->target == target) {
                return entry.get();
            }
        }
    }
    return nullptr;
}

void Scheduler::schedule(const ccSchedulerFunc& callback, void* target, float interval,
                         unsigned int repeat, float delay, bool paused, const std::string& key) {
    CCASSERT(callback, "schedule needs a callback");
    CCASSERT(target != nullptr, "schedule needs a target");
    CCASSERT(!key.empty(), "schedule needs a key");
    CCASSERT(interval >= 0.f && delay >= 0.f, "negative interval or delay");
    if (Timer* existing = findTimer(key, target)) {
        existing->interval = interval;
        return;
    }
    auto timer = std::make_unique<Timer>();
    timer->callback = callback;
    timer->target = target;
    timer->key = key;
    timer->state = acquireState(target, paused);
    timer->interval = interval;
    timer->delay = delay;
    timer->repeat = repeat;
    timer->inDelay = delay > 0.f;
    (_updating ? _newTimers : _timers).push_back(std::move(timer));
}

void Scheduler::schedule(const ccSchedulerFunc& callback, void* target, float interval, bool paused,
                         const std::string& key) {
    schedule(callback, target, interval, CC_REPEAT_FOREVER, 0.f, paused, key);
}

void Scheduler::schedulePerFrame(const ccSchedulerFunc& callback, void* target, int priority,
                                 bool paused) {
    CCASSERT(callback, "schedulePerFrame needs a callback");
    CCASSERT(target != nullptr, "schedulePerFrame needs a target");
    PerFrame* existing = findPerFrame(target);
    if (existing != nullptr && existing->priority == priority) {
        return;
    }
    auto entry = std::make_unique<PerFrame>();
    entry->callback = callback;
    entry->target = target;
    entry->priority = priority;
    entry->state = acquireState(target, paused);
    if (existing != nullptr) {
        markRemoved(*existing);  // a new priority: the entry moves to its new place
    }
    if (_updating) {
        _newPerFrame.push_back(std::move(entry));
    } else {
        insertPerFrame(std::move(entry));
    }
    collectIfIdle();
}

void Scheduler::insertPerFrame(std::unique_ptr<PerFrame> entry) {
    // After every entry of the same priority: equal priorities run in scheduling order.
    auto at = std::upper_bound(
        _perFrame.begin(), _perFrame.end(), entry->priority,
        [](int priority, const std::unique_ptr<PerFrame>& e) { return priority < e->priority; });
    _perFrame.insert(at, std::move(entry));
}

// Removal only marks: the entry, its callback and everything the callback captured stay
// alive until collectGarbage, which runs when no callback is on the stack.
void Scheduler::markRemoved(Timer& timer) {
    timer.removed = true;
    _hasRemoved = true;
}

void Scheduler::markRemoved(PerFrame& entry) {
    entry.removed = true;
    _hasRemoved = true;
}

void Scheduler::collectIfIdle() {
    if (!_updating && _hasRemoved) {
        collectGarbage();
    }
}

void Scheduler::unschedule(const std::string& key, void* target) {
    if (Timer* timer = findTimer(key, target)) {
        markRemoved(*timer);
        collectIfIdle();
    }
}

void Scheduler::unscheduleUpdate(void* target) {
    if (PerFrame* entry = findPerFrame(target)) {
        markRemoved(*entry);
        collectIfIdle();
    }
}

void Scheduler::unscheduleAllForTarget(void* target) {
    for (auto* list : {&_timers, &_newTimers}) {
        for (auto& timer : *list) {
            if (timer->target == target) {
                markRemoved(*timer);
            }
        }
    }
    for (auto* list : {&_perFrame, &_newPerFrame}) {
        for (auto& entry : *list) {
            if (entry->target == target) {
                markRemoved(*entry);
            }
        }
    }
    collectIfIdle();
}

void Scheduler::unscheduleAll() {
    for (auto* list : {&_timers, &_newTimers}) {
        for (auto& timer : *list) {
            markRemoved(*timer);
        }
    }
    for (auto* list : {&_perFrame, &_newPerFrame}) {
        for (auto& entry : *list) {
            markRemoved(*entry);
        }
    }
    collectIfIdle();
}

void Scheduler::pauseTarget(void* target) {
    auto it = _targets.find(target);
    if (it != _targets.end()) {
        it->second.paused = true;
    }
}

void Scheduler::resumeTarget(void* target) {
    auto it = _targets.find(target);
    if (it != _targets.end()) {
        it->second.paused = false;
    }
}

bool Scheduler::isTargetPaused(void* target) const {
    auto it = _targets.find(target);
    return it != _targets.end() && it->second.paused;
}

bool Scheduler::isScheduled(const std::string& key, const void* target) const {
    return findTimer(key, target) != nullptr;
}

void Scheduler::setPerFrameWorkCheck(void* target, std::function<bool()> hasWork) {
    if (hasWork) {
        _workChecks[target] = std::move(hasWork);
    } else {
        _workChecks.erase(target);
    }
}

void Scheduler::update(float dt) {
    CCASSERT(!_updating, "Scheduler::update called from inside a callback");
    _updating = true;
    // Callbacks may unschedule anything (entries are only marked) and schedule new ones
    // (they wait in the _new lists), so both loops see lists of fixed length.
    for (auto& entry : _perFrame) {
        if (!entry->removed && !entry->state->paused) {
            entry->callback(dt);
        }
    }
    for (auto& timer : _timers) {
        if (!timer->removed && !timer->state->paused) {
            fire(*timer, dt);
        }
    }
    _updating = false;

    for (auto& entry : _newPerFrame) {
        insertPerFrame(std::move(entry));
    }
    _newPerFrame.clear();
    for (auto& timer : _newTimers) {
        _timers.push_back(std::move(timer));
    }
    _newTimers.clear();
    if (_hasRemoved) {
        collectGarbage();
    }
}

void Scheduler::fire(Timer& timer, float dt) {
    timer.elapsed += dt;
    timer.sinceLastFire += dt;
    const double due = timer.due();
    if (timer.elapsed + kTimeTolerance < due) {
        return;
    }
    timer.elapsed -= due;
    timer.inDelay = false;
    if (timer.interval <= 0.0) {
        timer.elapsed = 0.0;
    } else if (timer.elapsed + kTimeTolerance >= timer.interval) {
        // The frame spanned several intervals: fire once, drop the missed firings, but keep
        // the timer on its original beat.
        timer.elapsed = std::fmod(timer.elapsed, timer.interval);
    }
    const float since = static_cast<float>(timer.sinceLastFire);
    timer.sinceLastFire = 0.0;
    const bool last = timer.repeat != CC_REPEAT_FOREVER && timer.timesExecuted >= timer.repeat;
    ++timer.timesExecuted;
    // Marked before the call: on its last firing the callback may schedule its key afresh.
    if (last) {
        markRemoved(timer);
    }
    timer.callback(since);
}

void Scheduler::collectGarbage() {
    _hasRemoved = false;
    auto sweep = [this](auto& list) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list[i]->removed) {
                releaseState(list[i]->target);
                list[i].reset();
            } else {
                if (kept != i) {
                    list[kept] = std::move(list[i]);
                }
                ++kept;
            }
        }
        list.resize(kept);
    };
    sweep(_timers);
    sweep(_newTimers);
    sweep(_perFrame);
    sweep(_newPerFrame);
}

bool Scheduler::hasPerFrameWork() const {
    for (const auto* list : {&_perFrame, &_newPerFrame}) {
        for (const auto& entry : *list) {
            if (entry->removed || entry->state->paused) {
                continue;
            }
            auto check = _workChecks.find(entry->target);
            if (check == _workChecks.end() || check->second()) {
                return true;
            }
        }
    }
    for (const auto* list : {&_timers, &_newTimers}) {
        for (const auto& timer : *list) {
            if (!timer->removed && !timer->state->paused && timer->firesEveryFrame()) {
                return true;
            }
        }
    }
    return false;
}

float Scheduler::timeToNextTimer() const {
    double earliest = std::numeric_limits<double>::infinity();
    for (const auto* list : {&_timers, &_newTimers}) {
        for (const auto& timer : *list) {
            if (timer->removed || timer->state->paused || timer->firesEveryFrame()) {
                continue;
            }
            earliest = std::min(earliest, std::max(0.0, timer->due() - timer->elapsed));
        }
    }
    return static_cast<float>(earliest);
}

NS_CC_END
