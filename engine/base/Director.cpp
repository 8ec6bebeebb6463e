#include "base/Director.h"

#include <cmath>
#include <limits>
#include <thread>

#include "2d/ActionManager.h"
#include "2d/Scene.h"
#include "base/AutoreleasePool.h"
#include "base/EventDispatcher.h"
#include "base/Scheduler.h"
#include "platform/GLView.h"
#include "renderer/Renderer.h"
#include "renderer/TextureCache.h"

NS_CC_BEGIN

namespace {
Director* s_director = nullptr;
// Above this, a frame step is taken for a stall (a long idle, a dragged window) and
// replaced by one animation interval, so that actions do not jump.
constexpr float kLongestFrameStep = 0.2f;
}  // namespace

Director* Director::getInstance() {
    if (s_director == nullptr) {
        s_director = new Director();
        // Services are made after the pointer is set: their constructors may ask for it.
        s_director->createServices();
    }
    return s_director;
}

Director::Director() : _renderer(std::make_unique<Renderer>()) {}

void Director::createServices() {
    _scheduler = new Scheduler();
    _actionManager = new ActionManager();
    _scheduler->scheduleUpdate(_actionManager, Scheduler::PRIORITY_SYSTEM, false);
    ActionManager* actions = _actionManager;
    // The action manager needs frames only while an action runs.
    _scheduler->setPerFrameWorkCheck(
        actions, [actions] { return actions->getNumberOfRunningActions() > 0; });
    _eventDispatcher = new EventDispatcher();
    _textureCache = new TextureCache();
}

void Director::destroyServices() {
    _eventDispatcher->removeAllEventListeners();
    _actionManager->removeAllActions();
    _scheduler->unscheduleAll();
    // The next ones may free nodes, whose destructors still reach these services: each
    // pointer is cleared only after its object is gone.
    PoolManager::getInstance()->getCurrentPool()->clear();
    _textureCache->release();
    _textureCache = nullptr;
    _eventDispatcher->release();
    _eventDispatcher = nullptr;
    _actionManager->release();
    _actionManager = nullptr;
    _scheduler->release();
    _scheduler = nullptr;
}

void Director::reset() {
    if (_runningScene != nullptr) {
        Scene* scene = _runningScene;
        _runningScene = nullptr;
        scene->onExitTransitionDidStart();
        scene->onExit();
        scene->cleanup();
        scene->release();
    }
    PoolManager::getInstance()->getCurrentPool()->clear();
    destroyServices();
    setOpenGLView(nullptr);
    createServices();
    _contentScaleFactor = 1.f;
    _animationInterval = 1.f / 60.f;
    _animating = true;
    _paused = false;
    _displayStats = false;
    _sceneDirty = true;
    _deltaTime = 0.f;
    _totalFrames = 0;
    _drawnFrames = 0;
    _haveLastFrameTime = false;
    _modelViewStack.assign(1, Mat4::IDENTITY);
}

void Director::setOpenGLView(GLView* view) {
    if (view == _openGLView) {
        return;
    }
    if (view != nullptr) {
        view->retain();
    }
    GLView* old = _openGLView;
    _openGLView = view;
    _renderer->setView(view);
    if (old != nullptr) {
        old->release();
    }
    markSceneDirty();
}

void Director::runWithScene(Scene* scene) {
    CCASSERT(scene != nullptr, "runWithScene of nullptr");
    if (scene == _runningScene) {
        return;
    }
    scene->retain();
    Scene* old = _runningScene;
    _runningScene = nullptr;
    if (old != nullptr) {
        old->onExitTransitionDidStart();
        old->onExit();
        old->cleanup();
        old->release();
    }
    _runningScene = scene;
    scene->onEnter();
    scene->onEnterTransitionDidFinish();
    markSceneDirty();
}

void Director::replaceScene(Scene* scene) {
    runWithScene(scene);
}

Size Director::getWinSize() const {
    return _openGLView != nullptr ? _openGLView->getDesignResolutionSize() : Size::ZERO;
}

Size Director::getVisibleSize() const {
    return _openGLView != nullptr ? _openGLView->getVisibleSize() : getWinSize();
}

Vec2 Director::getVisibleOrigin() const {
    return _openGLView != nullptr ? _openGLView->getVisibleOrigin() : Vec2::ZERO;
}

Vec2 Director::convertToGL(const Vec2& uiPoint) const {
    return Vec2(uiPoint.x, getWinSize().height - uiPoint.y);
}

Vec2 Director::convertToUI(const Vec2& glPoint) const {
    return Vec2(glPoint.x, getWinSize().height - glPoint.y);
}

void Director::setContentScaleFactor(float scaleFactor) {
    CCASSERT(scaleFactor > 0.f, "the content scale factor must be positive");
    if (scaleFactor != _contentScaleFactor) {
        _contentScaleFactor = scaleFactor;
        markSceneDirty();
    }
}

void Director::setAnimationInterval(float interval) {
    CCASSERT(interval > 0.f, "the animation interval must be positive");
    _animationInterval = interval;
}

void Director::startAnimation() {
    _animating = true;
    _haveLastFrameTime = false;
    markSceneDirty();
}

void Director::stopAnimation() {
    _animating = false;
}

void Director::pause() {
    _paused = true;
}

void Director::resume() {
    _paused = false;
    _haveLastFrameTime = false;
}

void Director::end() {
    if (_openGLView != nullptr) {
        _openGLView->end();
    }
}

// ---------------------------------------------------------------------------------------
// Frames

void Director::mainLoop(float dt) {
    if (_openGLView != nullptr) {
        _openGLView->pollEvents();
    }
    runFrame(dt);
}

void Director::mainLoop() {
    GLView* view = _openGLView;
    if (view == nullptr) {
        return;
    }
    view->retain();  // an input handler may replace the view
    const bool canDraw = _animating && !view->isMinimized();
    const bool busy = canDraw && (_sceneDirty || (!_paused && _scheduler->hasPerFrameWork()));
    float plannedWait = 0.f;
    int timeoutMs = 0;
    if (!canDraw) {
        timeoutMs = -1;  // stopped or minimised: nothing runs until the window says so
    } else if (!busy) {
        float next =
            _paused ? std::numeric_limits<float>::infinity() : _scheduler->timeToNextTimer();
        if (std::isinf(next)) {
            timeoutMs = -1;
        } else {
            plannedWait = std::max(0.f, next);
            timeoutMs = static_cast<int>(std::ceil(plannedWait * 1000.f));
        }
    }
    if (_longestWaitMs >= 0 && (timeoutMs < 0 || timeoutMs > _longestWaitMs)) {
        timeoutMs = _longestWaitMs;
    }
    view->waitAndHandleEvents(timeoutMs);

    if (view->windowShouldClose() || !_animating || view->isMinimized()) {
        _haveLastFrameTime = false;  // time starts afresh when frames resume
        PoolManager::getInstance()->getCurrentPool()->clear();
        view->release();
        return;
    }
    auto frameStart = std::chrono::steady_clock::now();
    unsigned int drawnBefore = _drawnFrames;
    runFrame(frameStep(frameStart, plannedWait));
    bool drew = _drawnFrames != drawnBefore;
    // Keep to the frame rate while things move; a drawn frame on a synchronised display
    // has already waited for the refresh.
    if (busy && !(drew && view->hasVSync())) {
        std::this_thread::sleep_until(
            frameStart + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                             std::chrono::duration<float>(_animationInterval)));
    }
    view->release();
}

float Director::frameStep(std::chrono::steady_clock::time_point now, float allowedBeyondCap) {
    if (!_haveLastFrameTime) {
        _haveLastFrameTime = true;
        _lastFrameTime = now;
        return _animationInterval;
    }
    float dt = std::chrono::duration<float>(now - _lastFrameTime).count();
    _lastFrameTime = now;
    // A wait planned for the next timer is real time the timers must see; anything longer
    // is a stall.
    if (dt < 0.f || dt > kLongestFrameStep + allowedBeyondCap) {
        dt = _animationInterval;
    }
    return dt;
}

void Director::runFrame(float dt) {
    if (_openGLView != nullptr && _openGLView->updateFrameSize()) {
        markSceneDirty();
    }
    if (_animating) {
        _deltaTime = dt;
        ++_totalFrames;
        if (!_paused) {
            _scheduler->update(dt);
        }
        if (_sceneDirty && _runningScene != nullptr && _openGLView != nullptr &&
            !_openGLView->isMinimized()) {
            drawScene();
        }
    }
    PoolManager::getInstance()->getCurrentPool()->clear();
}

void Director::drawScene() {
    _renderer->setView(_openGLView);
    backend::RenderDevice* device = _renderer->getDevice();
    if (device == nullptr) {
        return;
    }
    _sceneDirty = false;
    backend::Rgba black;
    black.r = black.g = black.b = 0;
    black.a = 255;
    device->beginFrame(black);
    _openGLView->resetDrawingState();
    _runningScene->visit(_renderer.get(), Mat4::IDENTITY, 0);
    _renderer->render();
    _openGLView->resetDrawingState();
    device->endFrame();
    ++_drawnFrames;
}

// ---------------------------------------------------------------------------------------
// Matrix stack

void Director::pushMatrix(MATRIX_STACK_TYPE) {
    _modelViewStack.push_back(_modelViewStack.back());
}

void Director::popMatrix(MATRIX_STACK_TYPE) {
    CCASSERT(_modelViewStack.size() > 1, "popMatrix without pushMatrix");
    if (_modelViewStack.size() > 1) {
        _modelViewStack.pop_back();
    }
}

void Director::loadMatrix(MATRIX_STACK_TYPE, const Mat4& mat) {
    _modelViewStack.back() = mat;
}

NS_CC_END
