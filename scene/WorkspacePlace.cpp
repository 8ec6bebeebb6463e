#include "scene/WorkspacePlace.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "devicelink/LinkPlatform.h"
#include "devicelink/ZundleCardSerialManager.h"
#include "handoff/WorkspaceHandOff.h"
#include "scene/FieldScene.h"

USING_NS_CC;

namespace {

std::string textOf(const backend::PixelRect& rect) {
    return std::to_string(rect.x) + "," + std::to_string(rect.y) + "," + std::to_string(rect.w) +
           "," + std::to_string(rect.h);
}

// The node's area in design coordinates (origin bottom left).
Rect designArea(const Node& node) {
    const Vec2 low = node.convertToWorldSpace(Vec2::ZERO);
    const Vec2 high =
        node.convertToWorldSpace(Vec2(node.getContentSize().width, node.getContentSize().height));
    return Rect(low.x, low.y, high.x - low.x, high.y - low.y);
}

// A design area on the screen: window points from the view, moved by the window's place,
// rounded outwards.
backend::PixelRect onScreen(const GLView& view, const backend::PixelRect& frame, const Rect& area) {
    const Vec2 topLeft = view.designToWindow(Vec2(area.getMinX(), area.getMaxY()));
    const Vec2 bottomRight = view.designToWindow(Vec2(area.getMaxX(), area.getMinY()));
    const int left = static_cast<int>(std::floor(topLeft.x));
    const int top = static_cast<int>(std::floor(topLeft.y));
    return backend::PixelRect{frame.x + left, frame.y + top,
                              static_cast<int>(std::ceil(bottomRight.x)) - left,
                              static_cast<int>(std::ceil(bottomRight.y)) - top};
}

}  // namespace

void publishWorkspacePlace(FieldScene& scene) {
    const GLView* view = Director::getInstance()->getOpenGLView();
    const ZundleCardSerialManager* link = ZundleCardSerialManager::getInstance();
    backend::PixelRect frame;
    if (view == nullptr || view->getPlatformView() == nullptr ||
        !view->getPlatformView()->getScreenFrame(frame) || link->isSearching() ||
        link->isSending()) {
        return;
    }
    devicelink::platform::setToolVariable(handoff::kFrameVariable, textOf(frame));
    scene.toldFrame = frame;
    if (scene.playButton != nullptr && scene.stopButton != nullptr) {
        const Rect controls =
            designArea(*scene.playButton).unionWithRect(designArea(*scene.stopButton));
        devicelink::platform::setToolVariable(handoff::kControlsVariable,
                                              textOf(onScreen(*view, frame, controls)));
    }
}

std::optional<backend::PixelRect> movedForRoom(const backend::PixelRect& now,
                                               const std::optional<backend::PixelRect>& told,
                                               int by, bool fillsDisplay) {
    const bool standsWhereTold =
        told && told->x == now.x && told->y == now.y && told->w == now.w && told->h == now.h;
    if (fillsDisplay || !standsWhereTold || by == 0 || std::abs(by) >= now.w) {
        return std::nullopt;
    }
    backend::PixelRect moved = now;
    moved.x += by;
    return moved;
}

void moveWorkspaceForRoom(const FieldScene& scene, int by) {
    GLView* view = Director::getInstance()->getOpenGLView();
    backend::PlatformView* window = view != nullptr ? view->getPlatformView() : nullptr;
    backend::PixelRect now;
    if (window == nullptr || !window->getScreenFrame(now)) {
        return;
    }
    if (const auto moved = movedForRoom(now, scene.toldFrame, by, window->fillsDisplay())) {
        window->moveScreenFrame(moved->x, moved->y);
    }
}
