#include "base/EventListenerKeyboard.h"

NS_CC_BEGIN

EventListenerKeyboard* EventListenerKeyboard::create() {
    auto* listener = new EventListenerKeyboard();
    listener->autorelease();
    return listener;
}

EventListenerKeyboard* EventListenerKeyboard::clone() {
    auto* copy = create();
    copy->onKeyPressed = onKeyPressed;
    copy->onKeyReleased = onKeyReleased;
    copy->setEnabled(isEnabled());
    return copy;
}

NS_CC_END
