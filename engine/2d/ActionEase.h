// Easing: wraps an interval action and reshapes its progress curve, so a move starts fast
// and slows down at its end. Depends only on the action base classes.
#pragma once

#include "2d/Action.h"

NS_CC_BEGIN

// Runs an inner action with progress passed through an easing curve.
class ActionEase : public ActionInterval {
public:
    bool initWithAction(ActionInterval* action);
    ~ActionEase() override;

    // The action being eased.
    ActionInterval* getInnerAction() const { return _inner; }

    void startWithTarget(Node* target) override;
    void stop() override;
    void update(float t) override;
    ActionEase* clone() const override = 0;

protected:
    // The curve: eased progress for linear progress t.
    virtual float ease(float t) const = 0;

    ActionInterval* _inner = nullptr;
};

// Fast start, exponential slow-down: t becomes 1 - 2^(-10 t), and exactly 1 at the end.
class EaseExponentialOut : public ActionEase {
public:
    // Eases action with an exponential ease-out.
    static EaseExponentialOut* create(ActionInterval* action);
    EaseExponentialOut* clone() const override;

protected:
    float ease(float t) const override;
};

NS_CC_END
