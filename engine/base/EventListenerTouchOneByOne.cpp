#include "base/EventListenerTouchOneByOne.h"

NS_CC_BEGIN

EventListenerTouchOneByOne* EventListenerTouchOneByOne::create() {
    auto* listener = new EventListenerTouchOneByOne();
    listener->autorelease();
    return listener;
}

bool EventListenerTouchOneByOne::checkAvailable() {
    CCASSERT(onTouchBegan, "a one-by-one touch listener needs onTouchBegan");
    return static_cast<bool>(onTouchBegan);
}

EventListenerTouchOneByOne* EventListenerTouchOneByOne::clone() {
    auto* copy = create();
    copy->onTouchBegan = onTouchBegan;
    copy->onTouchMoved = onTouchMoved;
    copy->onTouchEnded = onTouchEnded;
    copy->onTouchCancelled = onTouchCancelled;
    copy->_needSwallow = _needSwallow;
    copy->setEnabled(isEnabled());
    return copy;
}

NS_CC_END
