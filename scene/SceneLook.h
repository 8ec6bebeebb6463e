// The look the workspace's parts share: the font, the ink, the trash marker's plain picture,
// the popups' shade, frame and fade, and the slides. Private to scene/; depends on the engine only.
#pragma once

#include "cocos2d.h"

namespace scenelook {

const char* const kFont = "Helvetica";
// Card captions and set names, which must read from a distance on their coloured bands.
const char* const kBoldFont = "Helvetica:bold";
const char* const kTrashImage = "res/r_card_clean.png";
// The workspace's dark text and the progress and calm notices behind white text.
const cocos2d::Color3B kInk(55, 71, 79);
// Dims the workspace behind a popup.
const cocos2d::Color4B kPopupShade(127, 127, 127, 127);
constexpr float kPopupFrameWidth = 5.f;
constexpr float kPopupFadeSeconds = 0.1f;
// The chosen dialect's picture sliding onto the dialect button.
constexpr float kDialectSlideSeconds = 0.1f;
// The settings bar sliding open or shut.
constexpr float kSettingsSlideSeconds = 0.2f;

// A flat bar of colour, its bottom left corner at (x, y) of the parent: what the popups
// are built of.
inline void addBar(cocos2d::Node* parent, const cocos2d::Color4B& colour, float x, float y, float w,
                   float h) {
    cocos2d::LayerColor* bar = cocos2d::LayerColor::create(colour, w, h);
    bar->setPosition(x, y);
    parent->addChild(bar);
}

}  // namespace scenelook
