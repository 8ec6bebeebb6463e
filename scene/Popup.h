// The workspace's popups (the shelf, the questions, the dialect and port choosers): a shade
// over the whole window that fades in, takes every touch while it stands so that nothing
// beneath hears one, and fades out when closed; a frame of the look where the popup has a
// panel. Depends on the engine, the look and the press rule.
#pragma once

#include <functional>

#include "cocos2d.h"

namespace popup {

// Called at the end of a touch that no control of the popup took, with that touch.
using OnPressOff = std::function<void(cocos2d::Touch* touch)>;

// A new popup over `parent`, fading in: the shade covers the window, and a touch anywhere
// reaches nothing beneath it; the popup's own controls, its children, hear theirs first.
cocos2d::Layer* open(cocos2d::Node* parent, OnPressOff onPressOff);

// The look's frame around `area` of the popup (its bars lie just outside the area).
void addFrame(cocos2d::Node* popup, const cocos2d::Rect& area);

// Whether a point lies on `area` with its frame.
bool isOnFrame(const cocos2d::Rect& area, const cocos2d::Vec2& point);

// Closes the popup: its controls stop at once; while it fades out it still takes every
// touch; then `then` runs, when given, and the popup is removed.
void close(cocos2d::Layer* popup, std::function<void()> then = {});

}  // namespace popup
