#include "2d/Action.h"

#include <algorithm>

NS_CC_BEGIN

bool Action::isDone() const {
    return true;
}

void Action::startWithTarget(Node* target) {
    _target = target;
    _originalTarget = target;
}

void Action::stop() {
    _target = nullptr;
}

void Action::step(float /*dt*/) {}

void Action::update(float /*t*/) {}

bool ActionInterval::initWithDuration(float duration) {
    CCASSERT(duration >= 0.f, "an action cannot last a negative time");
    _duration = duration;
    _elapsed = 0.0;
    _firstTick = true;
    return true;
}

bool ActionInterval::isDone() const {
    return !_firstTick && _elapsed + kTimeTolerance >= _duration;
}

void ActionInterval::startWithTarget(Node* target) {
    FiniteTimeAction::startWithTarget(target);
    _elapsed = 0.0;
    _firstTick = true;
}

void ActionInterval::step(float dt) {
    if (_firstTick) {
        _firstTick = false;
    } else {
        _elapsed += dt;
    }
    update(progress());
}

float ActionInterval::progress() const {
    if (_elapsed + kTimeTolerance >= _duration) {
        return 1.f;
    }
    return static_cast<float>(std::max(0.0, _elapsed / _duration));
}

double ActionInterval::overshoot() const {
    return std::max(0.0, _elapsed - _duration);
}

void ActionInstant::startWithTarget(Node* target) {
    FiniteTimeAction::startWithTarget(target);
    _done = false;
}

void ActionInstant::step(float /*dt*/) {
    _done = true;
    update(1.f);
}

NS_CC_END
