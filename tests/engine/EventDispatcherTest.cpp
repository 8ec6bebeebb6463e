#include <gtest/gtest.h>

#include <functional>

#include "EngineTestSupport.h"

USING_NS_CC;

namespace {

class EventDispatch : public ::testing::Test {
protected:
    // A 100 x 100 node at the origin, so every test point below hits all of them.
    Node* target(Node* parent, int z = 0) {
        Node* node = enginetest::marker(1, 0.f, 0.f, 100.f, 100.f);
        parent->addChild(node, z);
        return node;
    }

    // A listener on the node that logs "<phase> <name>" and claims when `claim` is true.
    EventListenerTouchOneByOne* listen(Node* node, const std::string& name, bool claim = true,
                                       bool swallow = false) {
        auto* l = EventListenerTouchOneByOne::create();
        l->setSwallowTouches(swallow);
        l->onTouchBegan = [this, name, claim](Touch*, Event*) {
            log.push_back("began " + name);
            return claim;
        };
        l->onTouchMoved = [this, name](Touch*, Event*) { log.push_back("moved " + name); };
        l->onTouchEnded = [this, name](Touch*, Event*) { log.push_back("ended " + name); };
        l->onTouchCancelled = [this, name](Touch*, Event*) { log.push_back("cancelled " + name); };
        dispatcher()->addEventListenerWithSceneGraphPriority(l, node);
        return l;
    }

    EventDispatcher* dispatcher() { return Director::getInstance()->getEventDispatcher(); }

    using Log = std::vector<std::string>;
    HeadlessHarness harness;
    Log log;
    const Vec2 p{50.f, 50.f};
};

}  // namespace

TEST_F(EventDispatch, TheNodeDrawnOnTopIsAskedFirst) {
    Node* scene = harness.scene();
    Node* low = target(scene);
    Node* high = target(scene);        // same z, later: on top
    Node* raised = target(scene, -5);  // negative z: drawn first, asked last
    Node* child = target(low, 1);
    Node* under = target(low, -1);  // below its parent
    listen(low, "low", false);
    listen(high, "high", false);
    listen(raised, "raised", false);
    listen(child, "child", false);
    listen(under, "under", false);
    harness.touchBegan(p);
    EXPECT_EQ(log, (Log{"began high", "began child", "began low", "began under", "began raised"}));
}

TEST_F(EventDispatch, FixedPrioritiesGoAroundTheSceneGraphOnes) {
    Node* node = target(harness.scene());
    listen(node, "graph", false);
    for (int priority : {5, -3, 1, -7}) {
        auto* l = EventListenerTouchOneByOne::create();
        l->onTouchBegan = [this, priority](Touch*, Event*) {
            log.push_back("began " + std::to_string(priority));
            return false;
        };
        dispatcher()->addEventListenerWithFixedPriority(l, priority);
    }
    harness.touchBegan(p);
    EXPECT_EQ(log, (Log{"began -7", "began -3", "began graph", "began 1", "began 5"}));
}

TEST_F(EventDispatch, ASwallowingClaimStopsTheListenersBelow) {
    Node* below = target(harness.scene());
    Node* above = target(harness.scene());
    listen(below, "below");
    auto* top = listen(above, "above", true, true);
    harness.touchBegan(p);
    harness.touchMoved(p);
    harness.touchEnded(p);
    EXPECT_EQ(log, (Log{"began above", "moved above", "ended above"}));

    // A swallowing listener that declines lets the touch through.
    log.clear();
    top->onTouchBegan = [this](Touch*, Event*) {
        log.push_back("began above");
        return false;
    };
    harness.touchBegan(p);
    harness.touchEnded(p);
    EXPECT_EQ(log, (Log{"began above", "began below", "ended below"}));
}

TEST_F(EventDispatch, OnlyClaimersHearTheRestOfTheGestureAndOnlyUntilItEnds) {
    Node* below = target(harness.scene());
    Node* above = target(harness.scene());
    listen(below, "below", true);
    listen(above, "above", false);
    harness.touchBegan(p);
    harness.touchMoved(p);
    harness.touchEnded(p);
    harness.touchMoved(p);  // no touch is down: nothing
    EXPECT_EQ(log, (Log{"began above", "began below", "moved below", "ended below"}));
}

TEST_F(EventDispatch, SwallowingSwitchedOnMidGestureTakesTheRestFromListenersBelow) {
    Node* below = target(harness.scene());
    Node* above = target(harness.scene());
    listen(below, "below");
    auto* top = listen(above, "above");
    harness.touchBegan(p);
    harness.touchMoved(p);
    // As a delayed pick-up step would do it: from a scheduled callback.
    above->scheduleOnce([top](float) { top->setSwallowTouches(true); }, 0.f, "pickUp");
    harness.step();
    harness.touchMoved(p);
    harness.touchEnded(p);
    EXPECT_EQ(log, (Log{"began above", "began below", "moved above", "moved below", "moved above",
                        "ended above"}));
    // The listener below lost its claim with the gesture's end, too.
    log.clear();
    top->setSwallowTouches(false);
    harness.touchBegan(p);
    harness.touchEnded(p);
    EXPECT_EQ(log, (Log{"began above", "began below", "ended above", "ended below"}));
}

TEST_F(EventDispatch, ListenersRemovedDuringDispatchHearNothingMoreAndSkipNobody) {
    Node* a = target(harness.scene());
    Node* b = target(harness.scene());
    Node* c = target(harness.scene());
    Node* d = target(harness.scene());
    auto* la = listen(a, "a");
    listen(b, "b");
    auto* lc = listen(c, "c");
    auto* ld = listen(d, "d");  // topmost: asked first
    la->retain();
    // d removes itself and c's listener while the touch begins.
    ld->onTouchBegan = [this, ld, lc](Touch*, Event*) {
        log.push_back("began d");
        dispatcher()->removeEventListener(ld);
        dispatcher()->removeEventListener(lc);
        return true;
    };
    EXPECT_EQ(dispatcher()->getListenerCount(), 4u);
    harness.touchBegan(p);
    EXPECT_EQ(log, (Log{"began d", "began b", "began a"}));
    EXPECT_EQ(dispatcher()->getListenerCount(), 2u);

    // Now a listener removes every listener of a node below it, mid-gesture.
    log.clear();
    auto* remover = listen(c, "c2");
    remover->onTouchMoved = [this, b](Touch*, Event*) {
        log.push_back("moved c2");
        dispatcher()->removeEventListenersForTarget(b);
    };
    harness.touchMoved(p);  // c2 did not claim this touch: nothing changes yet
    harness.touchEnded(p);
    EXPECT_EQ(log, (Log{"moved b", "moved a", "ended b", "ended a"}));
    log.clear();
    harness.touchBegan(p);
    harness.touchMoved(p);  // c2 takes b's listener away before b would hear this
    harness.touchEnded(p);
    EXPECT_EQ(
        log, (Log{"began c2", "began b", "began a", "moved c2", "moved a", "ended c2", "ended a"}));
    harness.step();
    EXPECT_EQ(la->getReferenceCount(), 2u);  // mine and the dispatcher's
    la->release();
}

TEST_F(EventDispatch, ANodeDestroyedByAHandlerTakesItsListenersWithIt) {
    Node* below = target(harness.scene());
    Node* above = target(harness.scene());
    harness.step();  // nodes now belong to the scene alone
    listen(below, "below");
    auto* top = listen(above, "above");
    top->onTouchBegan = [this, below](Touch*, Event*) {
        log.push_back("began above");
        below->removeFromParent();  // frees it: its listener must not be called
        return true;
    };
    harness.touchBegan(p);
    harness.touchEnded(p);
    EXPECT_EQ(log, (Log{"began above", "ended above"}));
    EXPECT_EQ(dispatcher()->getListenerCount(), 1u);
}

TEST_F(EventDispatch, ASwallowingClaimHoldsEvenWhenTheHandlerRemovesItsOwnListener) {
    Node* below = target(harness.scene());
    Node* above = target(harness.scene());
    listen(below, "below");
    auto* top = listen(above, "above", true, true);
    top->onTouchBegan = [this, top](Touch*, Event*) {
        log.push_back("began above");
        dispatcher()->removeEventListener(top);  // as a popup closing itself would
        return true;
    };
    harness.touchBegan(p);
    harness.touchEnded(p);
    EXPECT_EQ(log, (Log{"began above"}));
}

TEST_F(EventDispatch, ListenersAddedDuringDispatchJoinFromTheNextEvent) {
    Node* below = target(harness.scene());
    Node* above = target(harness.scene());
    auto* top = listen(above, "above", false);
    bool added = false;
    top->onTouchBegan = [&, below](Touch*, Event*) {
        log.push_back("began above");
        if (!added) {
            added = true;
            listen(below, "below", false);
        }
        return false;
    };
    harness.touchBegan(p);
    harness.touchEnded(p);
    harness.touchBegan(p);
    EXPECT_EQ(log, (Log{"began above", "began above", "began below"}));
}

TEST_F(EventDispatch, ListenersOfNodesOutsideTheRunningSceneHearNothing) {
    Node* loose = Node::create();
    loose->setContentSize(Size(100.f, 100.f));
    listen(loose, "loose");
    Node* removed = target(harness.scene());
    removed->retain();
    listen(removed, "removed");
    removed->removeFromParentAndCleanup(false);
    Node* paused = target(harness.scene());
    listen(paused, "paused");
    dispatcher()->pauseEventListenersForTarget(paused);
    Node* disabled = target(harness.scene());
    listen(disabled, "disabled")->setEnabled(false);
    Node* hidden = target(harness.scene());
    hidden->setVisible(false);  // hidden nodes still hear, as in cocos2d
    listen(hidden, "hidden", false);

    harness.touchBegan(p);
    EXPECT_EQ(log, (Log{"began hidden"}));
    harness.touchEnded(p);

    log.clear();
    harness.scene()->addChild(removed);
    dispatcher()->resumeEventListenersForTarget(paused);
    harness.touchBegan(p);
    EXPECT_EQ(log, (Log{"began removed", "began hidden", "began paused"}));
    removed->release();
}

TEST_F(EventDispatch, ListenersHoldNoReferenceToTheirNode) {
    Node* node = target(harness.scene());
    harness.step();
    EXPECT_EQ(node->getReferenceCount(), 1u);
    auto* l = listen(node, "n");
    EXPECT_EQ(node->getReferenceCount(), 1u);
    EXPECT_EQ(l->getReferenceCount(), 2u);  // the pool's and the dispatcher's
    harness.step();
    EXPECT_EQ(l->getReferenceCount(), 1u);
    l->retain();
    node->removeFromParent();  // the node dies and its listener is unregistered
    EXPECT_FALSE(l->isRegistered());
    EXPECT_EQ(l->getReferenceCount(), 1u);
    l->release();
}

TEST_F(EventDispatch, ACloneKeepsCallbacksAndSwallowingButNotTheRegistration) {
    Node* node = target(harness.scene());
    auto* original = listen(node, "x", true, true);
    auto* copy = original->clone();
    EXPECT_TRUE(copy->isSwallowTouches());
    EXPECT_FALSE(copy->isRegistered());
    dispatcher()->addEventListenerWithSceneGraphPriority(copy, node);
    dispatcher()->removeEventListener(original);
    harness.touchBegan(p);
    EXPECT_EQ(log, (Log{"began x"}));
}

TEST_F(EventDispatch, TheMouseIsOneTouchAndEveryButtonAndTheWheelReachMouseListeners) {
    Node* node = target(harness.scene());
    listen(node, "touch");
    auto* mouse = EventListenerMouse::create();
    mouse->onMouseDown = [this](EventMouse* e) {
        log.push_back("down " + std::to_string(e->getMouseButton()));
    };
    mouse->onMouseUp = [this](EventMouse* e) {
        log.push_back("up " + std::to_string(e->getMouseButton()));
    };
    mouse->onMouseMove = [this](EventMouse*) { log.push_back("move"); };
    mouse->onMouseScroll = [this](EventMouse* e) {
        log.push_back("scroll " + std::to_string(static_cast<int>(e->getScrollY())) + " at " +
                      std::to_string(static_cast<int>(e->getCursorX())) + "," +
                      std::to_string(static_cast<int>(e->getCursorY())));
    };
    dispatcher()->addEventListenerWithSceneGraphPriority(mouse, node);
    // An overlay that swallows every touch does not hold mouse events back.
    Node* overlay = target(harness.scene());
    listen(overlay, "overlay", true, true);

    harness.mouseDown(EventMouse::BUTTON_LEFT, p);
    harness.mouseMove(Vec2(60.f, 40.f));
    harness.mouseUp(EventMouse::BUTTON_LEFT, p);
    harness.mouseDown(EventMouse::BUTTON_MIDDLE, p);
    harness.mouseMove(p);
    harness.mouseUp(EventMouse::BUTTON_MIDDLE, p);
    harness.scroll(Vec2(30.f, 20.f), -1.f);
    EXPECT_EQ(log, (Log{"began overlay", "down 0", "moved overlay", "move", "ended overlay", "up 0",
                        "down 2", "move", "up 2", "scroll -1 at 30,20"}));
}

TEST_F(EventDispatch, TouchesReportDesignLocationsAndDeltas) {
    Node* node = target(harness.scene());
    std::vector<Vec2> seen;
    auto* l = listen(node, "n");
    l->onTouchMoved = [&seen](Touch* t, Event*) {
        seen = {t->getLocation(), t->getPreviousLocation(), t->getStartLocation(), t->getDelta(),
                t->getLocationInView()};
    };
    harness.touchBegan(Vec2(10.f, 20.f));
    harness.touchMoved(Vec2(15.f, 18.f));
    harness.touchMoved(Vec2(25.f, 30.f));
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0], Vec2(25.f, 30.f));
    EXPECT_EQ(seen[1], Vec2(15.f, 18.f));
    EXPECT_EQ(seen[2], Vec2(10.f, 20.f));
    EXPECT_EQ(seen[3], Vec2(10.f, 12.f));
    EXPECT_EQ(seen[4], Vec2(25.f, 738.f));
}

TEST_F(EventDispatch, KeysReachKeyboardListenersOnlyWhileTheirNodeRuns) {
    Node* node = target(harness.scene());
    auto* keys = EventListenerKeyboard::create();
    keys->onKeyPressed = [this](EventKeyboard::KeyCode key, Event*) {
        log.push_back("pressed " + std::to_string(static_cast<int>(key)));
    };
    keys->onKeyReleased = [this](EventKeyboard::KeyCode key, Event*) {
        log.push_back("released " + std::to_string(static_cast<int>(key)));
    };
    dispatcher()->addEventListenerWithSceneGraphPriority(keys, node);
    listen(node, "touch");
    const int space = static_cast<int>(EventKeyboard::KeyCode::KEY_SPACE);
    harness.keyDown(EventKeyboard::KeyCode::KEY_SPACE);
    harness.keyUp(EventKeyboard::KeyCode::KEY_SPACE);
    EXPECT_EQ(log, (Log{"pressed " + std::to_string(space), "released " + std::to_string(space)}));
    node->removeFromParent();
    harness.keyDown(EventKeyboard::KeyCode::KEY_SPACE);
    EXPECT_EQ(log.size(), 2u);
}

TEST_F(EventDispatch, KeyListenersSeeWhetherCtrlAndShiftWereHeld) {
    Node* node = target(harness.scene());
    auto* keys = EventListenerKeyboard::create();
    auto record = [this](const char* what, Event* event) {
        auto* key = static_cast<EventKeyboard*>(event);
        log.push_back(std::string(what) + (key->isCtrlDown() ? " ctrl" : "") +
                      (key->isShiftDown() ? " shift" : ""));
    };
    keys->onKeyPressed = [record](EventKeyboard::KeyCode, Event* e) { record("pressed", e); };
    keys->onKeyReleased = [record](EventKeyboard::KeyCode, Event* e) { record("released", e); };
    dispatcher()->addEventListenerWithSceneGraphPriority(keys, node);
    harness.keyDown(EventKeyboard::KeyCode::KEY_Z, true, false);
    harness.keyDown(EventKeyboard::KeyCode::KEY_Z, true, true);
    harness.keyUp(EventKeyboard::KeyCode::KEY_Z, false, true);
    harness.keyDown(EventKeyboard::KeyCode::KEY_Y);
    EXPECT_EQ(log, (Log{"pressed ctrl", "pressed ctrl shift", "released shift", "pressed"}));
}

namespace {

class LostPointer : public EventDispatch,
                    public ::testing::WithParamInterface<backend::InputEvent::Type> {};

}  // namespace

TEST_P(LostPointer, CancelsTheOpenTouchWhereItLastWasAndIgnoresTheLateRelease) {
    Node* node = target(harness.scene());
    auto* l = listen(node, "n");
    Vec2 cancelledAt;
    l->onTouchCancelled = [this, &cancelledAt](Touch* t, Event*) {
        log.push_back("cancelled n");
        cancelledAt = t->getLocation();
    };
    harness.mouseDown(EventMouse::BUTTON_LEFT, p);
    harness.mouseMove(Vec2(60.f, 40.f));
    harness.windowEvent(GetParam());
    EXPECT_EQ(cancelledAt, Vec2(60.f, 40.f));
    // The button came up elsewhere; what the window hears of it afterwards is no gesture.
    harness.mouseMove(Vec2(70.f, 30.f));
    harness.mouseUp(EventMouse::BUTTON_LEFT, Vec2(70.f, 30.f));
    harness.windowEvent(GetParam());
    harness.mouseDown(EventMouse::BUTTON_LEFT, p);
    EXPECT_EQ(log, (Log{"began n", "moved n", "cancelled n", "began n"}));
}

INSTANTIATE_TEST_SUITE_P(WindowStates, LostPointer,
                         ::testing::Values(backend::InputEvent::Type::FocusLost,
                                           backend::InputEvent::Type::Minimized));
