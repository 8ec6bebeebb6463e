// SDL events as the engine sees them: buttons, motion, wheel direction, keys, window state.
// Needs no display: the events are made by hand.
#include <SDL.h>
#include <gtest/gtest.h>

#include <ostream>

#include "base/EventKeyboard.h"
#include "platform/sdl/SdlEventTranslator.h"

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

TEST_P(TranslateWindowEvent, MapsWindowStateToDrawingState) {
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

TEST(TranslateSdlEvent, QuitClosesAndFingerEventsAreLeftToTheirMouseTwins) {
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

}  // namespace
