// Mouse listener: button down and up, motion and wheel, for every button. Mouse listeners
// are separate from touch listeners; swallowing touches does not hold mouse events back.
// Depends on EventListener and EventMouse.
#pragma once

#include <functional>

#include "base/EventListener.h"
#include "base/EventMouse.h"

NS_CC_BEGIN

class EventListenerMouse : public EventListener {
public:
    using ccMouseCallback = std::function<void(EventMouse*)>;

    // A listener with no callbacks.
    static EventListenerMouse* create();

    bool checkAvailable() override { return true; }
    EventListenerMouse* clone() override;

    ccMouseCallback onMouseDown;
    ccMouseCallback onMouseUp;
    ccMouseCallback onMouseMove;
    ccMouseCallback onMouseScroll;

private:
    EventListenerMouse() : EventListener(Type::MOUSE) {}
};

NS_CC_END
