// Tweening of a named value: an action that hands a number running from one value to
// another to its node, which must implement ActionTweenDelegate (a scroll view's zoom, say).
// Depends only on the action base classes.
#pragma once

#include <string>

#include "2d/Action.h"

NS_CC_BEGIN

// What a node implements to receive tweened values.
class ActionTweenDelegate {
public:
    virtual ~ActionTweenDelegate() = default;
    // Receives the current value of the tween named key.
    virtual void updateTweenAction(float value, const std::string& key) = 0;
};

// Runs a value from `from` to `to` over its duration and passes it to the node each step.
class ActionTween : public ActionInterval {
public:
    // Tweens the value named key from `from` to `to` over duration seconds.
    static ActionTween* create(float duration, const std::string& key, float from, float to);
    bool initWithDuration(float duration, const std::string& key, float from, float to);

    ActionTween* clone() const override;
    void startWithTarget(Node* target) override;
    void update(float t) override;

private:
    ActionTweenDelegate* _delegate = nullptr;
    std::string _key;
    float _from = 0.f;
    float _to = 0.f;
};

NS_CC_END
