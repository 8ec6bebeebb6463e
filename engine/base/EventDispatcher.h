// Delivers touch, mouse and keyboard events to registered listeners in priority order: fixed
// priorities below 0, then scene-graph listeners with the node drawn on top first, then
// fixed priorities above 0. Safe against listeners added or removed during dispatch.
// Depends on the listeners, events and Node (for the drawing order).
#pragma once

#include <cstdint>
#include <vector>

#include "base/EventListener.h"
#include "base/Ref.h"

NS_CC_BEGIN

class Event;
class EventKeyboard;
class EventMouse;
class EventTouch;
class Node;
class Touch;

class EventDispatcher : public Ref {
public:
    EventDispatcher() = default;
    ~EventDispatcher() override;

    // Registers a listener ordered by the node's place in the drawing order; it hears
    // nothing while the node is not part of the running scene.
    void addEventListenerWithSceneGraphPriority(EventListener* listener, Node* node);
    // Registers a listener with a fixed priority (not 0): lower hears first.
    void addEventListenerWithFixedPriority(EventListener* listener, int fixedPriority);
    // Unregisters a listener; it hears nothing more, even during the current dispatch.
    void removeEventListener(EventListener* listener);
    // Unregisters every listener of the given kind.
    void removeEventListenersForType(EventListener::Type type);
    // Unregisters every listener of the node (and of its descendants when recursive).
    void removeEventListenersForTarget(Node* target, bool recursive = false);
    // Unregisters every listener.
    void removeAllEventListeners();
    // Holds the node's listeners (and its descendants' when recursive).
    void pauseEventListenersForTarget(Node* target, bool recursive = false);
    // Lets them hear again.
    void resumeEventListenersForTarget(Node* target, bool recursive = false);
    // Changes the priority of a fixed-priority listener.
    void setPriority(EventListener* listener, int fixedPriority);

    // A disabled dispatcher delivers nothing.
    void setEnabled(bool enabled) { _isEnabled = enabled; }
    bool isEnabled() const { return _isEnabled; }

    // Delivers an event to the listeners of its kind.
    void dispatchEvent(Event* event);

private:
    void registerListener(EventListener* listener);
    void unregister(EventListener* listener);
    // Registered listeners of a kind in the order they hear, each retained by the caller.
    std::vector<EventListener*> orderedListeners(EventListener::Type type) const;
    static bool canHear(const EventListener* listener);
    void dispatchTouchEvent(EventTouch* event);
    void dispatchMouseEvent(EventMouse* event);
    void dispatchKeyboardEvent(EventKeyboard* event);
    // Calls `call` with each listener of the kind that can hear now, in order, until one
    // stops the event.
    template <class Listener, class Call>
    void deliverToEach(EventListener::Type type, Event* event, Call call);
    template <class Fn>
    void forTargets(Node* target, bool recursive, Fn fn);

    std::vector<EventListener*> _listeners;  // one reference each, in order of registration
    std::uint64_t _nextAddOrder = 1;
    bool _isEnabled = true;
};

NS_CC_END
