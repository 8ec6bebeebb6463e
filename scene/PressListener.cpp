#include "scene/PressListener.h"

#include <utility>

#include "widgets/CardSprite.h"

USING_NS_CC;

namespace pressrule {

EventListenerTouchOneByOne* makeListener(Action action, GLubyte pressedOpacity,
                                         std::function<bool()> accepts) {
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [pressedOpacity, accepts = std::move(accepts)](Touch* touch,
                                                                            Event* event) {
        Node* control = event->getCurrentTarget();
        if ((accepts && !accepts()) || !CardSprite::isTouchInside(control, touch->getLocation())) {
            return false;
        }
        control->setOpacity(pressedOpacity);
        return true;
    };
    listener->onTouchEnded = [action = std::move(action)](Touch* touch, Event* event) {
        Node* control = event->getCurrentTarget();
        control->setOpacity(255);
        if (CardSprite::isTouchInside(control, touch->getLocation())) {
            action(control);
        }
    };
    // A cancelled press (the window lost the pointer) must not leave the control dimmed.
    listener->onTouchCancelled = [](Touch*, Event* event) {
        event->getCurrentTarget()->setOpacity(255);
    };
    return listener;
}

EventListenerTouchOneByOne* makeBlocker() {
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [](Touch*, Event*) { return true; };
    return listener;
}

}  // namespace pressrule
