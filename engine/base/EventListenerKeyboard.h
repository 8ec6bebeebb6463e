// Keyboard listener: a key pressed and released. Keys reach every keyboard listener in
// priority order, whatever the mouse does. Depends on EventListener and EventKeyboard.
#pragma once

#include <functional>

#include "base/EventKeyboard.h"
#include "base/EventListener.h"

NS_CC_BEGIN

class EventListenerKeyboard : public EventListener {
public:
    using ccKeyCallback = std::function<void(EventKeyboard::KeyCode, Event*)>;

    // A listener with no callbacks.
    static EventListenerKeyboard* create();

    // Registered only with at least one callback.
    bool checkAvailable() override { return onKeyPressed || onKeyReleased; }
    EventListenerKeyboard* clone() override;

    ccKeyCallback onKeyPressed;
    ccKeyCallback onKeyReleased;

private:
    EventListenerKeyboard() : EventListener(Type::KEYBOARD) {}
};

NS_CC_END
