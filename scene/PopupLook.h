// What the workspace's popups share: the grey shade over the window, the light-blue frame's
// width, the fade, and the flat bars they are built of. Depends on the engine only.
#pragma once

#include "cocos2d.h"

namespace popuplook {

const cocos2d::Color4B kShade(127, 127, 127, 127);
constexpr float kFrameWidth = 5.f;
constexpr float kFadeSeconds = 0.1f;

// A flat bar of colour, its bottom left corner at (x, y) of the parent.
inline void addBar(cocos2d::Node* parent, const cocos2d::Color4B& colour, float x, float y,
                   float w, float h) {
    cocos2d::LayerColor* bar = cocos2d::LayerColor::create(colour, w, h);
    bar->setPosition(x, y);
    parent->addChild(bar);
}

}  // namespace popuplook
