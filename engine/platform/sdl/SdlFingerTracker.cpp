#include "platform/sdl/SdlFingerTracker.h"

#include <SDL.h>

#include <set>

namespace cocos2d {
namespace backend {
namespace {

// A touchpad's fingers lie on the pad, not on the window, and the pad moves the pointer
// as well: only a screen's fingers are touches. A device SDL does not list (an event
// pushed by a program) is taken for a screen. The lookup goes by SDL's own list, since
// asking SDL about an unknown device makes it enumerate its touch devices again.
bool isTouchScreen(SDL_TouchID device) {
    if (device == SDL_MOUSE_TOUCHID) {
        return false;  // SDL's own copy of the mouse, which arrives as the mouse already
    }
    for (int i = 0, n = SDL_GetNumTouchDevices(); i < n; ++i) {
        if (SDL_GetTouchDevice(i) == device) {
            return SDL_GetTouchDeviceType(device) == SDL_TOUCH_DEVICE_DIRECT;
        }
    }
    return true;
}

}  // namespace

int SdlFingerTracker::lowestFreeId() const {
    std::set<int> used;
    for (const auto& entry : _touchIds) {
        used.insert(entry.second);
    }
    int id = 1;
    while (used.count(id) != 0) {
        ++id;
    }
    return id;
}

bool SdlFingerTracker::translate(const SDL_TouchFingerEvent& finger, int windowWidth,
                                 int windowHeight, InputEvent& out) {
    out = InputEvent();
    const std::pair<std::int64_t, std::int64_t> key(finger.touchId, finger.fingerId);
    auto it = _touchIds.find(key);
    if (finger.type == SDL_FINGERDOWN) {
        // A finger down again keeps its touch: the engine then cancels the touch whose
        // release was lost before it begins the new one.
        if (it == _touchIds.end()) {
            if (!isTouchScreen(finger.touchId)) {
                return false;
            }
            it = _touchIds.emplace(key, lowestFreeId()).first;
        }
        out.type = InputEvent::Type::TouchDown;
    } else if (finger.type == SDL_FINGERMOTION || finger.type == SDL_FINGERUP) {
        // Fingers that went down elsewhere (or on a touchpad) are none of the engine's.
        if (it == _touchIds.end()) {
            return false;
        }
        out.type =
            finger.type == SDL_FINGERUP ? InputEvent::Type::TouchUp : InputEvent::Type::TouchMove;
    } else {
        return false;
    }
    out.touch = it->second;
    // SDL gives the place as a share of the window (with a renderer, held to the window's
    // edges when the finger slides off); the engine maps window points through the
    // letterbox as it does the mouse's.
    out.x = finger.x * static_cast<float>(windowWidth);
    out.y = finger.y * static_cast<float>(windowHeight);
    if (finger.type == SDL_FINGERUP) {
        _touchIds.erase(it);
    }
    return true;
}

}  // namespace backend
}  // namespace cocos2d
