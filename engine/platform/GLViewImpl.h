// The concrete view: a desktop window from the platform backend, or any platform view
// handed in (the headless one in tests). Depends on GLView and the backend interface.
#pragma once

#include <memory>
#include <string>

#include "math/Rect.h"
#include "platform/GLView.h"

NS_CC_BEGIN

class GLViewImpl : public GLView {
public:
    // A 960 x 640 window with the title; nullptr (after a message) when none can open.
    static GLViewImpl* create(const std::string& viewName);
    // A window of rect's size times the zoom factor, where the placer (if any) puts it;
    // nullptr when none can open.
    static GLViewImpl* createWithRect(const std::string& viewName, Rect rect,
                                      float frameZoomFactor = 1.0f,
                                      const backend::WindowPlacer& placer = {});
    // A view over an existing platform view (for example backend::createHeadlessView).
    static GLViewImpl* createWithPlatformView(std::unique_ptr<backend::PlatformView> view,
                                              const std::string& viewName,
                                              float frameZoomFactor = 1.0f);

private:
    GLViewImpl(std::unique_ptr<backend::PlatformView> view, const std::string& viewName,
               float frameZoomFactor)
        : GLView(std::move(view), viewName, frameZoomFactor) {}
};

NS_CC_END
