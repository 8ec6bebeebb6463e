// Base of the events the dispatcher hands to listeners: a type, a stop flag, and the node
// of the listener being called. Events live on the dispatching caller's stack.
// Depends on Ref.
#pragma once

#include "base/Ref.h"

NS_CC_BEGIN

class Node;

class Event : public Ref {
public:
    enum class Type { TOUCH, KEYBOARD, ACCELERATION, MOUSE, FOCUS, GAME_CONTROLLER, CUSTOM };

    explicit Event(Type type) : _type(type) {}

    Type getType() const { return _type; }
    // Keeps the event from the listeners after the current one.
    void stopPropagation() { _isStopped = true; }
    bool isStopped() const { return _isStopped; }
    // Node of the listener now being called (nullptr for fixed-priority listeners).
    Node* getCurrentTarget() const { return _currentTarget; }
    void setCurrentTarget(Node* target) { _currentTarget = target; }

private:
    Type _type;
    bool _isStopped = false;
    Node* _currentTarget = nullptr;
};

NS_CC_END
