// The one touch rule of the workspace's button-like controls: a touch that begins on the
// control dims it and is claimed (and swallowed); at its end the control is opaque again
// and acts only if the touch also ended on it; and the cover that claims every touch.
// Depends on the engine and CardSprite's hit test only.
#pragma once

#include <functional>

#include "cocos2d.h"

namespace pressrule {

// Opacity of a control while it is pressed; items inside the choosers use kChooserPressed.
constexpr cocos2d::GLubyte kPressed = 192;
constexpr cocos2d::GLubyte kChooserPressed = 128;

// What a control does on a release inside it; receives the control (the listener's node).
using Action = std::function<void(cocos2d::Node* control)>;

// A swallowing listener that applies the rule to the node it is registered on. `accepts`,
// when given, must hold at touch began for the press to be taken at all.
cocos2d::EventListenerTouchOneByOne* makeListener(Action action,
                                                  cocos2d::GLubyte pressedOpacity = kPressed,
                                                  std::function<bool()> accepts = {});

// A swallowing listener that claims every touch: for covers (the loading overlay, a
// popup fading out) that nothing beneath may hear while they stand.
cocos2d::EventListenerTouchOneByOne* makeBlocker();

}  // namespace pressrule
