// SDL events as the engine sees them: buttons, motion, wheel direction, keys with their
// modifiers, window state, dropped files, fingers.
// Needs no display: the events are made by hand.
#include <SDL.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "base/EventKeyboard.h"
#include "platform/sdl/SdlEventTranslator.h"
#include "platform/sdl/SdlFingerTracker.h"

using cocos2d::backend::InputEvent;
using cocos2d::backend::translateSdlEvent;
using Type = InputEvent::Type;

namespace {

SDL_Event windowEvent(Uint8 which) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = which;
    return e;
}

struct WindowCase {
    Uint8 sdl;
    bool meaningful;
    Type type;
};

void PrintTo(const WindowCase& c, std::ostream* os) {
    *os << "window event " << int(c.sdl);
}

class TranslateWindowEvent : public testing::TestWithParam<WindowCase> {};

TEST_P(TranslateWindowEvent, MapsWindowStateToDrawingStateAndTheCloseButtonToARequest) {
    const WindowCase& c = GetParam();
    InputEvent out;
    ASSERT_EQ(translateSdlEvent(windowEvent(c.sdl), out), c.meaningful);
    if (c.meaningful) {
        EXPECT_EQ(out.type, c.type);
    }
}

INSTANTIATE_TEST_SUITE_P(
    States, TranslateWindowEvent,
    testing::Values(WindowCase{SDL_WINDOWEVENT_MINIMIZED, true, Type::Minimized},
                    WindowCase{SDL_WINDOWEVENT_HIDDEN, true, Type::Minimized},
                    WindowCase{SDL_WINDOWEVENT_RESTORED, true, Type::Restored},
                    WindowCase{SDL_WINDOWEVENT_SHOWN, true, Type::Restored},
                    WindowCase{SDL_WINDOWEVENT_EXPOSED, true, Type::Exposed},
                    WindowCase{SDL_WINDOWEVENT_SIZE_CHANGED, true, Type::Exposed},
                    // RESIZED always comes with SIZE_CHANGED: one redraw is enough.
                    WindowCase{SDL_WINDOWEVENT_RESIZED, false, Type::Exposed},
                    WindowCase{SDL_WINDOWEVENT_MOVED, false, Type::Exposed},
                    WindowCase{SDL_WINDOWEVENT_FOCUS_LOST, true, Type::FocusLost},
                    // The close button asks; only SDL_QUIT (a signal, a logout) is a Quit.
                    WindowCase{SDL_WINDOWEVENT_CLOSE, true, Type::CloseRequested},
                    WindowCase{SDL_WINDOWEVENT_FOCUS_GAINED, false, Type::Exposed}));

TEST(TranslateSdlEvent, ButtonsKeepSdlNumberingAndSideButtonsAreIgnored) {
    for (Uint8 button : {SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT, SDL_BUTTON_X1}) {
        SDL_Event e{};
        e.type = SDL_MOUSEBUTTONUP;
        e.button.button = button;
        e.button.x = 30;
        e.button.y = 40;
        InputEvent out;
        const bool meaningful = translateSdlEvent(e, out);
        ASSERT_EQ(meaningful, button != SDL_BUTTON_X1) << int(button);
        if (!meaningful)
            continue;
        EXPECT_EQ(out.type, Type::MouseUp);
        EXPECT_EQ(out.button, button);
        EXPECT_EQ(out.x, 30.f);
        EXPECT_EQ(out.y, 40.f);
    }
}

TEST(TranslateSdlEvent, MotionCarriesThePosition) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 7;
    e.motion.y = 700;
    InputEvent out;
    ASSERT_TRUE(translateSdlEvent(e, out));
    EXPECT_EQ(out.type, Type::MouseMove);
    EXPECT_EQ(out.x, 7.f);
    EXPECT_EQ(out.y, 700.f);
}

TEST(TranslateSdlEvent, WheelIsPositiveAwayFromTheUserEvenWhenTheSystemFlipsIt) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.preciseY = 1.5f;
    e.wheel.preciseX = -1.f;
    e.wheel.mouseX = 100;
    e.wheel.mouseY = 200;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    InputEvent out;
    ASSERT_TRUE(translateSdlEvent(e, out));
    EXPECT_EQ(out.type, Type::Wheel);
    EXPECT_EQ(out.wheelY, 1.5f);
    EXPECT_EQ(out.wheelX, -1.f);
    EXPECT_EQ(out.x, 100.f);
    EXPECT_EQ(out.y, 200.f);

    e.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    e.wheel.preciseY = -1.5f;
    ASSERT_TRUE(translateSdlEvent(e, out));
    EXPECT_EQ(out.wheelY, 1.5f);
}

TEST(TranslateSdlEvent, QuitEndsAtOnceAndNeitherFingersNorTheirMouseTwinsAreMouseEvents) {
    SDL_Event e{};
    e.type = SDL_QUIT;
    InputEvent out;
    ASSERT_TRUE(translateSdlEvent(e, out));
    EXPECT_EQ(out.type, Type::Quit);
    for (Uint32 finger : {SDL_FINGERDOWN, SDL_FINGERMOTION, SDL_FINGERUP}) {
        e.type = finger;
        EXPECT_FALSE(translateSdlEvent(e, out));
    }
    e.type = SDL_KEYDOWN;
    EXPECT_FALSE(translateSdlEvent(e, out));
    // The same field of each mouse event says who made it.
    for (Uint32 mouse : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP, SDL_MOUSEMOTION, SDL_MOUSEWHEEL}) {
        e = SDL_Event{};
        e.type = mouse;
        e.button.button = SDL_BUTTON_LEFT;
        e.motion.which = 0;
        EXPECT_TRUE(translateSdlEvent(e, out)) << mouse;
        e.motion.which = SDL_TOUCH_MOUSEID;
        EXPECT_FALSE(translateSdlEvent(e, out)) << mouse;
    }
}

TEST(SdlFingerTracker, EveryFingerIsATouchOfItsOwnUntilItComesUp) {
    struct Step {
        Uint32 sdl;
        SDL_TouchID device;
        SDL_FingerID finger;
        float x, y;
        bool meaningful;
        Type type;
        int touch;
    };
    const SDL_TouchID mouse = SDL_MOUSE_TOUCHID;
    const Step steps[] = {
        {SDL_FINGERDOWN, 5, 40, 0.5f, 0.25f, true, Type::TouchDown, 1},
        {SDL_FINGERDOWN, 5, 41, 0.f, 1.f, true, Type::TouchDown, 2},
        {SDL_FINGERDOWN, 6, 40, 1.f, 0.f, true, Type::TouchDown, 3},        // another screen
        {SDL_FINGERMOTION, 5, 41, 1.25f, -0.5f, true, Type::TouchMove, 2},  // off the window
        {SDL_FINGERUP, 5, 41, 1.5f, -0.5f, true, Type::TouchUp, 2},
        {SDL_FINGERMOTION, 5, 41, 0.5f, 0.5f, false, Type::TouchMove, 0},   // up already
        {SDL_FINGERUP, 5, 99, 0.5f, 0.5f, false, Type::TouchUp, 0},         // down elsewhere
        {SDL_FINGERDOWN, 5, 42, 0.5f, 0.5f, true, Type::TouchDown, 2},      // lowest free id
        {SDL_FINGERDOWN, 5, 42, 0.5f, 0.5f, true, Type::TouchDown, 2},      // its release was lost
        {SDL_FINGERDOWN, mouse, 1, 0.5f, 0.5f, false, Type::TouchDown, 0},  // the mouse's copy
        {SDL_FINGERMOTION, mouse, 1, 0.5f, 0.5f, false, Type::TouchMove, 0},
    };
    cocos2d::backend::SdlFingerTracker fingers;
    for (const Step& step : steps) {
        SDL_Event e{};
        e.type = step.sdl;
        e.tfinger.touchId = step.device;
        e.tfinger.fingerId = step.finger;
        e.tfinger.x = step.x;
        e.tfinger.y = step.y;
        InputEvent out;
        const std::string where = std::to_string(step.sdl) + " of finger " +
                                  std::to_string(step.device) + "/" + std::to_string(step.finger);
        ASSERT_EQ(fingers.translate(e.tfinger, 400, 200, out), step.meaningful) << where;
        if (step.meaningful) {
            EXPECT_EQ(out.type, step.type) << where;
            EXPECT_EQ(out.touch, step.touch) << where;
            EXPECT_EQ(out.x, step.x * 400.f) << where;
            EXPECT_EQ(out.y, step.y * 200.f) << where;
        }
    }
    EXPECT_EQ(fingers.fingersDown(), 3u);
}

TEST(TranslateSdlEvent, AHeldKeyIsOnePressAndUnknownKeysAreIgnored) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_SPACE;
    InputEvent out;
    ASSERT_TRUE(translateSdlEvent(e, out));
    EXPECT_EQ(out.type, Type::KeyDown);
    EXPECT_EQ(out.key, static_cast<int>(cocos2d::EventKeyboard::KeyCode::KEY_SPACE));
    e.key.repeat = 1;
    EXPECT_FALSE(translateSdlEvent(e, out));
    e.type = SDL_KEYUP;
    e.key.repeat = 0;
    ASSERT_TRUE(translateSdlEvent(e, out));
    EXPECT_EQ(out.type, Type::KeyUp);
    e.key.keysym.sym = SDLK_F13;
    EXPECT_FALSE(translateSdlEvent(e, out));
}

TEST(TranslateSdlEvent, ADroppedFileCarriesItsPathAndNothingElseDroppedMeansAnything) {
    struct Drop {
        Uint32 sdl;
        const char* file;
        bool meaningful;
    };
    const Drop drops[] = {
        {SDL_DROPFILE, "/home/anna/Meine Programme/Ampel \xc3\xbc.json", true},
        {SDL_DROPFILE, "C:\\Users\\anna\\blink.json", true},
        {SDL_DROPFILE, "", false},
        {SDL_DROPFILE, nullptr, false},
        {SDL_DROPTEXT, "some words", false},  // text dragged from a page is no file
        {SDL_DROPBEGIN, nullptr, false},
        {SDL_DROPCOMPLETE, nullptr, false},
    };
    for (const Drop& drop : drops) {
        std::string file = drop.file != nullptr ? drop.file : "";
        SDL_Event e{};
        e.type = drop.sdl;
        e.drop.file = drop.file != nullptr ? &file[0] : nullptr;
        InputEvent out;
        ASSERT_EQ(translateSdlEvent(e, out), drop.meaningful) << drop.sdl << " " << file;
        if (drop.meaningful) {
            EXPECT_EQ(out.type, Type::FileDropped);
            EXPECT_EQ(out.text, file);
        }
    }
}

struct KeyCase {
    const char* name;
    Uint32 sdl;
    SDL_Scancode scancode;  // the key's place on the keyboard
    SDL_Keycode sym;        // what the layout makes of it
    Uint16 mod;
    Type type;
    cocos2d::EventKeyboard::KeyCode key;
    bool ctrl, shift;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.name;
}

class TranslateKey : public testing::TestWithParam<KeyCase> {};

TEST_P(TranslateKey, NamesTheLayoutsKeyWithTheModifiersHeld) {
    const KeyCase& c = GetParam();
    SDL_Event e{};
    e.type = c.sdl;
    e.key.keysym.scancode = c.scancode;
    e.key.keysym.sym = c.sym;
    e.key.keysym.mod = c.mod;
    InputEvent out;
    ASSERT_TRUE(translateSdlEvent(e, out));
    EXPECT_EQ(out.type, c.type);
    EXPECT_EQ(out.key, static_cast<int>(c.key));
    EXPECT_EQ(out.ctrl, c.ctrl);
    EXPECT_EQ(out.shift, c.shift);
    // The system repeats a held Ctrl+Z: still one undo.
    e.key.repeat = 1;
    EXPECT_FALSE(translateSdlEvent(e, out));
}

using Key = cocos2d::EventKeyboard::KeyCode;
INSTANTIATE_TEST_SUITE_P(
    UndoAndRedo, TranslateKey,
    testing::Values(KeyCase{"CtrlZ", SDL_KEYDOWN, SDL_SCANCODE_Z, SDLK_z, KMOD_LCTRL, Type::KeyDown,
                            Key::KEY_Z, true, false},
                    KeyCase{"CtrlShiftZ", SDL_KEYDOWN, SDL_SCANCODE_Z, SDLK_z,
                            KMOD_RCTRL | KMOD_LSHIFT, Type::KeyDown, Key::KEY_Z, true, true},
                    KeyCase{"CtrlY", SDL_KEYDOWN, SDL_SCANCODE_Y, SDLK_y, KMOD_RCTRL, Type::KeyDown,
                            Key::KEY_Y, true, false},
                    KeyCase{"PlainZ", SDL_KEYDOWN, SDL_SCANCODE_Z, SDLK_z, KMOD_NONE, Type::KeyDown,
                            Key::KEY_Z, false, false},
                    // Locks are not held keys: Caps Lock is no Shift.
                    KeyCase{"ZWithLocksOn", SDL_KEYDOWN, SDL_SCANCODE_Z, SDLK_z,
                            KMOD_CAPS | KMOD_NUM, Type::KeyDown, Key::KEY_Z, false, false},
                    KeyCase{"ShiftYReleased", SDL_KEYUP, SDL_SCANCODE_Y, SDLK_y, KMOD_RSHIFT,
                            Type::KeyUp, Key::KEY_Y, false, true},
                    // On a German keyboard Z sits where Y is on an English one; Ctrl+Z is the key
                    // labelled Z.
                    KeyCase{"CtrlZOnAGermanLayout", SDL_KEYDOWN, SDL_SCANCODE_Y, SDLK_z, KMOD_LCTRL,
                            Type::KeyDown, Key::KEY_Z, true, false}),
    [](const testing::TestParamInfo<KeyCase>& param) { return std::string(param.param.name); });

}  // namespace
