// The workspace driven by the mouse, as a person drives it: the left button pressed,
// moved in steps and released, with frames of 1/60 s in between; and where the things
// a gesture aims at stand on the screen.
#pragma once

#include <algorithm>
#include <cmath>

#include "FieldChecks.h"
#include "FieldTestSupport.h"
#include "tests/scene/FieldScenePeer.h"

namespace fieldtest {

// The trash marker's centre on the screen.
const cocos2d::Vec2 kTrash(944.f, 688.f);
// A spot of the field right of the rows, with no slot or control on it.
const cocos2d::Vec2 kEmptyField(860.f, 400.f);

// The mouse over a harness: the pointer, and the left button pressed, moved in steps
// and released.
class Mouse {
public:
    explicit Mouse(cocos2d::HeadlessHarness& harness) : _harness(harness) {}

    void press(const cocos2d::Vec2& at) {
        pointer = at;
        held = true;
        _harness.mouseDown(cocos2d::EventMouse::BUTTON_LEFT, at);
    }
    // Moves the pointer to `to` in steps of at most `step` pixels.
    void moveTo(const cocos2d::Vec2& to, float step = 10.f) {
        const cocos2d::Vec2 from = pointer;
        const int steps = std::max(1, static_cast<int>(std::ceil(from.distance(to) / step)));
        for (int i = 1; i <= steps; ++i) {
            pointer = from.lerp(to, static_cast<float>(i) / static_cast<float>(steps));
            _harness.mouseMove(pointer);
        }
    }
    void release() {
        held = false;
        _harness.mouseUp(cocos2d::EventMouse::BUTTON_LEFT, pointer);
    }

    cocos2d::Vec2 pointer;
    // Whether the left button is down as far as the mouse knows.
    bool held = false;

private:
    cocos2d::HeadlessHarness& _harness;
};

class GestureTest : public FieldSceneTest {
protected:
    void press(const cocos2d::Vec2& at) { mouse.press(at); }
    void moveTo(const cocos2d::Vec2& to, float step = 10.f) { mouse.moveTo(to, step); }
    void release() { mouse.release(); }
    // Frames of 1/60 s covering the time.
    void hold(float seconds) {
        harness.steps(static_cast<int>(std::ceil(seconds / cocos2d::HeadlessHarness::kFrame)));
    }
    // Where a slot, or the card in it, stands on the screen.
    cocos2d::Vec2 onScreen(const cocos2d::Node* node) const { return centreOf(node); }

    // Palette card k of the current set, on the screen.
    cocos2d::Vec2 paletteCard(int k) const {
        return centreOf(inside(scene).paletteCards.at(static_cast<std::size_t>(k)));
    }
    // Presses a field card and holds it still until it (and after `cluster` its cluster)
    // is picked up.
    void pickUp(CardSprite* card, bool cluster = false) {
        press(onScreen(card));
        hold(cluster ? 0.45f : 0.1f);
        ASSERT_TRUE(inside(scene).dragMode);
    }
    void expectNoLeftovers() {
        hold(0.25f);  // the trash marker's fade-out
        EXPECT_EQ(firstGestureLeftover(*scene), "");
        EXPECT_EQ(firstFieldViolation(*scene), "");
    }

    Mouse mouse{harness};
    cocos2d::Vec2& pointer = mouse.pointer;
};

}  // namespace fieldtest
