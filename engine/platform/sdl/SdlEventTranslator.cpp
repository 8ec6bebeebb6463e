#include "platform/sdl/SdlEventTranslator.h"

#include <SDL.h>

#include "base/EventKeyboard.h"

namespace cocos2d {
namespace backend {
namespace {

bool translateWindowEvent(const SDL_WindowEvent& window, InputEvent& out) {
    switch (window.event) {
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN:
            out.type = InputEvent::Type::Minimized;
            return true;
        // A release made while another window has the pointer never arrives here.
        case SDL_WINDOWEVENT_FOCUS_LOST:
            out.type = InputEvent::Type::FocusLost;
            return true;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN:
            out.type = InputEvent::Type::Restored;
            return true;
        // SIZE_CHANGED follows every size change, RESIZED only the user's; one is enough.
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            out.type = InputEvent::Type::Exposed;
            return true;
        // The close button. SDL would add an SDL_QUIT for the last window, which the view
        // hint turns off, so that the program can ask about unsaved work first.
        case SDL_WINDOWEVENT_CLOSE:
            out.type = InputEvent::Type::CloseRequested;
            return true;
        default:
            return false;
    }
}

bool translateButton(const SDL_MouseButtonEvent& button, InputEvent::Type type, InputEvent& out) {
    // SDL numbers left, middle and right as 1, 2, 3, as the engine does; side buttons
    // mean nothing here.
    if (button.button < SDL_BUTTON_LEFT || button.button > SDL_BUTTON_RIGHT)
        return false;
    out.type = type;
    out.button = button.button;
    out.x = static_cast<float>(button.x);
    out.y = static_cast<float>(button.y);
    return true;
}

bool translateKey(const SDL_KeyboardEvent& key, InputEvent::Type type, InputEvent& out) {
    using Code = EventKeyboard::KeyCode;
    static const std::pair<SDL_Keycode, Code> kKeys[] = {
        {SDLK_ESCAPE, Code::KEY_ESCAPE},
        {SDLK_BACKSPACE, Code::KEY_BACKSPACE},
        {SDLK_TAB, Code::KEY_TAB},
        {SDLK_RETURN, Code::KEY_ENTER},
        {SDLK_SPACE, Code::KEY_SPACE},
        {SDLK_LEFT, Code::KEY_LEFT_ARROW},
        {SDLK_RIGHT, Code::KEY_RIGHT_ARROW},
        {SDLK_UP, Code::KEY_UP_ARROW},
        {SDLK_DOWN, Code::KEY_DOWN_ARROW},
        {SDLK_y, Code::KEY_Y},
        {SDLK_z, Code::KEY_Z},
    };
    // A held key is one press: the system's repeats would read as many.
    if (key.repeat != 0)
        return false;
    for (const auto& entry : kKeys) {
        if (entry.first == key.keysym.sym) {
            out.type = type;
            out.key = static_cast<int>(entry.second);
            out.ctrl = (key.keysym.mod & KMOD_CTRL) != 0;
            out.shift = (key.keysym.mod & KMOD_SHIFT) != 0;
            return true;
        }
    }
    return false;
}

// The mouse events SDL or the system make from a finger: the finger is a touch already.
bool comesFromAFinger(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            return event.button.which == SDL_TOUCH_MOUSEID;
        case SDL_MOUSEMOTION:
            return event.motion.which == SDL_TOUCH_MOUSEID;
        case SDL_MOUSEWHEEL:
            return event.wheel.which == SDL_TOUCH_MOUSEID;
        default:
            return false;
    }
}

}  // namespace

bool translateSdlEvent(const SDL_Event& event, InputEvent& out) {
    out = InputEvent();
    if (comesFromAFinger(event)) {
        return false;
    }
    switch (event.type) {
        case SDL_QUIT:
            out.type = InputEvent::Type::Quit;
            return true;
        case SDL_WINDOWEVENT:
            return translateWindowEvent(event.window, out);
        case SDL_MOUSEBUTTONDOWN:
            return translateButton(event.button, InputEvent::Type::MouseDown, out);
        case SDL_MOUSEBUTTONUP:
            return translateButton(event.button, InputEvent::Type::MouseUp, out);
        case SDL_KEYDOWN:
            return translateKey(event.key, InputEvent::Type::KeyDown, out);
        case SDL_KEYUP:
            return translateKey(event.key, InputEvent::Type::KeyUp, out);
        case SDL_MOUSEMOTION:
            out.type = InputEvent::Type::MouseMove;
            out.x = static_cast<float>(event.motion.x);
            out.y = static_cast<float>(event.motion.y);
            return true;
        case SDL_MOUSEWHEEL: {
            // Positive y is away from the user unless the system flips it.
            const float sign = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.f : 1.f;
            out.type = InputEvent::Type::Wheel;
            out.wheelX = sign * event.wheel.preciseX;
            out.wheelY = sign * event.wheel.preciseY;
            out.x = static_cast<float>(event.wheel.mouseX);
            out.y = static_cast<float>(event.wheel.mouseY);
            return true;
        }
        // One event per file when several are dropped at once. The string stays SDL's:
        // whoever took the event from SDL's queue frees it.
        case SDL_DROPFILE:
            if (event.drop.file == nullptr || *event.drop.file == '\0')
                return false;
            out.type = InputEvent::Type::FileDropped;
            out.text = event.drop.file;
            return true;
        case SDL_RENDER_DEVICE_RESET:
        case SDL_RENDER_TARGETS_RESET:
            out.type = InputEvent::Type::Exposed;
            return true;
        default:  // finger events included: they are SdlFingerTracker's
            return false;
    }
}

}  // namespace backend
}  // namespace cocos2d
