// The look the workspace and the board simulator share: the fonts, the colours, the popups'
// shade, frame and fade, and the slides. Constants only; depends on the engine's types.
#pragma once

#include "cocos2d.h"

namespace look {

const char* const kFont = "Helvetica";
// Card captions and set names, which must read from a distance on their coloured bands.
const char* const kBoldFont = "Helvetica:bold";

constexpr cocos2d::Color4B kPaper(255, 255, 255, 255);
// The workspace's frame: the palette's edges, the bars, the popups' frame.
constexpr cocos2d::Color4B kFrame(105, 208, 238, 255);
// The frame's darker blue, for white marks to stand on.
constexpr cocos2d::Color4B kFrameDark(42, 155, 200, 255);
constexpr cocos2d::Color4B kPale(228, 246, 252, 255);
// The dark text, and the progress and calm notices behind white text.
constexpr cocos2d::Color3B kInk(55, 71, 79);
// Quiet buttons and states at rest.
constexpr cocos2d::Color3B kMuted(120, 144, 156);
// Something went wrong: a notice, a row the board named in an error, a failed line.
constexpr cocos2d::Color3B kRed(229, 72, 77);

// Dims the workspace behind a popup.
constexpr cocos2d::Color4B kPopupShade(127, 127, 127, 127);
constexpr float kPopupFrameWidth = 5.f;
constexpr float kPopupFadeSeconds = 0.1f;
// The chosen dialect's picture sliding onto the dialect button.
constexpr float kDialectSlideSeconds = 0.1f;
// The settings bar sliding open or shut.
constexpr float kSettingsSlideSeconds = 0.2f;

}  // namespace look
