// Several fingers at once through the view's input path: each finger is a gesture of its
// own beside the mouse, a cancelled or lost touch ends only itself, and a finger lifted
// outside the window still ends its gesture.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "EngineTestSupport.h"

USING_NS_CC;

namespace {

using Type = backend::InputEvent::Type;
using Log = std::vector<std::string>;

class MultiTouch : public ::testing::Test {
protected:
    // A node over [x, x + width] x [0, 100] whose listener claims the touches that begin
    // on it and logs "<phase> <name> <touch id>".
    void area(const std::string& name, float x, float width, bool swallow) {
        Node* node = enginetest::marker(1, x, 0.f, width, 100.f);
        harness.scene()->addChild(node);
        auto* l = EventListenerTouchOneByOne::create();
        l->setSwallowTouches(swallow);
        auto note = [this, name](const char* phase, Touch* t) {
            log.push_back(std::string(phase) + " " + name + " " + std::to_string(t->getId()));
        };
        l->onTouchBegan = [note, node](Touch* t, Event*) {
            if (!node->getBoundingBox().containsPoint(t->getLocation())) {
                return false;
            }
            note("began", t);
            return true;
        };
        l->onTouchMoved = [note](Touch* t, Event*) { note("moved", t); };
        l->onTouchEnded = [note, this](Touch* t, Event*) {
            note("ended", t);
            endedAt = t->getLocation();
        };
        l->onTouchCancelled = [note](Touch* t, Event*) { note("cancelled", t); };
        Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(l,
                                                                                              node);
    }

    HeadlessHarness harness{1280, 768};  // letterboxed: the design area starts at x = 128
    Log log;
    Vec2 endedAt;
};

}  // namespace

TEST_F(MultiTouch, EveryFingerIsAGestureOfItsOwnBesideTheMouse) {
    area("under", 0.f, 300.f, false);  // drawn first: hears what the others let through
    area("left", 0.f, 100.f, true);
    area("right", 200.f, 100.f, false);
    // Two fingers landing in one frame arrive in order, each claimed where it landed.
    harness.queueFinger(Type::TouchDown, 1, Vec2(50.f, 50.f));
    harness.queueFinger(Type::TouchDown, 2, Vec2(250.f, 50.f));
    EXPECT_TRUE(log.empty());
    harness.step();
    harness.mouseDown(EventMouse::BUTTON_LEFT, Vec2(60.f, 60.f));
    harness.queueFinger(Type::TouchMove, 2, Vec2(260.f, 50.f));
    harness.queueFinger(Type::TouchUp, 1, Vec2(70.f, 50.f));
    harness.queueFinger(Type::TouchMove, 1, Vec2(80.f, 50.f));  // up already: nothing
    harness.step();
    harness.mouseMove(Vec2(20.f, 20.f));
    harness.mouseUp(EventMouse::BUTTON_LEFT, Vec2(20.f, 20.f));
    harness.queueFinger(Type::TouchUp, 2, Vec2(260.f, 50.f));
    harness.step();
    EXPECT_EQ(log, (Log{"began left 1", "began right 2", "began under 2", "began left 0",
                        "moved right 2", "moved under 2", "ended left 1", "moved left 0",
                        "ended left 0", "ended right 2", "ended under 2"}));
}

TEST_F(MultiTouch, ACancelledOrLostTouchEndsOnlyItself) {
    area("n", 0.f, 100.f, false);
    harness.touchBegan(Vec2(10.f, 10.f), 1);
    harness.touchBegan(Vec2(90.f, 10.f), 2);
    harness.touchCancelled(Vec2(10.f, 10.f), 1);
    harness.touchMoved(Vec2(20.f, 10.f), 1);  // gone with the cancel
    harness.touchEnded(Vec2(20.f, 10.f), 1);
    harness.touchMoved(Vec2(80.f, 10.f), 2);
    // The system lost finger 2's release: it lands again, and the open touch goes first.
    harness.queueFinger(Type::TouchDown, 2, Vec2(50.f, 50.f));
    harness.step();
    harness.touchEnded(Vec2(50.f, 50.f), 2);
    EXPECT_EQ(log, (Log{"began n 1", "began n 2", "cancelled n 1", "moved n 2", "cancelled n 2",
                        "began n 2", "ended n 2"}));
}

TEST_F(MultiTouch, AFingerLiftedOutsideTheWindowEndsItsGestureWhereItLeft) {
    area("n", 0.f, 100.f, true);
    // Window points (origin top left) go through the same letterbox as the mouse's.
    backend::InputEvent finger;
    finger.touch = 1;
    for (auto [type, x, y] : {std::make_tuple(Type::TouchDown, 178.f, 718.f),
                              std::make_tuple(Type::TouchUp, -20.f, 800.f),
                              std::make_tuple(Type::TouchMove, 178.f, 718.f)}) {
        finger.type = type;
        finger.x = x;
        finger.y = y;
        harness.platformView().queueEvent(finger);
    }
    harness.step();
    EXPECT_EQ(log, (Log{"began n 1", "ended n 1"}));
    EXPECT_EQ(endedAt, Vec2(-148.f, -32.f));
}
