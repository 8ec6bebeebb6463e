#include "widgets/FieldScrollView.h"

#include <algorithm>
#include <cmath>

USING_NS_CC;

namespace {
const char* const kCoastKey = "FieldScrollView.coast";
const char* const kGlideKey = "FieldScrollView.glide";
constexpr std::size_t kTouchCapacity = 15;
// More touches than a pinch needs are not taken.
constexpr std::size_t kMaxTouches = 3;
// A drag must pass 7/160 inch before it moves anything.
constexpr float kDragThresholdInches = 7.f / 160.f;
// Beyond the bounds a drag moves the content at a little over a third of the pointer's speed.
constexpr float kOutOfBoundsDamping = 0.35f;
constexpr float kFlickShare = 0.5f;
constexpr float kStopSpeed = 0.01f;
constexpr float kFriction = 0.96f;
constexpr float kSpringDamping = 0.55f;
constexpr float kSpringBrakeSeconds = 0.15f;
constexpr float kSpringReturnSeconds = 0.1f;
constexpr float kSetOffsetGlide = 0.3f;
// Tag of the glide's action sequence on the content layer.
constexpr int kGlideTag = 0x476c6964;
}  // namespace

FieldScrollView* FieldScrollView::create(const Size& viewSize) {
    auto* view = new FieldScrollView();
    if (view->initWithViewSize(viewSize)) {
        view->autorelease();
        return view;
    }
    delete view;
    return nullptr;
}

FieldScrollView::~FieldScrollView() {
    if (_touchListener != nullptr) {
        getEventDispatcher()->removeEventListener(_touchListener);
        _touchListener->release();
    }
    // A glide's last step calls back into this view; the content may outlive it.
    if (_contentLayer != nullptr) {
        _contentLayer->stopAllActions();
    }
}

bool FieldScrollView::init() {
    return initWithViewSize(Size(200.f, 200.f));
}

bool FieldScrollView::initWithViewSize(const Size& viewSize) {
    if (!Layer::init()) {
        return false;
    }
    _contentLayer = Layer::create();
    _contentLayer->setIgnoreAnchorPointForPosition(false);
    _contentLayer->setAnchorPoint(Vec2::ZERO);
    _viewSize = viewSize;
    Node::setContentSize(viewSize);
    installTouchListener();
    _touches.reserve(kTouchCapacity);
    delegate = nullptr;
    springBack = true;
    clipToView = true;
    _scrollAxis = ScrollAxis::Both;
    _contentLayer->setPosition(Vec2::ZERO);
    _pinchLength = 0.f;
    Node::addChild(_contentLayer, _contentLayer->getLocalZOrder(), _contentLayer->getName());
    minZoom = maxZoom = 1.f;
    _velocity = Vec2::ZERO;
    _springState[0] = _springState[1] = 0;
    _beforeDrawCommand.func = [this]() { beginClip(); };
    _afterDrawCommand.func = [this]() { endClip(); };
    return true;
}

void FieldScrollView::installTouchListener() {
    if (_touchListener != nullptr) {
        getEventDispatcher()->removeEventListener(_touchListener);
        _touchListener->release();
    }
    _touchListener = EventListenerTouchOneByOne::create();
    _touchListener->retain();
    _touchListener->onTouchBegan = CC_CALLBACK_2(FieldScrollView::onTouchBegan, this);
    _touchListener->onTouchMoved = CC_CALLBACK_2(FieldScrollView::onTouchMoved, this);
    _touchListener->onTouchEnded = CC_CALLBACK_2(FieldScrollView::onTouchEnded, this);
    _touchListener->onTouchCancelled = CC_CALLBACK_2(FieldScrollView::onTouchCancelled, this);
    _touchListener->setSwallowTouches(true);
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(_touchListener, this);
}

// ---------------------------------------------------------------------------------------
// Children go to the content layer

void FieldScrollView::setContentSize(const Size& size) {
    _contentLayer->setContentSize(size);
}

const Size& FieldScrollView::getContentSize() const {
    return _contentLayer->getContentSize();
}

void FieldScrollView::addChild(Node* child, int localZOrder, int tag) {
    if (child == _contentLayer) {
        Layer::addChild(child, localZOrder, tag);
    } else {
        _contentLayer->addChild(child, localZOrder, tag);
    }
}

void FieldScrollView::addChild(Node* child, int localZOrder, const std::string& name) {
    if (child == _contentLayer) {
        Layer::addChild(child, localZOrder, name);
    } else {
        _contentLayer->addChild(child, localZOrder, name);
    }
}

void FieldScrollView::removeChild(Node* child, bool cleanup) {
    if (child == _contentLayer) {
        Layer::removeChild(child, cleanup);
    } else {
        _contentLayer->removeChild(child, cleanup);
    }
}

void FieldScrollView::removeAllChildren() {
    removeAllChildrenWithCleanup(true);
}

void FieldScrollView::removeAllChildrenWithCleanup(bool cleanup) {
    _contentLayer->removeAllChildrenWithCleanup(cleanup);
}

// ---------------------------------------------------------------------------------------
// Offset and zoom

Vec2 FieldScrollView::offset() const {
    return _contentLayer->getPosition();
}

Vec2 FieldScrollView::highestOffset() const {
    const Size c = _contentLayer->getContentSize();
    const Vec2 a = _contentLayer->isIgnoreAnchorPointForPosition()
                       ? Vec2::ZERO
                       : _contentLayer->getAnchorPoint();
    return Vec2(a.x * c.width * _contentLayer->getScaleX(),
                a.y * c.height * _contentLayer->getScaleY());
}

Vec2 FieldScrollView::lowestOffset() const {
    const Size c = _contentLayer->getContentSize();
    const Vec2 a = _contentLayer->isIgnoreAnchorPointForPosition()
                       ? Vec2::ZERO
                       : _contentLayer->getAnchorPoint();
    return Vec2(_viewSize.width - (1.f - a.x) * c.width * _contentLayer->getScaleX(),
                _viewSize.height - (1.f - a.y) * c.height * _contentLayer->getScaleY());
}

Vec2 FieldScrollView::limitY(Vec2 offset) const {
    if (!springBack) {
        // The lowest bound wins when the content is lower than the view: its top then
        // stands at the view's top.
        offset.y = std::min(offset.y, highestOffset().y);
        const float lowest = lowestOffset().y;
        if (!(offset.y > lowest)) {
            offset.y = lowest;
        }
    }
    return offset;
}

void FieldScrollView::moveContent(const Vec2& offset) {
    _contentLayer->setPosition(offset);
    notifyScrolled();
}

void FieldScrollView::notifyScrolled() {
    if (delegate != nullptr) {
        delegate->onScrolled(this);
    }
}

void FieldScrollView::setOffset(const Vec2& offset, bool animated) {
    if (animated) {
        glideTo(offset, kSetOffsetGlide);
    } else {
        stopGlide();
        moveContent(limitY(offset));
    }
}

void FieldScrollView::stopGlide() {
    _contentLayer->stopActionByTag(kGlideTag);
    unschedule(kGlideKey);
}

void FieldScrollView::glideTo(const Vec2& offset, float duration) {
    // Moves of one node add up: a glide or coast left running would carry its rest past
    // this glide's end, and past the bounds. The new glide takes over, aimed inside them.
    stopGlide();
    unschedule(kCoastKey);
    _velocity = Vec2::ZERO;
    auto* move = EaseExponentialOut::create(MoveTo::create(duration, limitY(offset)));
    auto* done = CallFunc::create([this]() {
        unschedule(kGlideKey);
        notifyScrolled();
    });
    Action* glide = Sequence::create(move, done, nullptr);
    glide->setTag(kGlideTag);
    _contentLayer->runAction(glide);
    schedule(
        [this](float) {
            if (_dragging) {
                unschedule(kGlideKey);
            } else {
                notifyScrolled();
            }
        },
        kGlideKey);
}

void FieldScrollView::settle() {
    const Vec2 lowest = lowestOffset();
    const Vec2 highest = highestOffset();
    const Vec2 p = offset();
    Vec2 target = p;
    if (_scrollAxis != ScrollAxis::Vertical) {
        target.x = std::min(std::max(p.x, lowest.x), highest.x);
    }
    if (_scrollAxis != ScrollAxis::Horizontal) {
        target.y = std::max(std::min(p.y, highest.y), lowest.y);
    }
    if (target != p) {
        setOffset(target, true);
    }
}

void FieldScrollView::scrollBy(float dy) {
    setOffset(offset() + Vec2(0.f, dy), false);
}

void FieldScrollView::setZoom(float scale) {
    if (scale == _contentLayer->getScale()) {
        return;
    }
    const Vec2 centre = convertToWorldSpace(Vec2(_viewSize.width / 2.f, _viewSize.height / 2.f));
    const Vec2 pinned = _contentLayer->convertToNodeSpace(centre);
    scale = std::min(scale, maxZoom);
    if (!(scale > minZoom)) {
        scale = minZoom;
    }
    _contentLayer->setScale(scale);
    const Vec2 moved = _contentLayer->convertToWorldSpace(pinned);
    if (delegate != nullptr) {
        delegate->onZoomed(this);
    }
    moveContent(limitY(_contentLayer->getPosition() + (centre - moved)));
}

float FieldScrollView::getZoom() const {
    return _contentLayer->getScale();
}

void FieldScrollView::updateTweenAction(float value, const std::string&) {
    setZoom(value);
}

Rect FieldScrollView::viewRect() const {
    Vec2 origin = convertToWorldSpace(Vec2::ZERO);
    float scaleX = getScaleX();
    float scaleY = getScaleY();
    for (const Node* p = getParent(); p != nullptr; p = p->getParent()) {
        scaleX *= p->getScaleX();
        scaleY *= p->getScaleY();
    }
    // A mirrored view still clips to the rectangle it covers.
    if (scaleX < 0.f) {
        origin.x += _viewSize.width * scaleX;
        scaleX = -scaleX;
    }
    if (scaleY < 0.f) {
        origin.y += _viewSize.height * scaleY;
        scaleY = -scaleY;
    }
    return Rect(origin.x, origin.y, _viewSize.width * scaleX, _viewSize.height * scaleY);
}

void FieldScrollView::setScrollAxis(ScrollAxis axis) {
    _scrollAxis = axis;
}

// ---------------------------------------------------------------------------------------
// Touches

bool FieldScrollView::isVisibleInScene() const {
    for (const Node* n = this; n != nullptr; n = n->getParent()) {
        if (!n->isVisible()) {
            return false;
        }
    }
    return true;
}

bool FieldScrollView::ownsTouch(Touch* touch) const {
    return _touches.contains(touch);
}

bool FieldScrollView::onTouchBegan(Touch* touch, Event*) {
    if (!isVisibleInScene()) {
        return false;
    }
    if (_touches.size() >= kMaxTouches || _touchMoved ||
        !viewRect().containsPoint(touch->getLocation())) {
        return false;
    }
    if (!ownsTouch(touch)) {
        _touches.pushBack(touch);
    }
    if (_touches.size() == 1) {
        // The finger takes over from a glide, as it does from coasting.
        stopGlide();
        _touchAnchor = convertTouchToNodeSpace(touch);
        _touchMoved = false;
        _dragging = true;
        _lastStep = Vec2::ZERO;
        _pinchLength = 0.f;
        _velocity = Vec2::ZERO;
        _springState[0] = _springState[1] = 0;
    } else if (_touches.size() == 2) {
        Touch* a = _touches.at(0);
        Touch* b = _touches.at(1);
        _touchAnchor = convertTouchToNodeSpace(a).getMidpoint(convertTouchToNodeSpace(b));
        _pinchLength = _contentLayer->convertTouchToNodeSpace(a).distance(
            _contentLayer->convertTouchToNodeSpace(b));
        _dragging = false;
    }
    return true;
}

void FieldScrollView::onTouchMoved(Touch* touch, Event*) {
    if (!isVisibleInScene() || !ownsTouch(touch)) {
        return;
    }
    if (_touches.size() == 1 && _dragging) {
        const Vec2 point = convertTouchToNodeSpace(touch);
        Vec2 step = point - _touchAnchor;
        const float travel = _scrollAxis == ScrollAxis::Vertical     ? step.y
                             : _scrollAxis == ScrollAxis::Horizontal ? step.x
                                                                     : step.length();
        const Vec2 position = _contentLayer->getPosition();
        const Vec2 lowest = lowestOffset();
        const Vec2 highest = highestOffset();
        if (_scrollAxis != ScrollAxis::Horizontal &&
            (position.y < lowest.y || position.y > highest.y)) {
            step.y *= kOutOfBoundsDamping;
        }
        if (_scrollAxis != ScrollAxis::Vertical &&
            (position.x < lowest.x || position.x > highest.x)) {
            step.x *= kOutOfBoundsDamping;
        }
        if (!_touchMoved) {
            const GLView* glview = Director::getInstance()->getOpenGLView();
            const float pointsPerDesign =
                glview != nullptr ? (glview->getScaleX() + glview->getScaleY()) / 2.f : 1.f;
            const float inches = travel * pointsPerDesign / static_cast<float>(Device::getDPI());
            if (std::fabs(inches) < kDragThresholdInches) {
                return;
            }
            // The step that passes the threshold only starts the drag, so the content does
            // not jump by the threshold.
            step = Vec2::ZERO;
        }
        _touchAnchor = point;
        _touchMoved = true;
        if (_scrollAxis == ScrollAxis::Vertical) {
            step.x = 0.f;
        } else if (_scrollAxis == ScrollAxis::Horizontal) {
            step.y = 0.f;
        }
        _lastStep = step;
        setOffset(position + step, false);
    } else if (_touches.size() == 2 && !_dragging) {
        // Two touches that started on one point give no scale to compare with.
        if (_pinchLength == 0.f) {
            return;
        }
        const float length = _contentLayer->convertTouchToNodeSpace(_touches.at(0))
                                 .distance(_contentLayer->convertTouchToNodeSpace(_touches.at(1)));
        setZoom(_contentLayer->getScale() * length / _pinchLength);
    }
}

void FieldScrollView::onTouchEnded(Touch* touch, Event*) {
    // A touch that ends while the view is hidden still leaves the list; otherwise a
    // stale touch would keep the view from taking any touch again.
    if (ownsTouch(touch)) {
        if (isVisibleInScene()) {
            if (_touches.size() == 1 && _touchMoved) {
                schedule(CC_CALLBACK_1(FieldScrollView::coast, this), kCoastKey);
                Vec2 v = _lastStep * kFlickShare;
                // Away from zero, so that coasting runs at least one frame before it settles.
                v.x += v.x > 0.f ? kStopSpeed : -kStopSpeed;
                v.y += v.y > 0.f ? kStopSpeed : -kStopSpeed;
                // Coasting never moves the content across the scroll axis.
                if (_scrollAxis == ScrollAxis::Vertical) {
                    v.x = 0.f;
                } else if (_scrollAxis == ScrollAxis::Horizontal) {
                    v.y = 0.f;
                }
                _velocity = v;
            } else if (_touches.size() == 2) {
                schedule(CC_CALLBACK_1(FieldScrollView::coast, this), kCoastKey);
            }
        }
        _touches.eraseObject(touch);
    }
    if (_touches.empty()) {
        _dragging = false;
        _touchMoved = false;
    }
}

void FieldScrollView::onTouchCancelled(Touch* touch, Event*) {
    if (!ownsTouch(touch)) {
        return;
    }
    _touches.eraseObject(touch);
    if (_touches.empty()) {
        _dragging = false;
        _touchMoved = false;
    }
}

// ---------------------------------------------------------------------------------------
// Coasting

bool FieldScrollView::isCoasting() const {
    return isScheduled(kCoastKey);
}

void FieldScrollView::coastAxis(float position, float lowest, float highest, float dt,
                                float& velocity, signed char& state, float& target) const {
    const float next = position + velocity;
    if (state == 0) {
        if (std::fabs(velocity) < kStopSpeed) {
            velocity = 0.f;
            return;
        }
        if (!springBack) {
            // A step that would cross a bound stops the axis where it is.
            if (next > highest || next < lowest) {
                velocity = 0.f;
            }
        } else if (next > highest) {
            target = highest;
            state = -1;
        } else if (next < lowest) {
            target = lowest;
            state = 1;
        }
        velocity *= kFriction;
        return;
    }
    if (target * state <= state * position) {
        velocity *= kSpringDamping;
    } else if (velocity * state < 0.f) {
        velocity += (target - next) / (kSpringBrakeSeconds / dt);
    } else {
        velocity = (target - next) / (kSpringReturnSeconds / dt);
        if (std::fabs(velocity) < kStopSpeed) {
            state = 0;
            velocity = 0.f;
        }
    }
}

void FieldScrollView::coast(float dt) {
    if (_dragging) {
        unschedule(kCoastKey);
        return;
    }
    const Vec2 position = _contentLayer->getPosition();
    const Vec2 lowest = lowestOffset();
    const Vec2 highest = highestOffset();
    coastAxis(position.x, lowest.x, highest.x, dt, _velocity.x, _springState[0], _springTarget[0]);
    coastAxis(position.y, lowest.y, highest.y, dt, _velocity.y, _springState[1], _springTarget[1]);
    moveContent(limitY(position + _velocity));
    if (_velocity.x == 0.f && _velocity.y == 0.f) {
        unschedule(kCoastKey);
        settle();
    }
}

// ---------------------------------------------------------------------------------------
// Clipping

void FieldScrollView::visit(Renderer* renderer, const Mat4& parentTransform,
                            std::uint32_t parentFlags) {
    if (!isVisible()) {
        return;
    }
    if (!clipToView) {
        Layer::visit(renderer, parentTransform, parentFlags);
        return;
    }
    _beforeDrawCommand.init(_globalZOrder);
    renderer->addCommand(&_beforeDrawCommand);
    Layer::visit(renderer, parentTransform, parentFlags);
    _afterDrawCommand.init(_globalZOrder);
    renderer->addCommand(&_afterDrawCommand);
}

void FieldScrollView::beginClip() {
    GLView* glview = Director::getInstance()->getOpenGLView();
    if (glview == nullptr) {
        return;
    }
    const Rect frame = viewRect();
    if (glview->isScissorEnabled()) {
        _restoreEnclosingClip = true;
        _enclosingClip = glview->getScissorRect();
        // A view scrolled wholly out of the enclosing clip shows nothing, rather than
        // drawing its content outside its own rectangle.
        const Rect clip = frame.intersectsRect(_enclosingClip) ? frame.intersection(_enclosingClip)
                                                               : Rect(frame.origin, Size::ZERO);
        glview->setScissorInPoints(clip.origin.x, clip.origin.y, clip.size.width, clip.size.height);
    } else {
        glview->setScissorInPoints(frame.origin.x, frame.origin.y, frame.size.width,
                                   frame.size.height);
        glview->enableScissor(true);
    }
}

void FieldScrollView::endClip() {
    GLView* glview = Director::getInstance()->getOpenGLView();
    if (glview == nullptr) {
        return;
    }
    if (_restoreEnclosingClip) {
        glview->setScissorInPoints(_enclosingClip.origin.x, _enclosingClip.origin.y,
                                   _enclosingClip.size.width, _enclosingClip.size.height);
        _restoreEnclosingClip = false;
    } else {
        glview->enableScissor(false);
    }
}
