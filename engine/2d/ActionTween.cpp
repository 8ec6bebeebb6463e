#include "2d/ActionTween.h"

#include "2d/Node.h"

NS_CC_BEGIN

ActionTween* ActionTween::create(float duration, const std::string& key, float from, float to) {
    auto* tween = new ActionTween();
    return finishCreate(tween, tween->initWithDuration(duration, key, from, to));
}

bool ActionTween::initWithDuration(float duration, const std::string& key, float from, float to) {
    _key = key;
    _from = from;
    _to = to;
    return ActionInterval::initWithDuration(duration);
}

ActionTween* ActionTween::clone() const {
    return ActionTween::create(_duration, _key, _from, _to);
}

void ActionTween::startWithTarget(Node* target) {
    _delegate = dynamic_cast<ActionTweenDelegate*>(target);
    CCASSERT(_delegate != nullptr,
             "ActionTween runs only on a node that is an ActionTweenDelegate");
    ActionInterval::startWithTarget(target);
}

void ActionTween::update(float t) {
    if (_delegate == nullptr) {
        return;
    }
    _delegate->updateTweenAction(t >= 1.f ? _to : _from + (_to - _from) * t, _key);
}

NS_CC_END
