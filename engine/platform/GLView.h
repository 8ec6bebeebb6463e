// The view: a window (or a headless stand-in) with its drawing device, the design
// resolution and its letterboxing, the scissor state, and the input path that turns the
// platform's mouse and finger events into touches and mouse events for the dispatcher.
// Depends on the backend interface, math and the event classes; never on a platform header.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "base/EventMouse.h"
#include "base/EventTouch.h"
#include "base/Ref.h"
#include "math/Rect.h"
#include "math/Size.h"
#include "math/Vec2.h"
#include "platform/Backend.h"

NS_CC_BEGIN

class Touch;

// How the design area is fitted to the window (values as in cocos2d).
enum class ResolutionPolicy {
    EXACT_FIT = 0,     // stretched to the window, aspect not kept
    NO_BORDER = 1,     // fills the window, aspect kept, parts cut off
    SHOW_ALL = 2,      // all visible, aspect kept, borders on the longer side
    FIXED_HEIGHT = 3,  // design height kept, width follows the window
    FIXED_WIDTH = 4,   // design width kept, height follows the window
    UNKNOWN = 5,
};

// Bits of the drawing surface the application asks for (kept for the record; SDL's 2D
// renderer chooses its own surface).
struct GLContextAttrs {
    int redBits = 8;
    int greenBits = 8;
    int blueBits = 8;
    int alphaBits = 8;
    int depthBits = 24;
    int stencilBits = 8;
    int multisamplingCount = 0;
};

class GLView : public Ref {
public:
    ~GLView() override;

    // Records the drawing-surface attributes for views created later.
    static void setGLContextAttrs(GLContextAttrs& attrs);

    // Asks the view to close: windowShouldClose() becomes true.
    virtual void end();
    // Present for source compatibility; frames are shown by the director.
    virtual void swapBuffers() {}
    // True once the window was closed or end() was called.
    virtual bool windowShouldClose() const { return _shouldClose; }
    // Asked when the user closes the window; the window closes only when it answers true.
    // An answer of false leaves the window open (the program may call end() later). Without
    // a callback the window closes at once. An end forced by the system is never asked.
    void setCloseRequestCallback(std::function<bool()> callback);
    // Called with the UTF-8 path of each file dropped onto the window, one call per file.
    void setFileDropCallback(std::function<void(const std::string& path)> callback);
    // Handles the input that is waiting, without waiting for more.
    virtual void pollEvents() { waitAndHandleEvents(0); }
    // Waits up to timeoutMs (negative: until something arrives) for input, then handles
    // all that arrived; returns how many events were handled.
    int waitAndHandleEvents(int timeoutMs);
    // True while the window is minimised.
    bool isMinimized() const { return _minimized; }
    // True when showing a frame waits for the display (the loop then need not sleep).
    bool hasVSync() const;

    // The window's size in points, divided by the frame zoom factor.
    Size getFrameSize() const { return _frameSize; }
    virtual void setFrameSize(float width, float height);
    // Re-reads the window and output sizes (after a resize); true when they changed.
    bool updateFrameSize();

    // The coordinate space the program is written in and how it is fitted to the window.
    void setDesignResolutionSize(float width, float height, ResolutionPolicy policy);
    const Size& getDesignResolutionSize() const { return _designResolutionSize; }
    // The part of the design space that is visible, and where it starts.
    Size getVisibleSize() const;
    Vec2 getVisibleOrigin() const;
    // Frame points per design point.
    float getScaleX() const { return _scaleX; }
    float getScaleY() const { return _scaleY; }
    // Where the design area lies in the frame (points, origin bottom left).
    const Rect& getViewPortRect() const { return _viewPortRect; }
    void setViewName(const std::string& name);
    // Shows the picture (a name such as "res/icon.png", looked for beside the program) as
    // the window's icon; false when it cannot be loaded, and the window keeps the system's.
    bool setIcon(const std::string& filename);

    // Scissor: a clip rectangle in design coordinates, in force while enabled. This is
    // the engine's stand-in for glScissor / glEnable(GL_SCISSOR_TEST): call it from a
    // CustomCommand so it takes effect at that place in the drawing order.
    void setScissorInPoints(float x, float y, float w, float h);
    // Switches the scissor on (with the last rectangle set) or off.
    void enableScissor(bool enabled);
    bool isScissorEnabled() const { return _scissorEnabled; }
    // The scissor rectangle in design coordinates.
    Rect getScissorRect() const { return _scissorRect; }
    // Switches the scissor off and limits drawing to the design area; once per frame.
    void resetDrawingState();

    // Window point (points, origin top left) to design point (origin bottom left).
    Vec2 windowToDesign(const Vec2& windowPoint) const;
    // Design point (origin bottom left) to window point (points, origin top left).
    Vec2 designToWindow(const Vec2& designPoint) const;
    // Design point to output pixel (origin top left).
    Vec2 designToPixel(const Vec2& designPoint) const;
    // Design rectangle to the output pixels it covers.
    backend::PixelRect designRectToPixels(const Rect& rect) const;

    // The input path: platform events (mouse, wheel, fingers, keys, window state, dropped
    // files, close requests) in window points. The left button acts as touch 0; every
    // button, motion and the wheel also reach the mouse listeners. Each finger is a touch
    // of its own and never a mouse event.
    void handleInputEvent(const backend::InputEvent& event);
    // Touch input in window points, as a touch screen would deliver it.
    void handleTouchBegan(int id, const Vec2& windowPoint);
    void handleTouchMoved(int id, const Vec2& windowPoint);
    void handleTouchEnded(int id, const Vec2& windowPoint);
    void handleTouchCancelled(int id, const Vec2& windowPoint);
    // Cancels every open touch where it last was and forgets the held buttons: the window
    // has lost the pointer, and the releases will not reach it.
    void cancelAllTouches();

    backend::PlatformView* getPlatformView() const { return _platformView.get(); }
    // See backend::PlatformView::watchSystemEnding; the workspace asks for it, a tool need not.
    void watchSystemEnding() {
        if (_platformView) {
            _platformView->watchSystemEnding();
        }
    }
    // The drawing device, or nullptr.
    backend::RenderDevice* getRenderDevice() const;

protected:
    GLView(std::unique_ptr<backend::PlatformView> platformView, const std::string& viewName,
           float frameZoomFactor);

private:
    void updateDesignResolution();
    void applyClip();
    Vec2 designToView(const Vec2& designPoint) const;
    void dispatchTouch(Touch* touch, EventTouch::EventCode code);
    // Ends a touch (ended or cancelled) and lets its object go.
    void finishTouch(int id, const Vec2& windowPoint, EventTouch::EventCode code);
    void dispatchMouse(EventMouse::MouseEventType type, EventMouse::MouseButton button,
                       const Vec2& windowPoint, float scrollX, float scrollY);

    std::unique_ptr<backend::PlatformView> _platformView;
    std::string _viewName;
    float _frameZoomFactor = 1.f;
    Size _frameSize;
    Size _outputSize;  // pixels
    Size _designResolutionSize;
    ResolutionPolicy _resolutionPolicy = ResolutionPolicy::UNKNOWN;
    float _scaleX = 1.f;
    float _scaleY = 1.f;
    Rect _viewPortRect;
    bool _shouldClose = false;
    bool _minimized = false;
    std::function<bool()> _closeRequestCallback;
    std::function<void(const std::string&)> _fileDropCallback;

    bool _scissorEnabled = false;
    Rect _scissorRect;

    std::map<int, Touch*> _touches;  // one reference each
    int _mouseButtonsHeld = 0;       // bit per EventMouse button
    Vec2 _lastMouseDesign;
    Vec2 _lastMouseWindow;
};

NS_CC_END
