#include "scene/Popup.h"

#include "scene/PressListener.h"
#include "scene/SceneLook.h"

USING_NS_CC;
using namespace scenelook;

namespace popup {

Layer* open(Node* parent, OnPressOff onPressOff) {
    const Size visible = Director::getInstance()->getVisibleSize();
    auto* layer = Layer::create();
    layer->setCascadeOpacityEnabled(true);
    layer->addChild(LayerColor::create(kPopupShade, visible.width, visible.height));

    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [](Touch*, Event*) { return true; };
    listener->onTouchEnded = [onPressOff = std::move(onPressOff)](Touch* touch, Event*) {
        if (onPressOff) {
            onPressOff(touch);
        }
    };
    parent->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, layer);
    parent->addChild(layer);
    layer->setOpacity(0);
    layer->runAction(FadeIn::create(kPopupFadeSeconds));
    return layer;
}

namespace {
// The area with its frame around it.
Rect framed(const Rect& area) {
    return Rect(area.getMinX() - kPopupFrameWidth, area.getMinY() - kPopupFrameWidth,
                area.size.width + 2.f * kPopupFrameWidth, area.size.height + 2.f * kPopupFrameWidth);
}
}  // namespace

void addFrame(Node* popup, const Rect& area) {
    const Rect outer = framed(area);
    const float left = outer.getMinX();
    const float bottom = outer.getMinY();
    addBar(popup, kFrame, left, bottom, outer.size.width, kPopupFrameWidth);
    addBar(popup, kFrame, left, area.getMaxY(), outer.size.width, kPopupFrameWidth);
    addBar(popup, kFrame, left, bottom, kPopupFrameWidth, outer.size.height);
    addBar(popup, kFrame, area.getMaxX(), bottom, kPopupFrameWidth, outer.size.height);
}

bool isOnFrame(const Rect& area, const Vec2& point) {
    return framed(area).containsPoint(point);
}

void close(Layer* popup, std::function<void()> then) {
    EventDispatcher* dispatcher = popup->getEventDispatcher();
    dispatcher->removeEventListenersForTarget(popup, true);
    dispatcher->addEventListenerWithSceneGraphPriority(pressrule::makeBlocker(), popup);
    Vector<FiniteTimeAction*> steps;
    steps.pushBack(FadeOut::create(kPopupFadeSeconds));
    if (then) {
        steps.pushBack(CallFunc::create(std::move(then)));
    }
    steps.pushBack(RemoveSelf::create(true));
    popup->runAction(Sequence::create(steps));
}

}  // namespace popup
