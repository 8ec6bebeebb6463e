#include "base/EventListenerMouse.h"

NS_CC_BEGIN

EventListenerMouse* EventListenerMouse::create() {
    auto* listener = new EventListenerMouse();
    listener->autorelease();
    return listener;
}

EventListenerMouse* EventListenerMouse::clone() {
    auto* copy = create();
    copy->onMouseDown = onMouseDown;
    copy->onMouseUp = onMouseUp;
    copy->onMouseMove = onMouseMove;
    copy->onMouseScroll = onMouseScroll;
    copy->setEnabled(isEnabled());
    return copy;
}

NS_CC_END
