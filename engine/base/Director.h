// The director: owns the running scene, the scheduler, the action manager, the event
// dispatcher, the renderer and the texture cache, and runs the frames. A frame handles
// input, steps the scheduler (actions first), draws the scene if anything changed, and
// drains the autorelease pool. Idle frames draw nothing and the loop blocks for input.
// Depends on the engine's base, renderer and platform classes.
#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include "math/AffineTransform.h"
#include "math/Size.h"
#include "math/Vec2.h"

NS_CC_BEGIN

class ActionManager;
class EventDispatcher;
class GLView;
class Renderer;
class Scene;
class Scheduler;
class TextureCache;

enum class MATRIX_STACK_TYPE {
    MATRIX_STACK_MODELVIEW,
    MATRIX_STACK_PROJECTION,
    MATRIX_STACK_TEXTURE
};

class Director {
public:
    static Director* getInstance();

    Scheduler* getScheduler() const { return _scheduler; }
    ActionManager* getActionManager() const { return _actionManager; }
    EventDispatcher* getEventDispatcher() const { return _eventDispatcher; }
    Renderer* getRenderer() const { return _renderer.get(); }
    TextureCache* getTextureCache() const { return _textureCache; }

    // The view frames are drawn into and input comes from (retained); nullptr for none.
    void setOpenGLView(GLView* view);
    GLView* getOpenGLView() const { return _openGLView; }

    // Makes the scene the running one at once (entering it); a previous scene is exited
    // and cleaned up.
    void runWithScene(Scene* scene);
    // The same as runWithScene once a scene runs.
    void replaceScene(Scene* scene);
    Scene* getRunningScene() const { return _runningScene; }

    // The design size, and its visible part.
    Size getWinSize() const;
    Size getVisibleSize() const;
    Vec2 getVisibleOrigin() const;
    // Design point with the origin at the top left to one at the bottom left, and back.
    Vec2 convertToGL(const Vec2& uiPoint) const;
    Vec2 convertToUI(const Vec2& glPoint) const;

    // Picture pixels per point (2 makes a 400-pixel picture 200 points wide).
    void setContentScaleFactor(float scaleFactor);
    float getContentScaleFactor() const { return _contentScaleFactor; }

    // Seconds between frames while something moves.
    void setAnimationInterval(float interval);
    // Longest wait for window events in milliseconds, even with nothing to draw, so that
    // the main loop can look at Application::applicationShouldQuit; -1 (the default) waits
    // as long as nothing happens.
    void setLongestWait(int ms) { _longestWaitMs = ms; }
    // Frames run again / stop running (nothing is drawn or stepped while stopped).
    void startAnimation();
    void stopAnimation();
    // Time stops for the scheduler and actions; drawing goes on.
    void pause();
    void resume();
    bool isPaused() const { return _paused; }
    // There is no statistics overlay; the switch is kept.
    void setDisplayStats(bool displayStats) { _displayStats = displayStats; }
    // Asks the view to close, which ends Application::run.
    void end();

    // One pass of the real-time loop: wait for input or the next timer when idle,
    // handle input, run a frame with the real elapsed time, keep the frame rate.
    void mainLoop();
    // One frame of exactly dt seconds, for headless tests: pending input, scheduler,
    // drawing if needed, pool drain. Never waits.
    void mainLoop(float dt);

    // Marks the scene as changed: the next frame draws it.
    void markSceneDirty() { _sceneDirty = true; }
    // Frames actually drawn so far.
    unsigned int getDrawnFrames() const { return _drawnFrames; }

    // Model-view stack, kept for source compatibility: nodes get their transforms passed
    // down, so nothing reads it while drawing.
    void pushMatrix(MATRIX_STACK_TYPE type);
    void popMatrix(MATRIX_STACK_TYPE type);
    void loadMatrix(MATRIX_STACK_TYPE type, const Mat4& mat);

    // Back to a fresh director: the scene exits and is released, every listener, timer and
    // action goes, the view is released, settings return to their defaults. For tests.
    void reset();

private:
    Director();
    ~Director() = default;

    void createServices();
    void destroyServices();
    void runFrame(float dt);
    void drawScene();
    float frameStep(std::chrono::steady_clock::time_point now, float allowedBeyondCap);

    Scheduler* _scheduler = nullptr;
    ActionManager* _actionManager = nullptr;
    EventDispatcher* _eventDispatcher = nullptr;
    std::unique_ptr<Renderer> _renderer;
    TextureCache* _textureCache = nullptr;
    GLView* _openGLView = nullptr;
    Scene* _runningScene = nullptr;

    float _contentScaleFactor = 1.f;
    float _animationInterval = 1.f / 60.f;
    int _longestWaitMs = -1;
    bool _animating = true;
    bool _paused = false;
    bool _displayStats = false;
    bool _sceneDirty = true;
    float _deltaTime = 0.f;
    unsigned int _totalFrames = 0;
    unsigned int _drawnFrames = 0;
    std::chrono::steady_clock::time_point _lastFrameTime;
    bool _haveLastFrameTime = false;
    std::vector<Mat4> _modelViewStack{Mat4::IDENTITY};
};

NS_CC_END
