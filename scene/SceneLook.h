// The look the workspace's parts share: the workspace's and the simulator's common look
// (look/WorkspaceLook.h), the trash marker's plain picture and the bars popups are built of.
// Private to scene/; depends on the engine only.
#pragma once

#include "cocos2d.h"
#include "look/WorkspaceLook.h"

namespace scenelook {

using namespace look;

const char* const kTrashImage = "res/r_card_clean.png";

// A flat bar of colour, its bottom left corner at (x, y) of the parent: what the popups
// are built of.
inline void addBar(cocos2d::Node* parent, const cocos2d::Color4B& colour, float x, float y, float w,
                   float h) {
    cocos2d::LayerColor* bar = cocos2d::LayerColor::create(colour, w, h);
    bar->setPosition(x, y);
    parent->addChild(bar);
}

}  // namespace scenelook
