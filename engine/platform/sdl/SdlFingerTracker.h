// Gives every finger on a touch screen an engine touch of its own for as long as it is
// down, at its place in window points. Only the SDL backend's sources (and its tests)
// include this header; it forward-declares SDL's finger event.
#pragma once

#include <cstdint>
#include <map>
#include <utility>

#include "platform/Backend.h"

struct SDL_TouchFingerEvent;

namespace cocos2d {
namespace backend {

class SdlFingerTracker {
public:
    // Fills `out` with the touch event of a finger event and answers true when it means
    // something to the engine; the window's size in points places the finger.
    bool translate(const SDL_TouchFingerEvent& finger, int windowWidth, int windowHeight,
                   InputEvent& out);
    // Fingers down now.
    std::size_t fingersDown() const { return _touchIds.size(); }

private:
    int lowestFreeId() const;

    // (device, finger) as SDL names them, to the engine's touch id.
    std::map<std::pair<std::int64_t, std::int64_t>, int> _touchIds;
};

}  // namespace backend
}  // namespace cocos2d
