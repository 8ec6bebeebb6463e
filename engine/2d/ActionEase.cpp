#include "2d/ActionEase.h"

#include <cmath>

#include "2d/ActionInterval.h"

NS_CC_BEGIN

bool ActionEase::initWithAction(ActionInterval* action) {
    CCASSERT(action != nullptr, "an ease needs an action");
    CCASSERT(dynamic_cast<RepeatForever*>(action) == nullptr, "a RepeatForever cannot be eased");
    action->retain();
    CC_SAFE_RELEASE(_inner);
    _inner = action;
    return ActionInterval::initWithDuration(action->getDuration());
}

ActionEase::~ActionEase() {
    CC_SAFE_RELEASE(_inner);
}

void ActionEase::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _inner->startWithTarget(target);
}

void ActionEase::stop() {
    _inner->stop();
    ActionInterval::stop();
}

void ActionEase::update(float t) {
    _inner->update(ease(t));
}

EaseExponentialOut* EaseExponentialOut::create(ActionInterval* action) {
    auto* ease = new EaseExponentialOut();
    return finishCreate(ease, ease->initWithAction(action));
}

EaseExponentialOut* EaseExponentialOut::clone() const {
    return EaseExponentialOut::create(_inner->clone());
}

float EaseExponentialOut::ease(float t) const {
    return t >= 1.f ? 1.f : 1.f - std::pow(2.f, -10.f * t);
}

NS_CC_END
