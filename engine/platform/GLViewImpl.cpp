#include "platform/GLViewImpl.h"

#include <cmath>

#include "platform/FatalMessage.h"

NS_CC_BEGIN

GLViewImpl* GLViewImpl::create(const std::string& viewName) {
    return createWithRect(viewName, Rect(0.f, 0.f, 960.f, 640.f), 1.0f);
}

GLViewImpl* GLViewImpl::createWithRect(const std::string& viewName, Rect rect,
                                       float frameZoomFactor, const backend::WindowPlacer& placer) {
    if (frameZoomFactor <= 0.f) {
        frameZoomFactor = 1.f;
    }
    int width = static_cast<int>(std::lround(rect.size.width * frameZoomFactor));
    int height = static_cast<int>(std::lround(rect.size.height * frameZoomFactor));
    std::string error;
    std::unique_ptr<backend::PlatformView> view =
        backend::createWindowView(viewName, width, height, error, placer);
    if (view == nullptr) {
        showFatalMessage("Cannot open the window \"" + viewName +
                         "\": " + (error.empty() ? "unknown reason" : error));
        return nullptr;
    }
    return createWithPlatformView(std::move(view), viewName, frameZoomFactor);
}

GLViewImpl* GLViewImpl::createWithPlatformView(std::unique_ptr<backend::PlatformView> view,
                                               const std::string& viewName, float frameZoomFactor) {
    CCASSERT(view != nullptr, "createWithPlatformView needs a platform view");
    auto* glview = new GLViewImpl(std::move(view), viewName, frameZoomFactor);
    glview->autorelease();
    return glview;
}

NS_CC_END
