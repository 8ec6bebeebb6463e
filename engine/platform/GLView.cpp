#include "platform/GLView.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "base/Director.h"
#include "base/EventDispatcher.h"
#include "base/EventKeyboard.h"
#include "base/Touch.h"
#include "platform/Application.h"
#include "platform/FileUtils.h"

NS_CC_BEGIN

namespace {

GLContextAttrs s_glContextAttrs;

// Backend buttons are 1 left, 2 middle, 3 right, 4 and 5 extra.
EventMouse::MouseButton toMouseButton(int backendButton) {
    switch (backendButton) {
        case 1:
            return EventMouse::BUTTON_LEFT;
        case 2:
            return EventMouse::BUTTON_MIDDLE;
        case 3:
            return EventMouse::BUTTON_RIGHT;
        case 4:
            return EventMouse::BUTTON_4;
        case 5:
            return EventMouse::BUTTON_5;
        default:
            return EventMouse::BUTTON_UNSET;
    }
}

int buttonBit(EventMouse::MouseButton button) {
    return button == EventMouse::BUTTON_UNSET ? 0 : 1 << static_cast<int>(button);
}

}  // namespace

void GLView::setGLContextAttrs(GLContextAttrs& attrs) {
    s_glContextAttrs = attrs;
}

GLView::GLView(std::unique_ptr<backend::PlatformView> platformView, const std::string& viewName,
               float frameZoomFactor)
    : _platformView(std::move(platformView)),
      _viewName(viewName),
      _frameZoomFactor(frameZoomFactor > 0.f ? frameZoomFactor : 1.f) {
    updateFrameSize();
    // Until the program sets one, the design area is the frame itself.
    _designResolutionSize = _frameSize;
    _resolutionPolicy = ResolutionPolicy::SHOW_ALL;
    updateDesignResolution();
}

GLView::~GLView() {
    for (auto& entry : _touches) {
        entry.second->release();
    }
}

void GLView::end() {
    _shouldClose = true;
}

void GLView::setCloseRequestCallback(std::function<bool()> callback) {
    _closeRequestCallback = std::move(callback);
}

void GLView::setFileDropCallback(std::function<void(const std::string& path)> callback) {
    _fileDropCallback = std::move(callback);
}

bool GLView::hasVSync() const {
    return _platformView != nullptr && _platformView->hasVSync();
}

backend::RenderDevice* GLView::getRenderDevice() const {
    return _platformView != nullptr ? _platformView->getRenderDevice() : nullptr;
}

int GLView::waitAndHandleEvents(int timeoutMs) {
    if (_platformView == nullptr) {
        return 0;
    }
    std::vector<backend::InputEvent> events;
    _platformView->waitEvents(timeoutMs, events);
    for (const backend::InputEvent& event : events) {
        handleInputEvent(event);
    }
    return static_cast<int>(events.size());
}

// ---------------------------------------------------------------------------------------
// Sizes and the design resolution

void GLView::setFrameSize(float width, float height) {
    _frameSize = Size(width, height);
    updateDesignResolution();
}

bool GLView::updateFrameSize() {
    if (_platformView == nullptr) {
        return false;
    }
    int windowW = 0, windowH = 0, outputW = 0, outputH = 0;
    _platformView->getWindowSize(windowW, windowH);
    if (backend::RenderDevice* device = _platformView->getRenderDevice()) {
        device->getOutputSize(outputW, outputH);
    }
    Size frame(windowW / _frameZoomFactor, windowH / _frameZoomFactor);
    Size output(static_cast<float>(outputW), static_cast<float>(outputH));
    if (output.width <= 0.f || output.height <= 0.f) {
        output = Size(static_cast<float>(windowW), static_cast<float>(windowH));
    }
    if (frame == _frameSize && output == _outputSize) {
        return false;
    }
    _frameSize = frame;
    _outputSize = output;
    if (_designResolutionSize.width > 0.f && _designResolutionSize.height > 0.f) {
        updateDesignResolution();
    }
    return true;
}

void GLView::setDesignResolutionSize(float width, float height, ResolutionPolicy policy) {
    CCASSERT(width > 0.f && height > 0.f, "the design resolution must not be empty");
    CCASSERT(policy != ResolutionPolicy::UNKNOWN, "choose a resolution policy");
    _designResolutionSize = Size(width, height);
    _resolutionPolicy = policy;
    updateDesignResolution();
}

void GLView::updateDesignResolution() {
    if (_frameSize.width <= 0.f || _frameSize.height <= 0.f || _designResolutionSize.width <= 0.f ||
        _designResolutionSize.height <= 0.f) {
        return;
    }
    _scaleX = _frameSize.width / _designResolutionSize.width;
    _scaleY = _frameSize.height / _designResolutionSize.height;
    switch (_resolutionPolicy) {
        case ResolutionPolicy::NO_BORDER:
            _scaleX = _scaleY = std::max(_scaleX, _scaleY);
            break;
        case ResolutionPolicy::SHOW_ALL:
            _scaleX = _scaleY = std::min(_scaleX, _scaleY);
            break;
        case ResolutionPolicy::FIXED_HEIGHT:
            _scaleX = _scaleY;
            _designResolutionSize.width = std::ceil(_frameSize.width / _scaleX);
            break;
        case ResolutionPolicy::FIXED_WIDTH:
            _scaleY = _scaleX;
            _designResolutionSize.height = std::ceil(_frameSize.height / _scaleY);
            break;
        default:
            break;
    }
    float w = _designResolutionSize.width * _scaleX;
    float h = _designResolutionSize.height * _scaleY;
    _viewPortRect = Rect((_frameSize.width - w) / 2.f, (_frameSize.height - h) / 2.f, w, h);
    Director::getInstance()->markSceneDirty();
}

Size GLView::getVisibleSize() const {
    if (_resolutionPolicy == ResolutionPolicy::NO_BORDER) {
        return Size(_frameSize.width / _scaleX, _frameSize.height / _scaleY);
    }
    return _designResolutionSize;
}

Vec2 GLView::getVisibleOrigin() const {
    if (_resolutionPolicy == ResolutionPolicy::NO_BORDER) {
        Size visible = getVisibleSize();
        return Vec2((_designResolutionSize.width - visible.width) / 2.f,
                    (_designResolutionSize.height - visible.height) / 2.f);
    }
    return Vec2::ZERO;
}

void GLView::setViewName(const std::string& name) {
    _viewName = name;
    if (_platformView != nullptr) {
        _platformView->setTitle(name);
    }
}

bool GLView::setIcon(const std::string& filename) {
    const std::string path = FileUtils::getInstance()->fullPathForFilename(filename);
    backend::Bitmap icon;
    std::string error;
    if (_platformView == nullptr || path.empty() || !backend::decodeImageFile(path, icon, error)) {
        return false;
    }
    _platformView->setIcon(icon);
    return true;
}

// ---------------------------------------------------------------------------------------
// Coordinates

Vec2 GLView::windowToDesign(const Vec2& windowPoint) const {
    float fx = windowPoint.x / _frameZoomFactor;
    float fyUp = _frameSize.height - windowPoint.y / _frameZoomFactor;
    return Vec2((fx - _viewPortRect.origin.x) / _scaleX, (fyUp - _viewPortRect.origin.y) / _scaleY);
}

Vec2 GLView::designToWindow(const Vec2& designPoint) const {
    float fx = _viewPortRect.origin.x + designPoint.x * _scaleX;
    float fyUp = _viewPortRect.origin.y + designPoint.y * _scaleY;
    return Vec2(fx * _frameZoomFactor, (_frameSize.height - fyUp) * _frameZoomFactor);
}

Vec2 GLView::designToView(const Vec2& designPoint) const {
    return Vec2(designPoint.x, _designResolutionSize.height - designPoint.y);
}

Vec2 GLView::designToPixel(const Vec2& designPoint) const {
    // Frame points to pixels by the output / frame ratio (more than 1 on dense screens).
    float rx = _frameSize.width > 0.f ? _outputSize.width / _frameSize.width : 1.f;
    float ry = _frameSize.height > 0.f ? _outputSize.height / _frameSize.height : 1.f;
    float fx = _viewPortRect.origin.x + designPoint.x * _scaleX;
    float fyUp = _viewPortRect.origin.y + designPoint.y * _scaleY;
    return Vec2(fx * rx, (_frameSize.height - fyUp) * ry);
}

backend::PixelRect GLView::designRectToPixels(const Rect& rect) const {
    Vec2 topLeft = designToPixel(Vec2(rect.getMinX(), rect.getMaxY()));
    Vec2 bottomRight = designToPixel(Vec2(rect.getMaxX(), rect.getMinY()));
    backend::PixelRect r;
    r.x = static_cast<int>(std::lround(topLeft.x));
    r.y = static_cast<int>(std::lround(topLeft.y));
    r.w = std::max(0, static_cast<int>(std::lround(bottomRight.x)) - r.x);
    r.h = std::max(0, static_cast<int>(std::lround(bottomRight.y)) - r.y);
    return r;
}

// ---------------------------------------------------------------------------------------
// Scissor

void GLView::setScissorInPoints(float x, float y, float w, float h) {
    _scissorRect = Rect(x, y, w, h);
    if (_scissorEnabled) {
        applyClip();
    }
}

void GLView::enableScissor(bool enabled) {
    _scissorEnabled = enabled;
    applyClip();
}

void GLView::resetDrawingState() {
    _scissorEnabled = false;
    applyClip();
}

void GLView::applyClip() {
    backend::RenderDevice* device = getRenderDevice();
    if (device == nullptr) {
        return;
    }
    // Outside the viewport lie the letterbox borders: nothing is drawn there, as a GL
    // viewport would not draw there either.
    backend::PixelRect output{0, 0, static_cast<int>(_outputSize.width),
                              static_cast<int>(_outputSize.height)};
    Rect design(0.f, 0.f, _designResolutionSize.width, _designResolutionSize.height);
    backend::PixelRect base = designRectToPixels(design);
    int left = std::max(base.x, 0), top = std::max(base.y, 0);
    int right = std::min(base.x + base.w, output.w), bottom = std::min(base.y + base.h, output.h);
    bool baseIsWhole = left == 0 && top == 0 && right == output.w && bottom == output.h;
    if (_scissorEnabled) {
        backend::PixelRect s = designRectToPixels(_scissorRect);
        backend::PixelRect clip;
        clip.x = std::max(s.x, left);
        clip.y = std::max(s.y, top);
        clip.w = std::max(0, std::min(s.x + s.w, right) - clip.x);
        clip.h = std::max(0, std::min(s.y + s.h, bottom) - clip.y);
        device->setClip(&clip);
    } else if (baseIsWhole) {
        device->setClip(nullptr);
    } else {
        backend::PixelRect clip{left, top, std::max(0, right - left), std::max(0, bottom - top)};
        device->setClip(&clip);
    }
}

// ---------------------------------------------------------------------------------------
// Input

void GLView::handleInputEvent(const backend::InputEvent& event) {
    using Type = backend::InputEvent::Type;
    Vec2 point(event.x, event.y);
    switch (event.type) {
        case Type::MouseDown: {
            EventMouse::MouseButton button = toMouseButton(event.button);
            _mouseButtonsHeld |= buttonBit(button);
            if (button == EventMouse::BUTTON_LEFT) {
                handleTouchBegan(0, point);
            }
            dispatchMouse(EventMouse::MouseEventType::MOUSE_DOWN, button, point, 0.f, 0.f);
            break;
        }
        case Type::MouseUp: {
            EventMouse::MouseButton button = toMouseButton(event.button);
            _mouseButtonsHeld &= ~buttonBit(button);
            if (button == EventMouse::BUTTON_LEFT) {
                handleTouchEnded(0, point);
            }
            dispatchMouse(EventMouse::MouseEventType::MOUSE_UP, button, point, 0.f, 0.f);
            break;
        }
        case Type::MouseMove: {
            EventMouse::MouseButton held = EventMouse::BUTTON_UNSET;
            for (auto b :
                 {EventMouse::BUTTON_LEFT, EventMouse::BUTTON_RIGHT, EventMouse::BUTTON_MIDDLE}) {
                if ((_mouseButtonsHeld & buttonBit(b)) != 0) {
                    held = b;
                    break;
                }
            }
            if (held == EventMouse::BUTTON_LEFT) {
                handleTouchMoved(0, point);
            }
            dispatchMouse(EventMouse::MouseEventType::MOUSE_MOVE, held, point, 0.f, 0.f);
            break;
        }
        case Type::Wheel:
            // The platform counts a turn away from the user as positive; listeners expect
            // it negative, as cocos2d delivers it on desktops.
            dispatchMouse(EventMouse::MouseEventType::MOUSE_SCROLL, EventMouse::BUTTON_UNSET, point,
                          event.wheelX, -event.wheelY);
            break;
        case Type::FocusLost:
            cancelAllTouches();
            break;
        case Type::Minimized:
            cancelAllTouches();
            if (!_minimized) {
                _minimized = true;
                if (Application* app = Application::getInstance()) {
                    app->applicationDidEnterBackground();
                }
            }
            break;
        case Type::Restored:
            if (_minimized) {
                _minimized = false;
                if (Application* app = Application::getInstance()) {
                    app->applicationWillEnterForeground();
                }
            }
            Director::getInstance()->markSceneDirty();
            break;
        case Type::Exposed:
            updateFrameSize();
            Director::getInstance()->markSceneDirty();
            break;
        case Type::Quit:
            _shouldClose = true;
            break;
        case Type::CloseRequested: {
            // A copy: the callback may set another one (or none) while it runs.
            std::function<bool()> ask = _closeRequestCallback;
            if (!ask || ask()) {
                _shouldClose = true;
            }
            break;
        }
        case Type::FileDropped: {
            std::function<void(const std::string&)> deliver = _fileDropCallback;
            if (deliver) {
                deliver(event.text);
            }
            break;
        }
        case Type::TouchDown:
            handleTouchBegan(event.touch, point);
            break;
        case Type::TouchMove:
            handleTouchMoved(event.touch, point);
            break;
        case Type::TouchUp:
            handleTouchEnded(event.touch, point);
            break;
        case Type::KeyDown:
        case Type::KeyUp: {
            EventKeyboard key(static_cast<EventKeyboard::KeyCode>(event.key),
                              event.type == Type::KeyDown, event.ctrl, event.shift);
            Director::getInstance()->getEventDispatcher()->dispatchEvent(&key);
            break;
        }
    }
}

void GLView::handleTouchBegan(int id, const Vec2& windowPoint) {
    if (_touches.count(id) != 0) {
        // A touch that began again without ending (a lost release) is cancelled first.
        handleTouchCancelled(id, windowPoint);
    }
    auto* touch = new Touch();
    Vec2 design = windowToDesign(windowPoint);
    touch->setTouchInfo(id, design, designToView(design));
    _touches[id] = touch;
    dispatchTouch(touch, EventTouch::EventCode::BEGAN);
}

void GLView::handleTouchMoved(int id, const Vec2& windowPoint) {
    auto it = _touches.find(id);
    if (it == _touches.end()) {
        return;
    }
    Vec2 design = windowToDesign(windowPoint);
    it->second->setTouchInfo(id, design, designToView(design));
    dispatchTouch(it->second, EventTouch::EventCode::MOVED);
}

void GLView::handleTouchEnded(int id, const Vec2& windowPoint) {
    finishTouch(id, windowPoint, EventTouch::EventCode::ENDED);
}

void GLView::handleTouchCancelled(int id, const Vec2& windowPoint) {
    finishTouch(id, windowPoint, EventTouch::EventCode::CANCELLED);
}

void GLView::finishTouch(int id, const Vec2& windowPoint, EventTouch::EventCode code) {
    auto it = _touches.find(id);
    if (it == _touches.end()) {
        return;
    }
    Touch* touch = it->second;
    _touches.erase(it);
    Vec2 design = windowToDesign(windowPoint);
    touch->setTouchInfo(id, design, designToView(design));
    dispatchTouch(touch, code);
    touch->release();
}

void GLView::cancelAllTouches() {
    _mouseButtonsHeld = 0;
    // A handler may begin a touch of its own meanwhile: take them one at a time.
    while (!_touches.empty()) {
        auto it = _touches.begin();
        Touch* touch = it->second;
        _touches.erase(it);
        dispatchTouch(touch, EventTouch::EventCode::CANCELLED);
        touch->release();
    }
}

void GLView::dispatchTouch(Touch* touch, EventTouch::EventCode code) {
    // The touch stays alive through the dispatch even if a handler ends the view's hold.
    touch->retain();
    EventTouch event;
    event.setEventCode(code);
    event.setTouches({touch});
    Director::getInstance()->getEventDispatcher()->dispatchEvent(&event);
    touch->release();
}

void GLView::dispatchMouse(EventMouse::MouseEventType type, EventMouse::MouseButton button,
                           const Vec2& windowPoint, float scrollX, float scrollY) {
    Vec2 design = windowToDesign(windowPoint);
    EventMouse event(type);
    event.setMouseButton(button);
    event.setPreviousLocation(_lastMouseDesign);
    event.setCursorPosition(design, designToView(design));
    event.setScrollData(scrollX, scrollY);
    _lastMouseDesign = design;
    _lastMouseWindow = windowPoint;
    Director::getInstance()->getEventDispatcher()->dispatchEvent(&event);
}

NS_CC_END
