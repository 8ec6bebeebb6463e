#include "platform/headless/HeadlessHarness.h"

#include "2d/Scene.h"
#include "base/Director.h"
#include "platform/GLViewImpl.h"
#include "renderer/Renderer.h"

NS_CC_BEGIN

namespace {
int toBackendButton(EventMouse::MouseButton button) {
    switch (button) {
        case EventMouse::BUTTON_LEFT:
            return 1;
        case EventMouse::BUTTON_MIDDLE:
            return 2;
        case EventMouse::BUTTON_RIGHT:
            return 3;
        case EventMouse::BUTTON_4:
            return 4;
        case EventMouse::BUTTON_5:
            return 5;
        default:
            return 0;
    }
}
}  // namespace

HeadlessHarness::HeadlessHarness(int windowWidth, int windowHeight) {
    Director* director = Director::getInstance();
    director->reset();
    auto platformView = std::make_unique<backend::HeadlessView>(windowWidth, windowHeight);
    _platformView = platformView.get();
    _view = GLViewImpl::createWithPlatformView(std::move(platformView), "headless");
    director->setOpenGLView(_view);
    _view->setDesignResolutionSize(1024.f, 768.f, ResolutionPolicy::SHOW_ALL);
    director->setContentScaleFactor(2.f);
    director->setAnimationInterval(kFrame);
    director->runWithScene(Scene::create());
}

HeadlessHarness::~HeadlessHarness() {
    Director::getInstance()->reset();
}

Scene* HeadlessHarness::scene() const {
    return Director::getInstance()->getRunningScene();
}

GLView* HeadlessHarness::view() const {
    return _view;
}

backend::HeadlessView& HeadlessHarness::platformView() const {
    return *_platformView;
}

backend::HeadlessRenderDevice& HeadlessHarness::device() const {
    return _platformView->device();
}

void HeadlessHarness::step(float dt) {
    Director::getInstance()->mainLoop(dt);
}

void HeadlessHarness::steps(int n, float dt) {
    for (int i = 0; i < n; ++i) {
        step(dt);
    }
}

Vec2 HeadlessHarness::toWindow(const Vec2& designPoint) const {
    return _view->designToWindow(designPoint);
}

void HeadlessHarness::touchBegan(const Vec2& point, int id) {
    _view->handleTouchBegan(id, toWindow(point));
}

void HeadlessHarness::touchMoved(const Vec2& point, int id) {
    _view->handleTouchMoved(id, toWindow(point));
}

void HeadlessHarness::touchEnded(const Vec2& point, int id) {
    _view->handleTouchEnded(id, toWindow(point));
}

void HeadlessHarness::touchCancelled(const Vec2& point, int id) {
    _view->handleTouchCancelled(id, toWindow(point));
}

void HeadlessHarness::tap(const Vec2& point, int id) {
    touchBegan(point, id);
    touchEnded(point, id);
}

void HeadlessHarness::queueFinger(backend::InputEvent::Type type, int id, const Vec2& point) {
    backend::InputEvent event;
    event.type = type;
    event.touch = id;
    Vec2 w = toWindow(point);
    event.x = w.x;
    event.y = w.y;
    _platformView->queueEvent(event);
}

void HeadlessHarness::inject(const backend::InputEvent& event) {
    _view->handleInputEvent(event);
}

void HeadlessHarness::mouseDown(EventMouse::MouseButton button, const Vec2& point) {
    injectButton(backend::InputEvent::Type::MouseDown, button, point);
}

void HeadlessHarness::mouseUp(EventMouse::MouseButton button, const Vec2& point) {
    injectButton(backend::InputEvent::Type::MouseUp, button, point);
}

void HeadlessHarness::injectButton(backend::InputEvent::Type type, EventMouse::MouseButton button,
                                   const Vec2& point) {
    backend::InputEvent event;
    event.type = type;
    event.button = toBackendButton(button);
    Vec2 w = toWindow(point);
    event.x = w.x;
    event.y = w.y;
    inject(event);
}

void HeadlessHarness::mouseMove(const Vec2& point) {
    backend::InputEvent event;
    event.type = backend::InputEvent::Type::MouseMove;
    Vec2 w = toWindow(point);
    event.x = w.x;
    event.y = w.y;
    inject(event);
}

void HeadlessHarness::scroll(const Vec2& point, float scrollY) {
    backend::InputEvent event;
    event.type = backend::InputEvent::Type::Wheel;
    Vec2 w = toWindow(point);
    event.x = w.x;
    event.y = w.y;
    event.wheelY = -scrollY;  // the platform counts a turn away from the user as positive
    inject(event);
}

void HeadlessHarness::windowEvent(backend::InputEvent::Type type) {
    backend::InputEvent event;
    event.type = type;
    inject(event);
}

void HeadlessHarness::keyDown(EventKeyboard::KeyCode key, bool ctrl, bool shift) {
    injectKey(backend::InputEvent::Type::KeyDown, key, ctrl, shift);
}

void HeadlessHarness::keyUp(EventKeyboard::KeyCode key, bool ctrl, bool shift) {
    injectKey(backend::InputEvent::Type::KeyUp, key, ctrl, shift);
}

void HeadlessHarness::injectKey(backend::InputEvent::Type type, EventKeyboard::KeyCode key,
                                bool ctrl, bool shift) {
    backend::InputEvent event;
    event.type = type;
    event.key = static_cast<int>(key);
    event.ctrl = ctrl;
    event.shift = shift;
    inject(event);
}

void HeadlessHarness::dropFile(const std::string& path) {
    backend::InputEvent event;
    event.type = backend::InputEvent::Type::FileDropped;
    event.text = path;
    inject(event);
}

const std::vector<backend::DrawRecord>& HeadlessHarness::draws() const {
    return device().lastFrame();
}

std::string HeadlessHarness::pictureOf(const backend::DrawRecord& record) const {
    if (record.texture == 0) {
        return std::string();
    }
    return Director::getInstance()->getRenderer()->getTextureName(record.texture);
}

std::vector<std::string> HeadlessHarness::drawnPictures() const {
    std::vector<std::string> pictures;
    for (const backend::DrawRecord& record : draws()) {
        pictures.push_back(pictureOf(record));
    }
    return pictures;
}

unsigned int HeadlessHarness::drawnFrames() const {
    return device().frameCount();
}

NS_CC_END
