// Touch listener that sees one touch at a time: touch-began claims a touch by returning
// true, and only then do moved, ended and cancelled of that touch arrive. With swallowing
// on, a claimed touch reaches no listener below this one. Depends on EventListener.
#pragma once

#include <functional>
#include <vector>

#include "base/EventListener.h"

NS_CC_BEGIN

class Touch;

class EventListenerTouchOneByOne : public EventListener {
public:
    using ccTouchBeganCallback = std::function<bool(Touch*, Event*)>;
    using ccTouchCallback = std::function<void(Touch*, Event*)>;

    // A listener with no callbacks, not swallowing.
    static EventListenerTouchOneByOne* create();

    // Whether a touch claimed here is kept from the listeners below.
    void setSwallowTouches(bool needSwallow) { _needSwallow = needSwallow; }

    bool checkAvailable() override;
    EventListenerTouchOneByOne* clone() override;

    ccTouchBeganCallback onTouchBegan;
    ccTouchCallback onTouchMoved;
    ccTouchCallback onTouchEnded;
    ccTouchCallback onTouchCancelled;

private:
    friend class EventDispatcher;
    EventListenerTouchOneByOne() : EventListener(Type::TOUCH_ONE_BY_ONE) {}

    bool _needSwallow = false;
    std::vector<Touch*> _claimedTouches;  // weak; dropped when the gesture ends
};

NS_CC_END
