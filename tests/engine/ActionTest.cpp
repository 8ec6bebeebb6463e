// Interval actions frame by frame at 1/60 s, easing, tweening, the action manager's
// bookkeeping (pause, tags, counts, node references), and its place in the director's frame.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "2d/ActionEase.h"
#include "2d/ActionInstant.h"
#include "2d/ActionInterval.h"
#include "2d/ActionManager.h"
#include "2d/ActionTween.h"
#include "2d/Node.h"
#include "2d/Scene.h"
#include "base/AutoreleasePool.h"
#include "base/Director.h"
#include "base/Scheduler.h"
#include "platform/headless/HeadlessHarness.h"

#include "ActionFixture.h"

USING_NS_CC;

namespace {

using ActionTest = ActionFixture;

// The same angle in [0, 360).
float wrapDegrees(float angle) {
    float wrapped = std::fmod(angle, 360.f);
    return wrapped < 0.f ? wrapped + 360.f : wrapped;
}

}  // namespace

TEST_F(ActionTest, MoveToOverPointTwoSecondsAdvancesOneTwelfthPerFrameAndEndsOnTheThirteenth) {
    node->setPosition(Vec2(0.f, -92.f));
    run(MoveTo::create(0.2f, Vec2(120.f, 0.f)));
    for (int step = 1; step <= 13; ++step) {
        frame();
        const float t = std::min(1.f, (step - 1) / 12.f);
        EXPECT_NEAR(node->getPositionX(), 120.f * t, 1e-3f) << "step " << step;
        EXPECT_NEAR(node->getPositionY(), -92.f + 92.f * t, 1e-3f) << "step " << step;
        EXPECT_EQ(node->getNumberOfRunningActions(), step < 13 ? 1 : 0) << "step " << step;
    }
    EXPECT_EQ(node->getPosition(), Vec2(120.f, 0.f));
}

TEST_F(ActionTest, CompletionStepFollowsTheDuration) {
    struct Case {
        float duration;
        float dt;
        int steps;  // the first step counts no time
    };
    const Case cases[] = {{0.1f, kFrame, 7}, {0.2f, kFrame, 13}, {0.05f, kFrame, 4},
                          {0.f, kFrame, 1},  {0.2f, 0.05f, 5},   {0.2f, 1.f, 2}};
    for (const Case& c : cases) {
        // Chosen so that start + (end - start) misses end in float arithmetic.
        node->setPosition(Vec2(0.7f, -92.3f));
        run(MoveTo::create(c.duration, Vec2(0.2f, 17.9f)));
        EXPECT_EQ(framesUntilIdle(node, c.dt), c.steps) << c.duration << " s at " << c.dt;
        EXPECT_EQ(node->getPosition(), Vec2(0.2f, 17.9f));
    }
}

TEST_F(ActionTest, MovesStackWithEachOtherAndWithOutsideDisplacement) {
    run(MoveBy::create(0.2f, Vec2(100.f, 0.f)));
    run(MoveBy::create(0.1f, Vec2(0.f, 50.f)));
    for (int step = 0; step < 4; ++step) {
        frame();
    }
    // A drag moves the node while both moves run; the moves keep that displacement.
    node->setPosition(node->getPosition() + Vec2(-7.f, 3.f));
    framesUntilIdle(node);
    EXPECT_NEAR(node->getPositionX(), 93.f, 1e-3f);
    EXPECT_NEAR(node->getPositionY(), 53.f, 1e-3f);

    node->setPosition(Vec2::ZERO);
    run(MoveTo::create(0.2f, Vec2(0.f, -92.f)));
    frame();
    frame();
    node->setPositionX(40.f);
    framesUntilIdle(node);
    EXPECT_EQ(node->getPosition(), Vec2(40.f, -92.f));
}

TEST_F(ActionTest, MoveReversedMidwayStartsFromWhereTheNodeIsAndTakesTheFullTime) {
    node->setPosition(Vec2(0.f, -92.f));
    run(MoveTo::create(0.2f, Vec2::ZERO));
    for (int step = 0; step < 7; ++step) {
        frame();
    }
    const float turnedAt = node->getPositionY();
    EXPECT_NEAR(turnedAt, -46.f, 1e-3f);

    node->stopAllActions();
    run(MoveTo::create(0.2f, Vec2(0.f, -92.f)));
    float previous = turnedAt;
    for (int step = 1; step <= 13; ++step) {
        frame();
        EXPECT_NEAR(node->getPositionY(), turnedAt + (-92.f - turnedAt) * (step - 1) / 12.f, 1e-3f);
        EXPECT_LE(node->getPositionY(), previous);
        previous = node->getPositionY();
    }
    EXPECT_EQ(node->getNumberOfRunningActions(), 0);
    EXPECT_EQ(node->getPositionY(), -92.f);
}

TEST_F(ActionTest, RotateToTakesTheShortestWayAndEndsExactlyOnTheTarget) {
    struct Case {
        float from, to, halfway;
    };
    const Case cases[] = {{0.f, 90.f, 45.f},      {350.f, 10.f, 0.f}, {10.f, 350.f, 0.f},
                          {720.f, 90.f, 45.f},    {-90.f, 90.f, 0.f}, {0.f, -170.f, -85.f},
                          {170.f, -170.f, 180.f}, {45.f, 45.f, 45.f}};
    for (const Case& c : cases) {
        node->setRotation(c.from);
        run(RotateTo::create(0.2f, c.to));
        for (int step = 0; step < 7; ++step) {
            frame();
        }
        EXPECT_NEAR(wrapDegrees(node->getRotation()), wrapDegrees(c.halfway), 1e-3f)
            << c.from << " to " << c.to;
        framesUntilIdle(node);
        EXPECT_EQ(node->getRotation(), c.to) << c.from << " to " << c.to;
    }
}

TEST_F(ActionTest, RotateToThreeAxesTurnsEachAxisItsOwnShortestWay) {
    node->setRotation3D(Vec3(350.f, 0.f, 20.f));
    run(RotateTo::create(0.2f, Vec3(10.f, 90.f, -20.f)));
    for (int step = 1; step <= 13; ++step) {
        frame();
        const float t = (step - 1) / 12.f;
        const Vec3 r = node->getRotation3D();
        EXPECT_NEAR(wrapDegrees(r.x), wrapDegrees(350.f + 20.f * t), 1e-3f) << step;
        EXPECT_NEAR(r.y, 90.f * t, 1e-3f) << step;
        EXPECT_NEAR(r.z, 20.f - 40.f * t, 1e-3f) << step;
    }
    EXPECT_EQ(node->getRotation3D(), Vec3(10.f, 90.f, -20.f));
}

TEST_F(ActionTest, RotateByAddsToTheRotationAtTheStart) {
    node->setRotation(30.f);
    run(RotateBy::create(0.2f, 400.f));
    framesUntilIdle(node);
    EXPECT_NEAR(node->getRotation(), 430.f, 1e-3f);

    node->setRotation3D(Vec3(0.f, 10.f, 0.f));
    run(RotateBy::create(0.1f, Vec3(0.f, -40.f, 5.f)));
    for (int step = 0; step < 4; ++step) {
        frame();
    }
    EXPECT_NEAR(node->getRotation3D().y, -10.f, 1e-3f);
    framesUntilIdle(node);
    EXPECT_NEAR(node->getRotation3D().y, -30.f, 1e-3f);
    EXPECT_NEAR(node->getRotation3D().z, 5.f, 1e-3f);
}

TEST_F(ActionTest, FadesRunFromTheOpacityAtTheStart) {
    struct Case {
        const char* name;
        GLubyte start;
        FiniteTimeAction* (*make)();
        GLubyte halfway, end;
    };
    const Case cases[] = {
        {"fade in", 0, []() -> FiniteTimeAction* { return FadeIn::create(0.2f); }, 128, 255},
        {"fade out", 192, []() -> FiniteTimeAction* { return FadeOut::create(0.2f); }, 96, 0},
        {"fade to", 200, []() -> FiniteTimeAction* { return FadeTo::create(0.2f, 100); }, 150, 100},
        {"fade in from half", 128, []() -> FiniteTimeAction* { return FadeIn::create(0.1f); }, 255,
         255},
    };
    for (const Case& c : cases) {
        node->setOpacity(c.start);
        run(c.make());
        frame();
        EXPECT_EQ(node->getOpacity(), c.start) << c.name;
        for (int step = 0; step < 6; ++step) {
            frame();
        }
        EXPECT_NEAR(node->getOpacity(), c.halfway, 1) << c.name;
        framesUntilIdle(node);
        EXPECT_EQ(node->getOpacity(), c.end) << c.name;
    }
}

TEST_F(ActionTest, ExponentialEaseOutReshapesProgress) {
    node->setPosition(Vec2::ZERO);
    run(EaseExponentialOut::create(MoveTo::create(1.f, Vec2(1000.f, 0.f))));
    const float expected[] = {0.f,      500.f,     750.f,      875.f,       937.5f, 968.75f,
                              984.375f, 992.1875f, 996.09375f, 998.046875f, 1000.f};
    for (float x : expected) {
        frame(0.1f);
        EXPECT_NEAR(node->getPositionX(), x, 0.01f);
    }
    EXPECT_EQ(node->getNumberOfRunningActions(), 0);
    EXPECT_EQ(node->getPositionX(), 1000.f);
}

namespace {

class Zoomable : public Node, public ActionTweenDelegate {
public:
    static Zoomable* create() {
        auto* z = new Zoomable();
        z->autorelease();
        return z;
    }
    void updateTweenAction(float value, const std::string& key) override {
        values.push_back(value);
        keys.push_back(key);
    }
    std::vector<float> values;
    std::vector<std::string> keys;
};

void tweenOnPlainNode() {
    Node* plain = Node::create();
    Director::getInstance()->getActionManager()->addAction(
        ActionTween::create(0.1f, "zoom", 0.f, 1.f), plain, false);
}

void oneActionOnTwoNodes() {
    auto* move = MoveBy::create(1.f, Vec2(1.f, 0.f));
    ActionManager* manager = Director::getInstance()->getActionManager();
    manager->addAction(move, Node::create(), false);
    manager->addAction(move, Node::create(), false);
}

}  // namespace

TEST_F(ActionTest, TweenHandsTheInterpolatedValueAndKeyToTheDelegate) {
    Zoomable* view = Zoomable::create();
    run(ActionTween::create(0.1f, "zoom", 1.f, 0.5f), view);
    framesUntilIdle(view);
    ASSERT_EQ(view->values.size(), 7u);
    for (std::size_t i = 0; i < view->values.size(); ++i) {
        EXPECT_NEAR(view->values[i], 1.f - 0.5f * i / 6.f, 1e-4f);
        EXPECT_EQ(view->keys[i], "zoom");
    }
    EXPECT_EQ(view->values.back(), 0.5f);
}

TEST(ActionDeathTest, ProgrammerMistakesStopWithAClearMessage) {
#ifdef NDEBUG
    GTEST_SKIP() << "checked in debug builds";
#endif
    EXPECT_DEATH(tweenOnPlainNode(), "ActionTweenDelegate");
    EXPECT_DEATH(oneActionOnTwoNodes(), "already running on a node");
}

TEST_F(ActionTest, CloneIsAFreshCopyWithTheSameSettings) {
    Node* other = Node::create();
    auto* original = MoveBy::create(0.1f, Vec2(5.f, 5.f));
    run(original);
    framesUntilIdle(node);
    Action* copy = original->clone();
    EXPECT_NE(copy, original);
    EXPECT_FLOAT_EQ(static_cast<MoveBy*>(copy)->getDuration(), 0.1f);
    EXPECT_EQ(copy->getTarget(), nullptr);
    run(copy, other);
    framesUntilIdle(other);
    EXPECT_EQ(other->getPosition(), Vec2(5.f, 5.f));
}

TEST_F(ActionTest, PausedTargetsKeepTheirActionsStillAndOutOfTheRunningCount) {
    Node* other = Node::create();
    run(MoveBy::create(0.1f, Vec2(60.f, 0.f)));
    run(RotateBy::create(1.f, 90.f), other);
    EXPECT_EQ(manager->getNumberOfRunningActions(), 2);
    frame();
    frame();
    manager->pauseTarget(node);
    EXPECT_TRUE(manager->isTargetPaused(node));
    EXPECT_EQ(manager->getNumberOfRunningActions(), 1);
    EXPECT_EQ(manager->getNumberOfRunningActionsInTarget(node), 1);
    const Vec2 held = node->getPosition();
    for (int step = 0; step < 30; ++step) {
        frame();
    }
    EXPECT_EQ(node->getPosition(), held);
    manager->resumeTarget(node);
    // Paused time does not count: five more steps finish the remaining 5/6 of the move.
    for (int step = 0; step < 4; ++step) {
        frame();
    }
    EXPECT_EQ(node->getNumberOfRunningActions(), 1);
    frame();
    EXPECT_EQ(node->getNumberOfRunningActions(), 0);
    EXPECT_EQ(node->getPositionX(), 60.f);
    other->stopAllActions();
}

TEST_F(ActionTest, TagsFindAndRemoveTheFirstMatchingAction) {
    Action* first = run(DelayTime::create(1.f));
    Action* second = run(DelayTime::create(1.f));
    first->setTag(7);
    second->setTag(7);
    EXPECT_EQ(node->getActionByTag(7), first);
    EXPECT_EQ(node->getActionByTag(8), nullptr);
    node->stopActionByTag(7);
    EXPECT_EQ(node->getActionByTag(7), second);
    node->stopAction(second);
    EXPECT_EQ(node->getNumberOfRunningActions(), 0);
    node->stopActionByTag(7);  // nothing left: no effect
}

TEST_F(ActionTest, ManagerHoldsANodeOnlyWhileItHasActions) {
    int destroyed = 0;
    struct Probe : Node {
        int* count = nullptr;
        ~Probe() override { ++*count; }
    };
    auto* probe = new Probe();
    probe->count = &destroyed;
    run(DelayTime::create(0.1f), probe);
    run(DelayTime::create(0.2f), probe);
    EXPECT_EQ(probe->getReferenceCount(), 2u);
    probe->release();  // only the manager holds it now
    framesUntilIdle(probe);
    EXPECT_EQ(destroyed, 1);

    auto* stopped = new Probe();
    stopped->count = &destroyed;
    run(DelayTime::create(1.f), stopped);
    stopped->release();
    // Stopping from outside the frame keeps the node for the rest of the call chain.
    stopped->stopAllActions();
    EXPECT_EQ(destroyed, 1);
    drain();
    EXPECT_EQ(destroyed, 2);
}

TEST(ActionInDirector, ActionsStepBeforeTimersAndNeedFramesOnlyWhileTheyRun) {
    HeadlessHarness harness;
    Scheduler* scheduler = Director::getInstance()->getScheduler();
    Node* node = Node::create();
    harness.scene()->addChild(node);
    std::vector<float> seenByPoll;
    int pollOwner = 0;  // any object can own a timer
    scheduler->schedule([&](float) { seenByPoll.push_back(node->getPositionX()); }, &pollOwner,
                        0.1f, false, "poll");
    harness.step();
    EXPECT_FALSE(scheduler->hasPerFrameWork());

    node->runAction(MoveBy::create(0.1f, Vec2(6.f, 0.f)));
    EXPECT_TRUE(scheduler->hasPerFrameWork());
    harness.steps(5);
    // The poll's frame: the move has taken its step of that frame already.
    ASSERT_EQ(seenByPoll.size(), 1u);
    EXPECT_NEAR(seenByPoll[0], 4.f, 1e-3f);
    harness.steps(2);
    EXPECT_EQ(node->getPositionX(), 6.f);
    EXPECT_FALSE(scheduler->hasPerFrameWork());
    EXPECT_NEAR(scheduler->timeToNextTimer(), 0.1f - 2 * HeadlessHarness::kFrame, 1e-4f);

    node->runAction(RepeatForever::create(RotateBy::create(0.2f, 45.f)));
    EXPECT_TRUE(scheduler->hasPerFrameWork());
    node->pause();
    EXPECT_FALSE(scheduler->hasPerFrameWork());
    node->resume();
    harness.steps(13);
    EXPECT_NEAR(node->getRotation(), 45.f, 1e-3f);
    node->removeFromParentAndCleanup(true);
    EXPECT_FALSE(scheduler->hasPerFrameWork());
    scheduler->unscheduleAllForTarget(&pollOwner);
}
