#include "2d/Node.h"

#include <algorithm>
#include <cmath>

#include "2d/ActionManager.h"
#include "base/Director.h"
#include "base/EventDispatcher.h"
#include "base/Touch.h"
#include "renderer/Renderer.h"

NS_CC_BEGIN

namespace {
// Counts additions across the whole process, so siblings of equal z-order keep the order
// in which they arrived.
std::uint64_t s_globalOrderOfArrival = 1;
}  // namespace

Node* Node::create() {
    auto* node = new Node();
    if (node->init()) {
        node->autorelease();
        return node;
    }
    delete node;
    return nullptr;
}

Node::Node() = default;

Node::~Node() {
    for (Node* child : _children) {
        child->_parent = nullptr;
    }
    // Listeners do not retain their node and callbacks capture it: nothing may reach a
    // node once it is gone.
    Director* director = Director::getInstance();
    director->getEventDispatcher()->removeEventListenersForTarget(this);
    director->getScheduler()->unscheduleAllForTarget(this);
    director->getActionManager()->removeAllActionsFromTarget(this);
}

bool Node::init() {
    return true;
}

void Node::markSceneDirty() const {
    if (_running) {
        Director::getInstance()->markSceneDirty();
    }
}

// ---------------------------------------------------------------------------------------
// Hierarchy

void Node::addChild(Node* child) {
    CCASSERT(child != nullptr, "addChild of nullptr");
    addChild(child, child->_localZOrder, child->_name);
}

void Node::addChild(Node* child, int localZOrder) {
    CCASSERT(child != nullptr, "addChild of nullptr");
    addChild(child, localZOrder, child->_name);
}

void Node::addChild(Node* child, int localZOrder, int tag) {
    CCASSERT(child != nullptr, "addChild of nullptr");
    child->_tag = tag;
    insertChild(child, localZOrder);
}

void Node::addChild(Node* child, int localZOrder, const std::string& name) {
    CCASSERT(child != nullptr, "addChild of nullptr");
    child->_name = name;
    insertChild(child, localZOrder);
}

void Node::insertChild(Node* child, int localZOrder) {
    CCASSERT(child->_parent == nullptr, "child already has a parent");
    CCASSERT(child != this, "a node cannot be its own child");
    _children.pushBack(child);
    child->_localZOrder = localZOrder;
    child->_orderOfArrival = s_globalOrderOfArrival++;
    child->_parent = this;
    _reorderChildDirty = true;
    if (_running) {
        child->onEnter();
        child->onEnterTransitionDidFinish();
    }
    markSceneDirty();
}

Node* Node::getChildByTag(int tag) const {
    CCASSERT(tag != INVALID_TAG, "getChildByTag with the invalid tag");
    for (Node* child : _children) {
        if (child->_tag == tag) {
            return child;
        }
    }
    return nullptr;
}

Node* Node::getChildByName(const std::string& name) const {
    for (Node* child : _children) {
        if (child->_name == name) {
            return child;
        }
    }
    return nullptr;
}

void Node::removeFromParent() {
    removeFromParentAndCleanup(true);
}

void Node::removeFromParentAndCleanup(bool cleanup) {
    if (_parent != nullptr) {
        _parent->removeChild(this, cleanup);
    }
}

void Node::removeChild(Node* child, bool cleanup) {
    if (child == nullptr || child->_parent != this) {
        return;
    }
    detachChild(child, cleanup);
}

void Node::detachChild(Node* child, bool cleanup) {
    // Keep the child alive through its own exit handlers, which may remove it again.
    child->retain();
    if (_running) {
        child->onExitTransitionDidStart();
        child->onExit();
    }
    if (cleanup) {
        child->cleanup();
    }
    if (child->_parent == this) {
        child->_parent = nullptr;
        _children.eraseObject(child);
        if (_running) {
            Director::getInstance()->markSceneDirty();
        }
    }
    child->release();
}

void Node::removeChildByTag(int tag, bool cleanup) {
    Node* child = getChildByTag(tag);
    if (child != nullptr) {
        removeChild(child, cleanup);
    }
}

void Node::removeChildByName(const std::string& name, bool cleanup) {
    Node* child = getChildByName(name);
    if (child != nullptr) {
        removeChild(child, cleanup);
    }
}

void Node::removeAllChildren() {
    removeAllChildrenWithCleanup(true);
}

void Node::removeAllChildrenWithCleanup(bool cleanup) {
    // Work on a copy: exit handlers may change the list.
    Vector<Node*> children = _children;
    for (Node* child : children) {
        if (child->_parent == this) {
            detachChild(child, cleanup);
        }
    }
}

void Node::reorderChild(Node* child, int localZOrder) {
    CCASSERT(child != nullptr && child->_parent == this, "reorderChild of a node that is no child");
    child->_localZOrder = localZOrder;
    _reorderChildDirty = true;
    markSceneDirty();
}

void Node::sortAllChildren() {
    if (!_reorderChildDirty) {
        return;
    }
    std::stable_sort(_children.begin(), _children.end(), [](const Node* l, const Node* r) {
        if (l->_localZOrder != r->_localZOrder) {
            return l->_localZOrder < r->_localZOrder;
        }
        return l->_orderOfArrival < r->_orderOfArrival;
    });
    _reorderChildDirty = false;
}

void Node::setLocalZOrder(int localZOrder) {
    if (_localZOrder == localZOrder) {
        return;
    }
    if (_parent != nullptr) {
        _parent->reorderChild(this, localZOrder);
    } else {
        _localZOrder = localZOrder;
    }
}

void Node::setGlobalZOrder(float globalZOrder) {
    if (_globalZOrder != globalZOrder) {
        _globalZOrder = globalZOrder;
        markSceneDirty();
    }
}

// ---------------------------------------------------------------------------------------
// Geometry

void Node::setPosition(const Vec2& position) {
    if (_position != position) {
        _position = position;
        markSceneDirty();
    }
}

void Node::setAnchorPoint(const Vec2& anchor) {
    if (_anchorPoint != anchor) {
        _anchorPoint = anchor;
        _anchorPointInPoints = Vec2(anchor.x * _contentSize.width, anchor.y * _contentSize.height);
        markSceneDirty();
    }
}

void Node::setIgnoreAnchorPointForPosition(bool ignore) {
    if (_ignoreAnchorPointForPosition != ignore) {
        _ignoreAnchorPointForPosition = ignore;
        markSceneDirty();
    }
}

void Node::setContentSize(const Size& size) {
    if (_contentSize != size) {
        _contentSize = size;
        _anchorPointInPoints =
            Vec2(_anchorPoint.x * _contentSize.width, _anchorPoint.y * _contentSize.height);
        markSceneDirty();
    }
}

void Node::setScale(float scale) {
    setScale(scale, scale);
}

void Node::setScale(float scaleX, float scaleY) {
    if (_scaleX != scaleX || _scaleY != scaleY) {
        _scaleX = scaleX;
        _scaleY = scaleY;
        markSceneDirty();
    }
}

void Node::setScaleX(float scaleX) {
    setScale(scaleX, _scaleY);
}

void Node::setScaleY(float scaleY) {
    setScale(_scaleX, scaleY);
}

void Node::setRotation(float degrees) {
    setRotation3D(Vec3(_rotation3D.x, _rotation3D.y, degrees));
}

void Node::setRotation3D(const Vec3& rotation) {
    if (_rotation3D != rotation) {
        _rotation3D = rotation;
        markSceneDirty();
    }
}

void Node::setVisible(bool visible) {
    if (_visible != visible) {
        _visible = visible;
        markSceneDirty();
    }
}

// ---------------------------------------------------------------------------------------
// Colour and opacity

void Node::setOpacity(GLubyte opacity) {
    if (_realOpacity != opacity) {
        _realOpacity = opacity;
        markSceneDirty();
    }
}

GLubyte Node::getDisplayedOpacity() const {
    if (_parent == nullptr || !_parent->isCascadeOpacityEnabled()) {
        return _realOpacity;
    }
    return static_cast<GLubyte>(_realOpacity * _parent->getDisplayedOpacity() / 255);
}

void Node::setCascadeOpacityEnabled(bool enabled) {
    if (_cascadeOpacityEnabled != enabled) {
        _cascadeOpacityEnabled = enabled;
        markSceneDirty();
    }
}

void Node::setColor(const Color3B& color) {
    if (_realColor != color) {
        _realColor = color;
        markSceneDirty();
    }
}

Color3B Node::getDisplayedColor() const {
    if (_parent == nullptr || !_parent->isCascadeColorEnabled()) {
        return _realColor;
    }
    Color3B p = _parent->getDisplayedColor();
    return Color3B(static_cast<GLubyte>(_realColor.r * p.r / 255),
                   static_cast<GLubyte>(_realColor.g * p.g / 255),
                   static_cast<GLubyte>(_realColor.b * p.b / 255));
}

void Node::setCascadeColorEnabled(bool enabled) {
    if (_cascadeColorEnabled != enabled) {
        _cascadeColorEnabled = enabled;
        markSceneDirty();
    }
}

// ---------------------------------------------------------------------------------------
// Transforms

AffineTransform Node::getNodeToParentTransform() const {
    // Turning about y (or x) is shown as a squeeze of the other axis; the absolute value
    // keeps the back of a turned card readable instead of mirrored.
    float sx = _scaleX * std::fabs(std::cos(CC_DEGREES_TO_RADIANS(_rotation3D.y)));
    float sy = _scaleY * std::fabs(std::cos(CC_DEGREES_TO_RADIANS(_rotation3D.x)));
    Vec2 anchor = _anchorPointInPoints;
    Vec2 position = _position;
    if (_ignoreAnchorPointForPosition) {
        position += Vec2(anchor.x * sx, anchor.y * sy);
    }
    AffineTransform t = AffineTransform::translation(position.x, position.y);
    if (_rotation3D.z != 0.f) {
        t = t * AffineTransform::rotationClockwise(_rotation3D.z);
    }
    t = t * AffineTransform::scaling(sx, sy);
    if (!anchor.isZero()) {
        t = t * AffineTransform::translation(-anchor.x, -anchor.y);
    }
    return t;
}

AffineTransform Node::getNodeToWorldTransform() const {
    AffineTransform t = getNodeToParentTransform();
    for (const Node* p = _parent; p != nullptr; p = p->_parent) {
        t = p->getNodeToParentTransform() * t;
    }
    return t;
}

AffineTransform Node::getWorldToNodeTransform() const {
    return getNodeToWorldTransform().getInversed();
}

Rect Node::getBoundingBox() const {
    Rect r(0.f, 0.f, _contentSize.width, _contentSize.height);
    return getNodeToParentTransform().transformRect(r);
}

Vec2 Node::convertToNodeSpace(const Vec2& worldPoint) const {
    return getWorldToNodeTransform().transformPoint(worldPoint);
}

Vec2 Node::convertToWorldSpace(const Vec2& nodePoint) const {
    return getNodeToWorldTransform().transformPoint(nodePoint);
}

Vec2 Node::convertTouchToNodeSpace(Touch* touch) const {
    CCASSERT(touch != nullptr, "convertTouchToNodeSpace of nullptr");
    return convertToNodeSpace(touch->getLocation());
}

// ---------------------------------------------------------------------------------------
// Life cycle

void Node::onEnter() {
    // Children first, as in cocos2d; a copy because handlers may add or remove nodes.
    Vector<Node*> children = _children;
    for (Node* child : children) {
        if (child->_parent == this) {
            child->onEnter();
        }
    }
    resume();
    _running = true;
    Director::getInstance()->markSceneDirty();
}

void Node::onEnterTransitionDidFinish() {
    Vector<Node*> children = _children;
    for (Node* child : children) {
        if (child->_parent == this) {
            child->onEnterTransitionDidFinish();
        }
    }
}

void Node::onExitTransitionDidStart() {
    Vector<Node*> children = _children;
    for (Node* child : children) {
        if (child->_parent == this) {
            child->onExitTransitionDidStart();
        }
    }
}

void Node::onExit() {
    pause();
    _running = false;
    Vector<Node*> children = _children;
    for (Node* child : children) {
        if (child->_parent == this) {
            child->onExit();
        }
    }
}

void Node::cleanup() {
    stopAllActions();
    unscheduleAllCallbacks();
    Vector<Node*> children = _children;
    for (Node* child : children) {
        child->cleanup();
    }
}

// ---------------------------------------------------------------------------------------
// Drawing

void Node::visit(Renderer* renderer, const Mat4& parentTransform, std::uint32_t parentFlags) {
    if (!_visible) {
        return;
    }
    Mat4 transform = parentTransform * getNodeToParentTransform();
    sortAllChildren();
    std::size_t i = 0;
    for (; i < _children.size() && _children.at(i)->_localZOrder < 0; ++i) {
        _children.at(i)->visit(renderer, transform, parentFlags);
    }
    draw(renderer, transform, parentFlags);
    for (; i < _children.size(); ++i) {
        _children.at(i)->visit(renderer, transform, parentFlags);
    }
}

void Node::draw(Renderer*, const Mat4&, std::uint32_t) {}

// ---------------------------------------------------------------------------------------
// Actions and scheduling

ActionManager* Node::getActionManager() const {
    return Director::getInstance()->getActionManager();
}

Scheduler* Node::getScheduler() const {
    return Director::getInstance()->getScheduler();
}

EventDispatcher* Node::getEventDispatcher() const {
    return Director::getInstance()->getEventDispatcher();
}

Action* Node::runAction(Action* action) {
    CCASSERT(action != nullptr, "runAction of nullptr");
    getActionManager()->addAction(action, this, !_running);
    return action;
}

void Node::stopAllActions() {
    getActionManager()->removeAllActionsFromTarget(this);
}

void Node::stopAction(Action* action) {
    getActionManager()->removeAction(action);
}

void Node::stopActionByTag(int tag) {
    getActionManager()->removeActionByTag(tag, this);
}

Action* Node::getActionByTag(int tag) {
    return getActionManager()->getActionByTag(tag, this);
}

ssize_t Node::getNumberOfRunningActions() const {
    return getActionManager()->getNumberOfRunningActionsInTarget(this);
}

void Node::schedule(const ccSchedulerFunc& callback, const std::string& key) {
    schedule(callback, 0.f, CC_REPEAT_FOREVER, 0.f, key);
}

void Node::schedule(const ccSchedulerFunc& callback, float interval, const std::string& key) {
    schedule(callback, interval, CC_REPEAT_FOREVER, 0.f, key);
}

void Node::schedule(const ccSchedulerFunc& callback, float interval, unsigned int repeat,
                    float delay, const std::string& key) {
    getScheduler()->schedule(callback, this, interval, repeat, delay, !_running, key);
}

void Node::scheduleOnce(const ccSchedulerFunc& callback, float delay, const std::string& key) {
    schedule(callback, 0.f, 0, delay, key);
}

bool Node::isScheduled(const std::string& key) const {
    return getScheduler()->isScheduled(key, this);
}

void Node::unschedule(const std::string& key) {
    getScheduler()->unschedule(key, this);
}

void Node::unscheduleAllCallbacks() {
    getScheduler()->unscheduleAllForTarget(this);
}

void Node::scheduleUpdate() {
    scheduleUpdateWithPriority(0);
}

void Node::scheduleUpdateWithPriority(int priority) {
    getScheduler()->scheduleUpdate(this, priority, !_running);
}

void Node::unscheduleUpdate() {
    getScheduler()->unscheduleUpdate(this);
}

void Node::update(float) {}

void Node::pause() {
    getScheduler()->pauseTarget(this);
    getActionManager()->pauseTarget(this);
    getEventDispatcher()->pauseEventListenersForTarget(this);
}

void Node::resume() {
    getScheduler()->resumeTarget(this);
    getActionManager()->resumeTarget(this);
    getEventDispatcher()->resumeEventListenersForTarget(this);
}

NS_CC_END
