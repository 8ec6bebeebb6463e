// Test harness for everything built on the engine: a clean director with a headless
// 1024 x 768 view (design 1024 x 768, show-all, content scale factor 2) running an empty
// scene. Frames are stepped with a fixed time step; input is injected through the view's
// own input path in design coordinates; the recorded draws of the last frame can be read.
// Depends on the engine and the headless backend; not on any test framework.
#pragma once

#include <string>
#include <vector>

#include "base/EventKeyboard.h"
#include "base/EventMouse.h"
#include "math/Vec2.h"
#include "platform/headless/HeadlessView.h"

NS_CC_BEGIN

class GLView;
class Scene;

class HeadlessHarness {
public:
    static constexpr float kFrame = 1.f / 60.f;

    // Resets the director and installs the view; the window (and output) may be given
    // another size to see the letterboxing.
    explicit HeadlessHarness(int windowWidth = 1024, int windowHeight = 768);
    // Resets the director again, so the next test starts clean.
    ~HeadlessHarness();
    HeadlessHarness(const HeadlessHarness&) = delete;
    HeadlessHarness& operator=(const HeadlessHarness&) = delete;

    // The running scene (add the nodes under test to it).
    Scene* scene() const;
    GLView* view() const;
    backend::HeadlessView& platformView() const;
    backend::HeadlessRenderDevice& device() const;

    // One frame of dt seconds, or n of them.
    void step(float dt = kFrame);
    void steps(int n, float dt = kFrame);

    // A touch (a finger, or id 0 as the mouse does) at a design point; dispatched at once.
    void touchBegan(const Vec2& point, int id = 0);
    void touchMoved(const Vec2& point, int id = 0);
    void touchEnded(const Vec2& point, int id = 0);
    void touchCancelled(const Vec2& point, int id = 0);
    // A whole tap: began and ended at the point.
    void tap(const Vec2& point, int id = 0);
    // A finger event (TouchDown, TouchMove or TouchUp) at a design point, queued as the
    // window would deliver it: handled, in order of queueing, at the next frame.
    void queueFinger(backend::InputEvent::Type type, int id, const Vec2& point);

    // Mouse input at a design point, as the window would deliver it; the left button also
    // acts as touch 0.
    void mouseDown(EventMouse::MouseButton button, const Vec2& point);
    void mouseUp(EventMouse::MouseButton button, const Vec2& point);
    void mouseMove(const Vec2& point);
    // The wheel at a design point; scrollY as listeners see it (negative: away from the
    // user).
    void scroll(const Vec2& point, float scrollY);

    // A change of the window's state (focus lost, minimised, restored, a close request, a
    // forced quit...), as the window would report it; dispatched at once.
    void windowEvent(backend::InputEvent::Type type);
    // A key pressed and released with Ctrl and Shift as held, as the window would deliver
    // them.
    void keyDown(EventKeyboard::KeyCode key, bool ctrl = false, bool shift = false);
    void keyUp(EventKeyboard::KeyCode key, bool ctrl = false, bool shift = false);
    // A file dropped onto the window, by its path.
    void dropFile(const std::string& path);

    // Quads of the last drawn frame, in drawing order.
    const std::vector<backend::DrawRecord>& draws() const;
    // What a quad showed: the picture's path, "label:<text>" for a label, "" for a fill.
    std::string pictureOf(const backend::DrawRecord& record) const;
    // pictureOf for every quad of the last frame.
    std::vector<std::string> drawnPictures() const;
    // Frames drawn since the harness started.
    unsigned int drawnFrames() const;

private:
    Vec2 toWindow(const Vec2& designPoint) const;
    void inject(const backend::InputEvent& event);
    void injectButton(backend::InputEvent::Type type, EventMouse::MouseButton button,
                      const Vec2& point);
    void injectKey(backend::InputEvent::Type type, EventKeyboard::KeyCode key, bool ctrl,
                   bool shift);

    GLView* _view = nullptr;
    backend::HeadlessView* _platformView = nullptr;
};

NS_CC_END
