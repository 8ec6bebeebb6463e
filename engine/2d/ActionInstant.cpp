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

CallFuncN* CallFuncN::create(const std::function<void(Node*)>& func) {
    auto* action = new CallFuncN();
    return finishCreate(action, action->initWithFunction(func));
}

bool CallFuncN::initWithFunction(const std::function<void(Node*)>& func) {
    _function = func;
    return true;
}

CallFuncN* CallFuncN::clone() const {
    return CallFuncN::create(_function);
}

void CallFuncN::update(float /*t*/) {
    if (_function) {
        _function(_target);
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

Show* Show::create() {
    auto* action = new Show();
    return finishCreate(action, true);
}

Show* Show::clone() const {
    return Show::create();
}

void Show::update(float /*t*/) {
    _target->setVisible(true);
}

Hide* Hide::create() {
    auto* action = new Hide();
    return finishCreate(action, true);
}

Hide* Hide::clone() const {
    return Hide::create();
}

void Hide::update(float /*t*/) {
    _target->setVisible(false);
}

NS_CC_END
