// Node: the element of the scene graph. Owns its children (ordered by local z-order, then
// by order of arrival), carries position, anchor, size, scale, rotation, colour and opacity,
// and is the target of actions, scheduled callbacks and event listeners.
// Depends on base/ and math/; knows the renderer only through the draw hooks.
#pragma once

#include <sys/types.h>
#include <cstdint>
#include <string>

#include "base/Ref.h"
#include "base/Scheduler.h"
#include "base/Types.h"
#include "base/Vector.h"
#include "math/AffineTransform.h"
#include "math/Rect.h"
#include "math/Size.h"
#include "math/Vec2.h"
#include "math/Vec3.h"

NS_CC_BEGIN

class Action;
class ActionManager;
class EventDispatcher;
class Renderer;
class Touch;

// Subclasses that override some of the addChild overloads (or removeChild) should add
// `using Node::addChild;` so the others stay visible (warnings are errors here).
class Node : public Ref {
public:
    static const int INVALID_TAG = -1;

    // A plain node: anchor (0, 0), no size.
    static Node* create();

    // --- hierarchy ---
    // Adds a child with its own local z-order and name.
    virtual void addChild(Node* child);
    // Adds a child drawn in the given local z-order.
    virtual void addChild(Node* child, int localZOrder);
    // Adds a child with a z-order and a tag.
    virtual void addChild(Node* child, int localZOrder, int tag);
    // Adds a child with a z-order and a name.
    virtual void addChild(Node* child, int localZOrder, const std::string& name);
    // First child with the tag, or nullptr.
    virtual Node* getChildByTag(int tag) const;
    // First child with the name, or nullptr.
    virtual Node* getChildByName(const std::string& name) const;
    // The children, in order of arrival until the next draw sorts them by z-order.
    virtual Vector<Node*>& getChildren() { return _children; }
    virtual const Vector<Node*>& getChildren() const { return _children; }
    // Number of children.
    virtual ssize_t getChildrenCount() const { return static_cast<ssize_t>(_children.size()); }
    // The node this one is a child of, or nullptr.
    virtual Node* getParent() { return _parent; }
    virtual const Node* getParent() const { return _parent; }

    // Takes the node out of its parent, with clean-up.
    virtual void removeFromParent();
    // Takes the node out of its parent; cleanup stops its actions and callbacks.
    virtual void removeFromParentAndCleanup(bool cleanup);
    // Takes a child out; cleanup stops its actions and callbacks (recursively).
    virtual void removeChild(Node* child, bool cleanup = true);
    // Takes out the first child with the tag.
    virtual void removeChildByTag(int tag, bool cleanup = true);
    // Takes out the first child with the name.
    virtual void removeChildByName(const std::string& name, bool cleanup = true);
    // Takes out every child, with clean-up.
    virtual void removeAllChildren();
    // Takes out every child.
    virtual void removeAllChildrenWithCleanup(bool cleanup);
    // Gives a child a new local z-order.
    virtual void reorderChild(Node* child, int localZOrder);
    // Sorts the children by (local z-order, order of arrival) if anything changed.
    virtual void sortAllChildren();

    // Drawing order among siblings: lower first; negative before the parent itself.
    virtual void setLocalZOrder(int localZOrder);
    virtual int getLocalZOrder() const { return _localZOrder; }
    // Order of the node's render commands across the whole scene (0 for nearly everything).
    virtual void setGlobalZOrder(float globalZOrder);

    virtual void setTag(int tag) { _tag = tag; }
    virtual int getTag() const { return _tag; }
    virtual void setName(const std::string& name) { _name = name; }
    virtual const std::string& getName() const { return _name; }

    // --- geometry ---
    // Position of the anchor point in the parent's space.
    virtual void setPosition(const Vec2& position);
    virtual void setPosition(float x, float y) { setPosition(Vec2(x, y)); }
    virtual const Vec2& getPosition() const { return _position; }
    virtual void setPositionX(float x) { setPosition(Vec2(x, _position.y)); }
    virtual void setPositionY(float y) { setPosition(Vec2(_position.x, y)); }
    virtual float getPositionX() const { return _position.x; }
    virtual float getPositionY() const { return _position.y; }

    // Anchor as a fraction of the content size: the pivot of position, scale and rotation.
    virtual void setAnchorPoint(const Vec2& anchor);
    virtual const Vec2& getAnchorPoint() const { return _anchorPoint; }
    // The anchor in points within the node's own space.
    virtual const Vec2& getAnchorPointInPoints() const { return _anchorPointInPoints; }
    // When set, position places the node's bottom-left corner (scenes and layers).
    virtual void setIgnoreAnchorPointForPosition(bool ignore);
    virtual bool isIgnoreAnchorPointForPosition() const { return _ignoreAnchorPointForPosition; }
    // The older cocos2d name of setIgnoreAnchorPointForPosition.
    void ignoreAnchorPointForPosition(bool ignore) { setIgnoreAnchorPointForPosition(ignore); }

    // Untransformed extent of the node.
    virtual void setContentSize(const Size& size);
    virtual const Size& getContentSize() const { return _contentSize; }

    // Uniform scale.
    virtual void setScale(float scale);
    // Separate horizontal and vertical scales.
    virtual void setScale(float scaleX, float scaleY);
    virtual void setScaleX(float scaleX);
    virtual void setScaleY(float scaleY);
    // The horizontal scale (cocos2d reports scaleX for the uniform scale too).
    virtual float getScale() const { return _scaleX; }
    virtual float getScaleX() const { return _scaleX; }
    virtual float getScaleY() const { return _scaleY; }

    // Rotation in degrees, clockwise.
    virtual void setRotation(float degrees);
    virtual float getRotation() const { return _rotation3D.z; }
    // Rotation about x, y and z in degrees; y is drawn as a horizontal squeeze by |cos y|,
    // x as a vertical one, z as the ordinary rotation. A turned node is never mirrored.
    virtual void setRotation3D(const Vec3& rotation);
    virtual Vec3 getRotation3D() const { return _rotation3D; }

    // Hidden nodes and their children are not drawn (they still receive input).
    virtual void setVisible(bool visible);
    virtual bool isVisible() const { return _visible; }

    // --- colour and opacity ---
    virtual void setOpacity(GLubyte opacity);
    virtual GLubyte getOpacity() const { return _realOpacity; }
    // Own opacity times the parent's displayed opacity / 255 when the parent cascades.
    virtual GLubyte getDisplayedOpacity() const;
    // Whether this node's opacity also fades its children.
    virtual void setCascadeOpacityEnabled(bool enabled);
    virtual bool isCascadeOpacityEnabled() const { return _cascadeOpacityEnabled; }

    virtual void setColor(const Color3B& color);
    virtual const Color3B& getColor() const { return _realColor; }
    // Own colour times the parent's displayed colour / 255 when the parent cascades.
    virtual Color3B getDisplayedColor() const;
    // Whether this node's colour also tints its children.
    virtual void setCascadeColorEnabled(bool enabled);
    virtual bool isCascadeColorEnabled() const { return _cascadeColorEnabled; }

    // --- transforms ---
    // Maps the node's own space to its parent's.
    virtual AffineTransform getNodeToParentTransform() const;
    // Maps the node's own space to the scene (design coordinates, origin bottom left).
    virtual AffineTransform getNodeToWorldTransform() const;
    virtual AffineTransform getWorldToNodeTransform() const;
    // The content rectangle as seen in the parent's space (enclosing box when rotated).
    virtual Rect getBoundingBox() const;

    // World point to the node's space (origin at its bottom-left corner).
    Vec2 convertToNodeSpace(const Vec2& worldPoint) const;
    // Node point (origin at its bottom-left corner) to the world.
    Vec2 convertToWorldSpace(const Vec2& nodePoint) const;
    // A touch's location in the node's space.
    Vec2 convertTouchToNodeSpace(Touch* touch) const;

    // --- life cycle ---
    // Second phase of creation; false makes create() fail.
    virtual bool init();
    // Called when the node joins the running scene: resumes its callbacks, actions and
    // listeners. Overrides must call the base.
    virtual void onEnter();
    virtual void onEnterTransitionDidFinish();
    virtual void onExitTransitionDidStart();
    // Called when the node leaves the running scene: pauses them. Overrides call the base.
    virtual void onExit();
    // Stops all actions and scheduled callbacks of the node and its children.
    virtual void cleanup();
    // True while the node is part of the running scene.
    virtual bool isRunning() const { return _running; }

    // --- drawing ---
    // Draws the subtree: children with negative z-order, the node, then the others.
    virtual void visit(Renderer* renderer, const Mat4& parentTransform, std::uint32_t parentFlags);
    // Adds the node's own render commands; transform maps its space to the world.
    virtual void draw(Renderer* renderer, const Mat4& transform, std::uint32_t flags);

    // --- actions ---
    // Starts an action on this node (paused until the node runs).
    virtual Action* runAction(Action* action);
    virtual void stopAllActions();
    virtual void stopAction(Action* action);
    virtual void stopActionByTag(int tag);
    virtual Action* getActionByTag(int tag);
    virtual ssize_t getNumberOfRunningActions() const;
    virtual ActionManager* getActionManager() const;
    virtual Scheduler* getScheduler() const;
    virtual EventDispatcher* getEventDispatcher() const;

    // --- scheduling ---
    // Calls the callback every frame under the key.
    void schedule(const ccSchedulerFunc& callback, const std::string& key);
    // Calls the callback every `interval` seconds under the key.
    void schedule(const ccSchedulerFunc& callback, float interval, const std::string& key);
    // Calls it repeat + 1 times, every `interval` seconds after `delay`.
    void schedule(const ccSchedulerFunc& callback, float interval, unsigned int repeat, float delay,
                  const std::string& key);
    // Calls it once after `delay` seconds.
    void scheduleOnce(const ccSchedulerFunc& callback, float delay, const std::string& key);
    // True while the keyed callback is scheduled.
    bool isScheduled(const std::string& key) const;
    // Stops the keyed callback.
    void unschedule(const std::string& key);
    // Stops every scheduled callback of the node, update included.
    void unscheduleAllCallbacks();
    // Calls update(dt) every frame.
    void scheduleUpdate();
    // Calls update(dt) every frame, lower priorities first.
    void scheduleUpdateWithPriority(int priority);
    void unscheduleUpdate();
    // The per-frame hook of scheduleUpdate.
    virtual void update(float delta);
    // Holds / releases the node's callbacks, actions and listeners.
    virtual void pause();
    virtual void resume();

    ~Node() override;

protected:
    Node();
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    // Tells the director the scene must be drawn again (only while the node runs).
    void markSceneDirty() const;
    // Takes the child out of the children (shared by the removal operations).
    void detachChild(Node* child, bool cleanup);
    // Adds a child; the public overloads set tag or name first.
    void insertChild(Node* child, int localZOrder);

    Node* _parent = nullptr;
    Vector<Node*> _children;
    int _localZOrder = 0;
    float _globalZOrder = 0.f;
    std::uint64_t _orderOfArrival = 0;
    bool _reorderChildDirty = false;
    int _tag = INVALID_TAG;
    std::string _name;

    Vec2 _position;
    Vec2 _anchorPoint;
    Vec2 _anchorPointInPoints;
    bool _ignoreAnchorPointForPosition = false;
    Size _contentSize;
    float _scaleX = 1.f;
    float _scaleY = 1.f;
    Vec3 _rotation3D;
    bool _visible = true;

    GLubyte _realOpacity = 255;
    Color3B _realColor = Color3B::WHITE;
    bool _cascadeOpacityEnabled = false;
    bool _cascadeColorEnabled = false;

    bool _running = false;
};

NS_CC_END
