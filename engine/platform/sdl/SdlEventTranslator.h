// Turns SDL events into the engine's input events. Only the SDL backend's sources (and
// its tests) include this header; it forward-declares SDL's event type.
#pragma once

#include "platform/Backend.h"

union SDL_Event;

namespace cocos2d {
namespace backend {

// Fills `out` and answers true when the SDL event means something to the engine.
// Finger events are left to SdlFingerTracker, and the mouse events SDL makes from
// fingers (marked with SDL_TOUCH_MOUSEID) are dropped, so no contact counts twice.
// A dropped file's name is copied, never freed: that is for whoever polled the event.
bool translateSdlEvent(const SDL_Event& event, InputEvent& out);

}  // namespace backend
}  // namespace cocos2d
