// A fixed window onto a larger content layer: one-finger drag with a start threshold,
// coasting after a flick, two-finger pinch zoom, bounds with optional spring-back, and
// clipping of the content to the window. Depends on the engine only.
#pragma once

#include <cstdint>
#include <string>

#include "cocos2d.h"
#include "widgets/FieldScrollViewDelegate.h"

class FieldScrollView : public cocos2d::Layer, public cocos2d::ActionTweenDelegate {
public:
    enum class ScrollAxis { Horizontal = 0, Vertical = 1, Both = 2 };

    // A view of the given size, or nullptr if it cannot be initialised.
    static FieldScrollView* create(const cocos2d::Size& viewSize);

    ~FieldScrollView() override;

    // Sets the size of the content layer (not of the view).
    void setContentSize(const cocos2d::Size& size) override;
    // The size of the content layer.
    const cocos2d::Size& getContentSize() const override;
    using cocos2d::Layer::addChild;
    // Adds a child to the content layer.
    void addChild(cocos2d::Node* child, int localZOrder, int tag) override;
    // Adds a child to the content layer.
    void addChild(cocos2d::Node* child, int localZOrder, const std::string& name) override;
    // Removes a child of the content layer.
    void removeChild(cocos2d::Node* child, bool cleanup = true) override;
    // Empties the content layer, with clean-up; the content layer itself stays.
    void removeAllChildren() override;
    // Empties the content layer; the content layer itself stays.
    void removeAllChildrenWithCleanup(bool cleanup) override;
    // Draws the subtree, clipped to viewRect() when clipToView is on.
    void visit(cocos2d::Renderer* renderer, const cocos2d::Mat4& parentTransform,
               std::uint32_t parentFlags) override;
    // Initialises a 200 x 200 view.
    bool init() override;
    // Second phase of creation with the view's size.
    bool initWithViewSize(const cocos2d::Size& viewSize);

    // Touch handlers of the view's own listener.
    virtual bool onTouchBegan(cocos2d::Touch* touch, cocos2d::Event* event);
    virtual void onTouchMoved(cocos2d::Touch* touch, cocos2d::Event* event);
    virtual void onTouchEnded(cocos2d::Touch* touch, cocos2d::Event* event);
    virtual void onTouchCancelled(cocos2d::Touch* touch, cocos2d::Event* event);
    // Chooses the axes along which a drag moves the content.
    virtual void setScrollAxis(ScrollAxis axis);
    // Applies a tweened value as the zoom.
    void updateTweenAction(float value, const std::string& key) override;

    // The content offset: the content's bottom-left corner from the view's.
    cocos2d::Vec2 offset() const;
    // Smallest offset per axis that keeps the view covered.
    cocos2d::Vec2 lowestOffset() const;
    // Largest offset per axis.
    cocos2d::Vec2 highestOffset() const;
    // Moves the content at once (y kept in bounds without spring-back; a running glide
    // stops), or glides there.
    void setOffset(const cocos2d::Vec2& offset, bool animated);
    // Glides the content to the offset (y kept in bounds without spring-back) with an
    // ease-out lasting `duration` seconds, taking over from a running glide or coast.
    void glideTo(const cocos2d::Vec2& offset, float duration);
    // Stops a running glide where the content is now.
    void stopGlide();
    // Glides the content back inside its bounds along the scroll axes, if it is outside.
    void settle();
    // Scrolls vertically by dy at once, as the mouse wheel does; a running glide stops.
    void scrollBy(float dy);
    // Zooms to the scale (kept within minZoom..maxZoom) about the view's centre.
    void setZoom(float scale);
    // The content's scale.
    float getZoom() const;
    // The view's rectangle in world coordinates.
    cocos2d::Rect viewRect() const;

    // The layer that holds every scrolled child.
    cocos2d::Layer* getContentLayer() const { return _contentLayer; }
    const cocos2d::Size& getViewSize() const { return _viewSize; }
    bool isDragging() const { return _dragging; }
    bool isTouchMoved() const { return _touchMoved; }
    // Touches the view owns now.
    std::size_t getTouchCount() const { return _touches.size(); }
    // True while coasting runs.
    bool isCoasting() const;

    // Receives onScrolled and onZoomed; not owned.
    FieldScrollViewDelegate* delegate = nullptr;
    float minZoom = 1.f;
    float maxZoom = 1.f;
    // The offset may pass the bounds and spring back.
    bool springBack = true;
    // Drawing of the content is clipped to the view.
    bool clipToView = true;

protected:
    FieldScrollView() = default;

private:
    void installTouchListener();
    bool isVisibleInScene() const;
    bool ownsTouch(cocos2d::Touch* touch) const;
    // Keeps y within the bounds when the offset may not pass them.
    cocos2d::Vec2 limitY(cocos2d::Vec2 offset) const;
    void moveContent(const cocos2d::Vec2& offset);
    void coast(float dt);
    void coastAxis(float position, float lowest, float highest, float dt, float& velocity,
                   signed char& state, float& target) const;
    void notifyScrolled();
    void beginClip();
    void endClip();

    ScrollAxis _scrollAxis = ScrollAxis::Both;
    bool _dragging = false;
    cocos2d::Layer* _contentLayer = nullptr;
    bool _touchMoved = false;
    cocos2d::Vec2 _lastStep;
    cocos2d::Vec2 _touchAnchor;
    float _pinchLength = 0.f;
    cocos2d::Vector<cocos2d::Touch*> _touches;
    cocos2d::Size _viewSize;
    cocos2d::Rect _enclosingClip;
    bool _restoreEnclosingClip = false;
    cocos2d::EventListenerTouchOneByOne* _touchListener = nullptr;  // one reference
    cocos2d::Vec2 _velocity;
    signed char _springState[2] = {0, 0};
    float _springTarget[2] = {0.f, 0.f};
    cocos2d::CustomCommand _beforeDrawCommand;
    cocos2d::CustomCommand _afterDrawCommand;
};
