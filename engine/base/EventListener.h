// Base of the listeners registered with the event dispatcher: a kind, an enabled switch,
// and the registration state the dispatcher keeps (node or fixed priority, paused).
// A listener does not retain its node. Depends on Ref.
#pragma once

#include <cstdint>

#include "base/Ref.h"

NS_CC_BEGIN

class Event;
class Node;

class EventListener : public Ref {
public:
    enum class Type {
        UNKNOWN,
        TOUCH_ONE_BY_ONE,
        TOUCH_ALL_AT_ONCE,
        KEYBOARD,
        MOUSE,
        ACCELERATION,
        FOCUS,
        GAME_CONTROLLER,
        CUSTOM,
    };

    // True when the listener has what it needs to be registered (e.g. a touch-began).
    virtual bool checkAvailable() = 0;
    // A fresh, unregistered listener with the same callbacks and settings.
    virtual EventListener* clone() = 0;

    // A disabled listener stays registered but receives nothing.
    void setEnabled(bool enabled) { _isEnabled = enabled; }
    bool isEnabled() const { return _isEnabled; }
    Type getType() const { return _type; }
    bool isPaused() const { return _paused; }

protected:
    explicit EventListener(Type type) : _type(type) {}

private:
    friend class EventDispatcher;

    Type _type;
    bool _isEnabled = true;
    bool _isRegistered = false;
    bool _paused = false;
    Node* _node = nullptr;
    int _fixedPriority = 0;
    std::uint64_t _addOrder = 0;
};

NS_CC_END
