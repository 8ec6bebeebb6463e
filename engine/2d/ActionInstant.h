// Actions that happen at once: calls back into the program, removal of the node, showing
// and hiding. Inside a sequence they run when its time reaches them.
// Touch their node only through its public operations.
#pragma once

#include <functional>

#include "2d/Action.h"

NS_CC_BEGIN

// Calls a function.
class CallFunc : public ActionInstant {
public:
    // Calls func when the action runs.
    static CallFunc* create(const std::function<void()>& func);
    bool initWithFunction(const std::function<void()>& func);

    CallFunc* clone() const override;
    void update(float t) override;

private:
    std::function<void()> _function;
};

// Removes the node from its parent. With clean-up, the node's actions and callbacks stop
// too; the node itself lives on until the action manager lets go of it.
class RemoveSelf : public ActionInstant {
public:
    // Removes the node, cleaning it up when isNeedCleanUp is true.
    static RemoveSelf* create(bool isNeedCleanUp = true);
    bool init(bool isNeedCleanUp);

    RemoveSelf* clone() const override;
    void update(float t) override;

private:
    bool _isNeedCleanUp = true;
};

NS_CC_END
