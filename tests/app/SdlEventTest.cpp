// SDL events as the engine sees them, made by hand, and the window view without a display:
// it must fail with a reason, not open a window nobody can see (SDL would otherwise fall
// back to its off-screen driver).
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/EventKeyboard.h"
#include "platform/Backend.h"
#include "platform/sdl/SdlEventTranslator.h"
#include "platform/sdl/SdlFingerTracker.h"

using cocos2d::backend::InputEvent;
using cocos2d::backend::translateSdlEvent;
using Key = cocos2d::EventKeyboard::KeyCode;
using Type = InputEvent::Type;

namespace {

// What the engine makes of the event: "-" when it ignores it, else the type and the
// fields that matter for it.
std::string seen(const SDL_Event& e) {
    InputEvent out;
    if (!translateSdlEvent(e, out)) {
        return "-";
    }
    std::string text = std::to_string(static_cast<int>(out.type));
    switch (out.type) {
    case Type::MouseDown:
    case Type::MouseUp:
    case Type::MouseMove:
        return text + " b" + std::to_string(out.button) + " " +
               std::to_string(static_cast<int>(out.x)) + "," + std::to_string(static_cast<int>(out.y));
    case Type::Wheel:
        return text + " " + std::to_string(static_cast<int>(out.wheelY * 2));
    case Type::KeyDown:
    case Type::KeyUp:
        return text + " k" + std::to_string(out.key) + (out.ctrl ? " ctrl" : "") +
               (out.shift ? " shift" : "");
    case Type::FileDropped:
        return text + " " + out.text;
    default:
        return text;
    }
}

std::string expect(Type type, const std::string& rest = "") {
    return std::to_string(static_cast<int>(type)) + (rest.empty() ? "" : " " + rest);
}

std::string key(Key k, const std::string& mods = "") {
    return "k" + std::to_string(static_cast<int>(k)) + mods;
}

SDL_Event windowEvent(Uint8 which) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = which;
    return e;
}

SDL_Event keyEvent(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod,
                   Uint8 repeat = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    e.key.repeat = repeat;
    return e;
}

SDL_Event mouse(Uint32 type, Uint8 button, Uint32 which = 0) {
    SDL_Event e{};
    e.type = type;
    e.button.button = button;
    e.button.which = which;
    e.button.x = 30;
    e.button.y = 700;
    return e;
}

}  // namespace

TEST(TranslateSdlEvent, KeepsWhatTheProgramActsOnAndDropsTheRest) {
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.preciseY = -1.5f;
    wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;  // positive stays away from the user
    std::string file = "/home/anna/Meine Programme/Ampel \xc3\xbc.json";
    std::string words = "some words";
    SDL_Event dropped{};
    dropped.type = SDL_DROPFILE;
    dropped.drop.file = &file[0];
    SDL_Event text = dropped;
    text.type = SDL_DROPTEXT;  // text dragged from a page is no file
    text.drop.file = &words[0];
    SDL_Event noFile = dropped;
    noFile.drop.file = nullptr;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 7;
    motion.motion.y = 70;
    SDL_Event finger{};
    finger.type = SDL_FINGERDOWN;

    const std::vector<std::pair<SDL_Event, std::string>> cases = {
        {windowEvent(SDL_WINDOWEVENT_MINIMIZED), expect(Type::Minimized)},
        {windowEvent(SDL_WINDOWEVENT_RESTORED), expect(Type::Restored)},
        {windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED), expect(Type::Exposed)},
        {windowEvent(SDL_WINDOWEVENT_RESIZED), "-"},  // comes with SIZE_CHANGED: one redraw
        {windowEvent(SDL_WINDOWEVENT_FOCUS_LOST), expect(Type::FocusLost)},
        // The close button asks; only SDL_QUIT (a signal, a logout) is a Quit.
        {windowEvent(SDL_WINDOWEVENT_CLOSE), expect(Type::CloseRequested)},
        {quit, expect(Type::Quit)},
        {mouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT), expect(Type::MouseUp, "b3 30,700")},
        {motion, expect(Type::MouseMove, "b0 7,70")},
        {mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1), "-"},
        // Fingers come through the finger tracker; SDL's mouse copies of them are dropped.
        {finger, "-"},
        {mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, SDL_TOUCH_MOUSEID), "-"},
        {wheel, expect(Type::Wheel, "3")},
        {dropped, expect(Type::FileDropped, file)},
        {text, "-"},
        {noFile, "-"},
        {keyEvent(SDL_KEYDOWN, SDL_SCANCODE_Z, SDLK_z, KMOD_RCTRL | KMOD_LSHIFT),
         expect(Type::KeyDown, key(Key::KEY_Z, " ctrl shift"))},
        // The system repeats a held Ctrl+Z: still one undo.
        {keyEvent(SDL_KEYDOWN, SDL_SCANCODE_Z, SDLK_z, KMOD_LCTRL, 1), "-"},
        // Locks are not held keys: Caps Lock is no Shift.
        {keyEvent(SDL_KEYUP, SDL_SCANCODE_Y, SDLK_y, KMOD_CAPS | KMOD_NUM),
         expect(Type::KeyUp, key(Key::KEY_Y))},
        // On a German keyboard Z sits where Y is on an English one: the label counts.
        {keyEvent(SDL_KEYDOWN, SDL_SCANCODE_Y, SDLK_z, KMOD_LCTRL),
         expect(Type::KeyDown, key(Key::KEY_Z, " ctrl"))},
        {keyEvent(SDL_KEYDOWN, SDL_SCANCODE_F13, SDLK_F13, KMOD_NONE), "-"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(seen(cases[i].first), cases[i].second) << "case " << i;
    }
}

TEST(SdlFingerTracker, EveryFingerIsATouchOfItsOwnUntilItComesUp) {
    struct Step {
        Uint32 sdl;
        SDL_TouchID device;
        SDL_FingerID finger;
        std::string seen;  // type and touch id, "-" when ignored
    };
    const std::string down = std::to_string(static_cast<int>(Type::TouchDown)) + " ";
    const Step steps[] = {
        {SDL_FINGERDOWN, 5, 40, down + "1"},
        {SDL_FINGERDOWN, 5, 41, down + "2"},
        {SDL_FINGERDOWN, 6, 40, down + "3"},  // another screen
        {SDL_FINGERUP, 5, 41, std::to_string(static_cast<int>(Type::TouchUp)) + " 2"},
        {SDL_FINGERMOTION, 5, 41, "-"},            // up already
        {SDL_FINGERUP, 5, 99, "-"},                // down elsewhere
        {SDL_FINGERDOWN, 5, 42, down + "2"},       // lowest free id
        {SDL_FINGERDOWN, 5, 42, down + "2"},       // its release was lost
        {SDL_FINGERDOWN, SDL_MOUSE_TOUCHID, 1, "-"},  // the mouse's copy
    };
    cocos2d::backend::SdlFingerTracker fingers;
    for (const Step& step : steps) {
        SDL_Event e{};
        e.type = step.sdl;
        e.tfinger.touchId = step.device;
        e.tfinger.fingerId = step.finger;
        e.tfinger.x = 1.25f;  // off the window: kept, as a finger may leave it
        e.tfinger.y = 0.5f;
        InputEvent out;
        const bool meaningful = fingers.translate(e.tfinger, 400, 200, out);
        EXPECT_EQ(meaningful ? std::to_string(static_cast<int>(out.type)) + " " +
                                   std::to_string(out.touch)
                             : "-",
                  step.seen)
            << step.device << "/" << step.finger;
        EXPECT_TRUE(!meaningful || (out.x == 500.f && out.y == 100.f));
    }
    EXPECT_EQ(fingers.fingersDown(), 3u);
}

TEST(CreateWindowViewWithoutDisplay, FailsAndSaysWhy) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    std::string error;
    auto view = cocos2d::backend::createWindowView("ZundleApps", 1024, 768, error);
    EXPECT_EQ(view, nullptr);
    EXPECT_NE(error.find("display"), std::string::npos) << error;
}
