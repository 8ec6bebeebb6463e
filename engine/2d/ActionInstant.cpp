#include "2d/ActionInstant.h"

#include "2d/Node.h"

NS_CC_BEGIN

CallFunc* CallFunc::create(const std::function<void()>& func) {
    auto* action = new CallFunc();
    return finishCreate(action, action->initWithFunction(func));
}

bool CallFunc::initWithFunction(const std::function<void()>& func) {
    _function = func;
    return true;
}

CallFunc* CallFunc::clone() const {
    return CallFunc::create(_function);
}

void CallFunc::update(float /*t*/) {
    if (_function) {
        _function();
    }
}

RemoveSelf* RemoveSelf::create(bool isNeedCleanUp) {
    auto* action = new RemoveSelf();
    return finishCreate(action, action->init(isNeedCleanUp));
}

bool RemoveSelf::init(bool isNeedCleanUp) {
    _isNeedCleanUp = isNeedCleanUp;
    return true;
}

RemoveSelf* RemoveSelf::clone() const {
    return RemoveSelf::create(_isNeedCleanUp);
}

void RemoveSelf::update(float /*t*/) {
    _target->removeFromParentAndCleanup(_isNeedCleanUp);
}

NS_CC_END
