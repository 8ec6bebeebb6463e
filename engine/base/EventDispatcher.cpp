#include "base/EventDispatcher.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "2d/Node.h"
#include "2d/Scene.h"
#include "base/Director.h"
#include "base/EventKeyboard.h"
#include "base/EventListenerKeyboard.h"
#include "base/EventListenerMouse.h"
#include "base/EventListenerTouchOneByOne.h"
#include "base/EventMouse.h"
#include "base/EventTouch.h"

NS_CC_BEGIN

namespace {

// Numbers the nodes in drawing order (children with negative z-order before their parent,
// then the parent, then the other children, siblings by z-order and arrival). Only nodes
// in `wanted` are recorded.
void numberInDrawingOrder(Node* node, const std::unordered_set<const Node*>& wanted,
                          std::unordered_map<const Node*, int>& order, int& counter) {
    node->sortAllChildren();
    const Vector<Node*>& children = node->getChildren();
    std::size_t i = 0;
    for (; i < children.size() && children.at(i)->getLocalZOrder() < 0; ++i) {
        numberInDrawingOrder(children.at(i), wanted, order, counter);
    }
    int mine = counter++;
    if (wanted.count(node) != 0) {
        order[node] = mine;
    }
    for (; i < children.size(); ++i) {
        numberInDrawingOrder(children.at(i), wanted, order, counter);
    }
}

// Holds one reference to each listener of a dispatch, so that removal during the dispatch
// never frees one under the dispatcher's feet.
class Snapshot {
public:
    explicit Snapshot(std::vector<EventListener*> listeners) : _listeners(std::move(listeners)) {
        for (EventListener* l : _listeners) {
            l->retain();
        }
    }
    ~Snapshot() {
        for (EventListener* l : _listeners) {
            l->release();
        }
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
    const std::vector<EventListener*>& listeners() const { return _listeners; }

private:
    std::vector<EventListener*> _listeners;
};

}  // namespace

EventDispatcher::~EventDispatcher() {
    removeAllEventListeners();
}

void EventDispatcher::registerListener(EventListener* listener) {
    CCASSERT(listener != nullptr, "registering nullptr as a listener");
    CCASSERT(!listener->_isRegistered, "the listener is registered already; register a clone");
    if (!listener->checkAvailable()) {
        return;
    }
    listener->retain();
    listener->_isRegistered = true;
    listener->_addOrder = _nextAddOrder++;
    _listeners.push_back(listener);
}

void EventDispatcher::addEventListenerWithSceneGraphPriority(EventListener* listener, Node* node) {
    CCASSERT(node != nullptr, "scene-graph priority needs a node");
    CCASSERT(listener != nullptr, "registering nullptr as a listener");
    listener->_node = node;
    listener->_fixedPriority = 0;
    listener->_paused = !node->isRunning();
    registerListener(listener);
}

void EventDispatcher::addEventListenerWithFixedPriority(EventListener* listener,
                                                        int fixedPriority) {
    CCASSERT(fixedPriority != 0, "priority 0 belongs to scene-graph listeners");
    CCASSERT(listener != nullptr, "registering nullptr as a listener");
    listener->_node = nullptr;
    listener->_fixedPriority = fixedPriority;
    listener->_paused = false;
    registerListener(listener);
}

void EventDispatcher::unregister(EventListener* listener) {
    auto it = std::find(_listeners.begin(), _listeners.end(), listener);
    if (it == _listeners.end()) {
        return;
    }
    _listeners.erase(it);
    listener->_isRegistered = false;
    listener->_node = nullptr;
    if (listener->_type == EventListener::Type::TOUCH_ONE_BY_ONE) {
        static_cast<EventListenerTouchOneByOne*>(listener)->_claimedTouches.clear();
    }
    listener->release();
}

void EventDispatcher::removeEventListener(EventListener* listener) {
    if (listener != nullptr && listener->_isRegistered) {
        unregister(listener);
    }
}

void EventDispatcher::removeEventListenersForType(EventListener::Type type) {
    std::vector<EventListener*> doomed;
    for (EventListener* l : _listeners) {
        if (l->_type == type) {
            doomed.push_back(l);
        }
    }
    for (EventListener* l : doomed) {
        unregister(l);
    }
}

template <class Fn>
void EventDispatcher::forTargets(Node* target, bool recursive, Fn fn) {
    if (target == nullptr) {
        return;
    }
    fn(target);
    if (recursive) {
        for (Node* child : target->getChildren()) {
            forTargets(child, true, fn);
        }
    }
}

void EventDispatcher::removeEventListenersForTarget(Node* target, bool recursive) {
    forTargets(target, recursive, [this](Node* node) {
        std::vector<EventListener*> doomed;
        for (EventListener* l : _listeners) {
            if (l->_node == node) {
                doomed.push_back(l);
            }
        }
        for (EventListener* l : doomed) {
            unregister(l);
        }
    });
}

void EventDispatcher::removeAllEventListeners() {
    std::vector<EventListener*> doomed = _listeners;
    for (EventListener* l : doomed) {
        unregister(l);
    }
}

void EventDispatcher::pauseEventListenersForTarget(Node* target, bool recursive) {
    forTargets(target, recursive, [this](Node* node) {
        for (EventListener* l : _listeners) {
            if (l->_node == node) {
                l->_paused = true;
            }
        }
    });
}

void EventDispatcher::resumeEventListenersForTarget(Node* target, bool recursive) {
    forTargets(target, recursive, [this](Node* node) {
        for (EventListener* l : _listeners) {
            if (l->_node == node) {
                l->_paused = false;
            }
        }
    });
}

void EventDispatcher::setPriority(EventListener* listener, int fixedPriority) {
    CCASSERT(listener != nullptr && listener->_node == nullptr,
             "setPriority is for fixed-priority listeners");
    CCASSERT(fixedPriority != 0, "priority 0 belongs to scene-graph listeners");
    listener->_fixedPriority = fixedPriority;
}

std::vector<EventListener*> EventDispatcher::orderedListeners(EventListener::Type type) const {
    std::vector<EventListener*> before, graph, after;
    std::unordered_set<const Node*> nodes;
    for (EventListener* l : _listeners) {
        if (l->_type != type) {
            continue;
        }
        if (l->_node != nullptr) {
            graph.push_back(l);
            nodes.insert(l->_node);
        } else if (l->_fixedPriority < 0) {
            before.push_back(l);
        } else {
            after.push_back(l);
        }
    }
    auto byPriority = [](const EventListener* a, const EventListener* b) {
        return a->_fixedPriority < b->_fixedPriority;
    };
    std::stable_sort(before.begin(), before.end(), byPriority);
    std::stable_sort(after.begin(), after.end(), byPriority);

    std::vector<EventListener*> result = std::move(before);
    if (!graph.empty()) {
        std::unordered_map<const Node*, int> order;
        Node* scene = Director::getInstance()->getRunningScene();
        if (scene != nullptr) {
            int counter = 0;
            numberInDrawingOrder(scene, nodes, order, counter);
        }
        // Listeners of nodes outside the running scene are left out.
        graph.erase(
            std::remove_if(graph.begin(), graph.end(),
                           [&order](const EventListener* l) { return order.count(l->_node) == 0; }),
            graph.end());
        // Topmost first; listeners of one node in order of registration.
        std::stable_sort(graph.begin(), graph.end(),
                         [&order](const EventListener* a, const EventListener* b) {
                             return order.at(a->_node) > order.at(b->_node);
                         });
        result.insert(result.end(), graph.begin(), graph.end());
    }
    result.insert(result.end(), after.begin(), after.end());
    return result;
}

bool EventDispatcher::canHear(const EventListener* listener) {
    return listener->_isRegistered && listener->_isEnabled && !listener->_paused &&
           (listener->_node == nullptr || listener->_node->isRunning());
}

void EventDispatcher::dispatchEvent(Event* event) {
    CCASSERT(event != nullptr, "dispatch of nullptr");
    if (!_isEnabled) {
        return;
    }
    switch (event->getType()) {
        case Event::Type::TOUCH:
            dispatchTouchEvent(static_cast<EventTouch*>(event));
            break;
        case Event::Type::MOUSE:
            dispatchMouseEvent(static_cast<EventMouse*>(event));
            break;
        case Event::Type::KEYBOARD:
            dispatchKeyboardEvent(static_cast<EventKeyboard*>(event));
            break;
        default:
            break;
    }
    event->setCurrentTarget(nullptr);
}

void EventDispatcher::dispatchTouchEvent(EventTouch* event) {
    Snapshot snapshot(orderedListeners(EventListener::Type::TOUCH_ONE_BY_ONE));
    const EventTouch::EventCode code = event->getEventCode();
    for (Touch* touch : event->getTouches()) {
        for (EventListener* l : snapshot.listeners()) {
            auto* listener = static_cast<EventListenerTouchOneByOne*>(l);
            if (!canHear(listener)) {
                continue;
            }
            bool claimed = false;
            if (code == EventTouch::EventCode::BEGAN) {
                event->setCurrentTarget(listener->_node);
                claimed = listener->onTouchBegan && listener->onTouchBegan(touch, event);
                if (claimed && listener->_isRegistered) {
                    listener->_claimedTouches.push_back(touch);
                }
            } else {
                auto& mine = listener->_claimedTouches;
                claimed = std::find(mine.begin(), mine.end(), touch) != mine.end();
                if (!claimed) {
                    continue;
                }
                event->setCurrentTarget(listener->_node);
                if (code == EventTouch::EventCode::MOVED) {
                    if (listener->onTouchMoved) {
                        listener->onTouchMoved(touch, event);
                    }
                } else {
                    // Drop the claim first: the handler may start a new gesture.
                    mine.erase(std::find(mine.begin(), mine.end(), touch));
                    const auto& handler = code == EventTouch::EventCode::ENDED
                                              ? listener->onTouchEnded
                                              : listener->onTouchCancelled;
                    if (handler) {
                        handler(touch, event);
                    }
                }
            }
            if (event->isStopped()) {
                break;
            }
            // Swallowing counts as it stands now, so a listener that turned it on during a
            // gesture keeps the rest of that gesture from the listeners below. A claim
            // stays swallowed even when the handler removed its own listener.
            if (claimed && listener->_needSwallow) {
                break;
            }
        }
        if (code == EventTouch::EventCode::ENDED || code == EventTouch::EventCode::CANCELLED) {
            // Claims of listeners that could not hear the end go too: the touch dies now.
            for (EventListener* l : _listeners) {
                if (l->_type == EventListener::Type::TOUCH_ONE_BY_ONE) {
                    auto& claims = static_cast<EventListenerTouchOneByOne*>(l)->_claimedTouches;
                    claims.erase(std::remove(claims.begin(), claims.end(), touch), claims.end());
                }
            }
        }
    }
}

template <class Listener, class Call>
void EventDispatcher::deliverToEach(EventListener::Type type, Event* event, Call call) {
    Snapshot snapshot(orderedListeners(type));
    for (EventListener* l : snapshot.listeners()) {
        if (!canHear(l)) {
            continue;
        }
        event->setCurrentTarget(l->_node);
        call(static_cast<Listener*>(l));
        if (event->isStopped()) {
            break;
        }
    }
}

void EventDispatcher::dispatchMouseEvent(EventMouse* event) {
    deliverToEach<EventListenerMouse>(
        EventListener::Type::MOUSE, event, [event](EventListenerMouse* listener) {
            const EventListenerMouse::ccMouseCallback* handler = nullptr;
            switch (event->getMouseEventType()) {
                case EventMouse::MouseEventType::MOUSE_DOWN:
                    handler = &listener->onMouseDown;
                    break;
                case EventMouse::MouseEventType::MOUSE_UP:
                    handler = &listener->onMouseUp;
                    break;
                case EventMouse::MouseEventType::MOUSE_MOVE:
                    handler = &listener->onMouseMove;
                    break;
                case EventMouse::MouseEventType::MOUSE_SCROLL:
                    handler = &listener->onMouseScroll;
                    break;
                default:
                    break;
            }
            if (handler != nullptr && *handler) {
                (*handler)(event);
            }
        });
}

void EventDispatcher::dispatchKeyboardEvent(EventKeyboard* event) {
    deliverToEach<EventListenerKeyboard>(
        EventListener::Type::KEYBOARD, event, [event](EventListenerKeyboard* listener) {
            const auto& handler =
                event->isPressed() ? listener->onKeyPressed : listener->onKeyReleased;
            if (handler) {
                handler(event->getKeyCode(), event);
            }
        });
}

NS_CC_END
