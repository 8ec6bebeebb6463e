// Input through the view to the listeners: who is asked first, who keeps a gesture,
// listeners and nodes that go while an event is handled, several fingers at once, and a
// pointer lost to another window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineTestSupport.h"

USING_NS_CC;

namespace {

using Log = std::vector<std::string>;
using Type = backend::InputEvent::Type;

class EventDispatch : public ::testing::Test {
protected:
    // A node over [x, x + width] x [0, 100]; every point used below lies on the default one.
    Node* target(Node* parent, int z = 0, float x = 0.f, float width = 100.f) {
        Node* node = enginetest::marker(1, x, 0.f, width, 100.f);
        parent->addChild(node, z);
        return node;
    }

    // A listener on the node that logs "<phase> <name>" (and the touch id when not 0),
    // claiming touches that begin on the node when `claim` is true.
    EventListenerTouchOneByOne* listen(Node* node, const std::string& name, bool claim = true,
                                       bool swallow = false) {
        auto* l = EventListenerTouchOneByOne::create();
        l->setSwallowTouches(swallow);
        auto note = [this, name](const char* phase, Touch* t) {
            log.push_back(std::string(phase) + " " + name +
                          (t->getId() != 0 ? " " + std::to_string(t->getId()) : ""));
        };
        l->onTouchBegan = [note, node, claim](Touch* t, Event*) {
            if (!node->getBoundingBox().containsPoint(t->getLocation())) {
                return false;
            }
            note("began", t);
            return claim;
        };
        l->onTouchMoved = [note](Touch* t, Event*) { note("moved", t); };
        l->onTouchEnded = [note](Touch* t, Event*) { note("ended", t); };
        l->onTouchCancelled = [note](Touch* t, Event*) { note("cancelled", t); };
        dispatcher()->addEventListenerWithSceneGraphPriority(l, node);
        return l;
    }

    EventDispatcher* dispatcher() { return Director::getInstance()->getEventDispatcher(); }
    void gesture() {
        harness.touchBegan(p);
        harness.touchMoved(p);
        harness.touchEnded(p);
    }

    HeadlessHarness harness{1280, 768};  // letterboxed: the design area starts at x = 128
    Log log;
    const Vec2 p{50.f, 50.f};
};

}  // namespace

TEST_F(EventDispatch, TheNodeDrawnOnTopIsAskedFirst) {
    Node* scene = harness.scene();
    Node* low = target(scene);
    Node* high = target(scene);        // same z, later: on top
    Node* raised = target(scene, -5);  // negative z: drawn first, asked last
    listen(low, "low", false);
    listen(high, "high", false);
    listen(raised, "raised", false);
    listen(target(low, 1), "child", false);
    listen(target(low, -1), "under", false);  // below its parent
    harness.touchBegan(p);
    EXPECT_EQ(log,
              (Log{"began high", "began child", "began low", "began under", "began raised"}));
}

TEST_F(EventDispatch, OnlyClaimersHearTheRestOfAGestureAndASwallowingClaimHidesIt) {
    Node* below = target(harness.scene());
    Node* above = target(harness.scene());
    listen(below, "below");
    auto* top = listen(above, "above", false, true);
    gesture();
    harness.touchMoved(p);  // no touch is down: nothing
    EXPECT_EQ(log, (Log{"began above", "began below", "moved below", "ended below"}));

    log.clear();
    top->onTouchBegan = [this](Touch*, Event*) {
        log.push_back("began above");
        return true;
    };
    gesture();
    EXPECT_EQ(log, (Log{"began above", "moved above", "ended above"}));
}

TEST_F(EventDispatch, ListenersAndNodesThatGoDuringDispatchAreSkippedSafely) {
    Node* a = target(harness.scene());
    Node* b = target(harness.scene());
    Node* c = target(harness.scene());
    Node* d = target(harness.scene());
    listen(a, "a");
    listen(b, "b");
    auto* lc = listen(c, "c");
    auto* ld = listen(d, "d");  // topmost: asked first
    // d removes itself and c's listener, frees node b, and adds a listener to a.
    ld->onTouchBegan = [&](Touch*, Event*) {
        log.push_back("began d");
        dispatcher()->removeEventListener(ld);
        dispatcher()->removeEventListener(lc);
        b->removeFromParent();
        listen(a, "new");
        return true;
    };
    harness.step();  // the nodes now belong to the scene alone
    gesture();
    EXPECT_EQ(log, (Log{"began d", "began a", "moved a", "ended a"}));
    log.clear();
    harness.touchBegan(p);
    EXPECT_EQ(log, (Log{"began a", "began new"}));
}

TEST_F(EventDispatch, EveryFingerIsAGestureOfItsOwnBesideTheMouse) {
    listen(target(harness.scene(), 0, 0.f, 300.f), "under", true);
    listen(target(harness.scene(), 0, 0.f, 100.f), "left", true, true);
    listen(target(harness.scene(), 0, 200.f, 100.f), "right", true);
    // Two fingers landing in one frame arrive in order, each claimed where it landed.
    harness.queueFinger(Type::TouchDown, 1, Vec2(50.f, 50.f));
    harness.queueFinger(Type::TouchDown, 2, Vec2(250.f, 50.f));
    harness.step();
    harness.mouseDown(EventMouse::BUTTON_LEFT, Vec2(60.f, 60.f));
    harness.queueFinger(Type::TouchUp, 1, Vec2(70.f, 50.f));
    harness.queueFinger(Type::TouchMove, 1, Vec2(80.f, 50.f));  // up already: nothing
    harness.step();
    harness.mouseUp(EventMouse::BUTTON_LEFT, Vec2(20.f, 20.f));
    // Finger 2's release was lost: it lands again, and the open touch is cancelled first.
    harness.queueFinger(Type::TouchDown, 2, Vec2(250.f, 50.f));
    harness.step();
    EXPECT_EQ(log, (Log{"began left 1", "began right 2", "began under 2", "began left",
                        "ended left 1", "ended left", "cancelled right 2", "cancelled under 2",
                        "began right 2", "began under 2"}));
}

TEST_F(EventDispatch, APointerLostToTheWindowCancelsItsTouchAndTheLateReleaseIsIgnored) {
    listen(target(harness.scene()), "n");
    for (Type lost : {Type::FocusLost, Type::Minimized}) {
        log.clear();
        harness.mouseDown(EventMouse::BUTTON_LEFT, p);
        harness.mouseMove(Vec2(60.f, 40.f));
        harness.windowEvent(lost);
        // The button came up elsewhere; what the window hears of it afterwards is no gesture.
        harness.mouseUp(EventMouse::BUTTON_LEFT, Vec2(70.f, 30.f));
        EXPECT_EQ(log, (Log{"began n", "moved n", "cancelled n"}));
    }
}
