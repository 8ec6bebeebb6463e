// Composite actions and calls back into the program: sequences with call steps, repeats,
// and actions that remove their own node or stop actions while running. The card turn
// built from them is followed frame by frame in CardSpriteTest.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "2d/ActionInstant.h"
#include "2d/ActionInterval.h"
#include "2d/ActionManager.h"
#include "2d/Node.h"
#include "base/AutoreleasePool.h"
#include "base/Director.h"

#include "ActionFixture.h"

USING_NS_CC;

namespace {

// Counts its destruction, so tests see exactly when the last reference went.
class Probe : public Node {
public:
    static Probe* create(int* destroyed) {
        auto* p = new Probe();
        p->_destroyed = destroyed;
        p->autorelease();
        return p;
    }
    ~Probe() override { ++*_destroyed; }

private:
    int* _destroyed = nullptr;
};

class ActionSequenceTest : public ActionFixture {
protected:
    CallFunc* note(const std::string& text) {
        return CallFunc::create([this, text] { log.push_back(text); });
    }
    // Records the call with the node's position at that moment.
    CallFunc* noteAt(const std::string& text) {
        return CallFunc::create([this, text] {
            log.push_back(text + "@" + std::to_string(static_cast<int>(node->getPositionX())) +
                          "," + std::to_string(static_cast<int>(node->getPositionY())));
        });
    }

    std::vector<std::string> log;
};

}  // namespace

TEST_F(ActionSequenceTest, CallStepsRunAfterTheFinalUpdateOfThePartBeforeThem) {
    run(Sequence::create(MoveTo::create(0.1f, Vec2(10.f, 0.f)), noteAt("first"),
                         MoveTo::create(0.1f, Vec2(10.f, 10.f)), noteAt("second"), nullptr));
    frames(6);
    EXPECT_TRUE(log.empty());
    frame();
    EXPECT_EQ(log, (std::vector<std::string>{"first@10,0"}));
    frames(5);
    EXPECT_EQ(log.size(), 1u);
    frame();
    EXPECT_EQ(log, (std::vector<std::string>{"first@10,0", "second@10,10"}));
    EXPECT_EQ(node->getNumberOfRunningActions(), 0);
}

TEST_F(ActionSequenceTest, OneBigStepFinishesEveryPartItPassesInOrder) {
    node->setPosition(Vec2::ZERO);
    run(Sequence::create(MoveBy::create(0.1f, Vec2(10.f, 0.f)), noteAt("a"),
                         MoveBy::create(0.1f, Vec2(0.f, 10.f)), noteAt("b"),
                         MoveBy::create(0.1f, Vec2(6.f, 6.f)), noteAt("c"), nullptr));
    frame();
    frame(0.25f);
    EXPECT_EQ(log, (std::vector<std::string>{"a@10,0", "b@10,10"}));
    EXPECT_NEAR(node->getPositionX(), 13.f, 1e-3f);
    EXPECT_NEAR(node->getPositionY(), 13.f, 1e-3f);
    frame(10.f);
    EXPECT_EQ(log, (std::vector<std::string>{"a@10,0", "b@10,10", "c@16,16"}));
    EXPECT_EQ(node->getNumberOfRunningActions(), 0);
}

TEST_F(ActionSequenceTest, CallsAtTimeZeroRunOnTheFirstStep) {
    run(Sequence::create(note("start"), DelayTime::create(0.1f), note("end"), nullptr));
    frame();
    EXPECT_EQ(log, (std::vector<std::string>{"start"}));
    EXPECT_EQ(framesUntilIdle(node), 6);
    log.clear();

    // Only calls, one nested: all of them in one step, in order.
    run(Sequence::create(note("1"), Sequence::create(note("2"), note("3"), nullptr), note("4"),
                         nullptr));
    frame();
    EXPECT_EQ(log, (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(node->getNumberOfRunningActions(), 0);
}

TEST_F(ActionSequenceTest, SequenceFromAListAndEmptySequencesBehaveLikeTheOthers) {
    Vector<FiniteTimeAction*> parts;
    parts.pushBack(note("x"));
    parts.pushBack(DelayTime::create(0.05f));
    parts.pushBack(note("y"));
    auto* sequence = Sequence::create(parts);
    EXPECT_FLOAT_EQ(sequence->getDuration(), 0.05f);
    run(sequence);
    EXPECT_EQ(framesUntilIdle(node), 4);
    EXPECT_EQ(log, (std::vector<std::string>{"x", "y"}));

    run(Sequence::create(nullptr));
    EXPECT_EQ(framesUntilIdle(node), 1);
}

TEST_F(ActionSequenceTest, RepeatForeverKeepsItsRateAcrossRestarts) {
    struct Case {
        float runTime, degrees, dt;
        int steps;
        float expected;  // degrees per second x time
    };
    const Case cases[] = {{0.2f, 45.f, kFrame, 60, 225.f},
                          {0.2f, 45.f, kFrame, 600, 2250.f},
                          {0.5f, 45.f, 0.07f, 100, 630.f},
                          {0.5f, 45.f, 1.3f, 3, 351.f}};
    for (const Case& c : cases) {
        node->setRotation(0.f);
        run(RepeatForever::create(RotateBy::create(c.runTime, c.degrees)));
        frame(c.dt);  // the first step counts no time
        frames(c.steps, c.dt);
        EXPECT_NEAR(node->getRotation(), c.expected, 0.05f) << c.steps << " x " << c.dt;
        EXPECT_EQ(node->getNumberOfRunningActions(), 1);
        node->stopAllActions();
    }
}

TEST_F(ActionSequenceTest, RepeatRunsItsActionTheGivenNumberOfTimes) {
    node->setPosition(Vec2::ZERO);
    run(Repeat::create(
        Sequence::create(MoveBy::create(0.1f, Vec2(10.f, 0.f)), noteAt("lap"), nullptr), 3));
    EXPECT_EQ(framesUntilIdle(node), 19);
    EXPECT_EQ(log, (std::vector<std::string>{"lap@10,0", "lap@20,0", "lap@30,0"}));

    log.clear();
    run(Repeat::create(note("tick"), 4));
    frame();
    EXPECT_EQ(log.size(), 4u);
    run(RepeatForever::create(Sequence::create(note("each frame"), nullptr)));
    frames(3);
    EXPECT_EQ(log.size(), 7u);
}

TEST_F(ActionSequenceTest, RemoveSelfTakesTheNodeOutAfterTheDelayAndItDiesWithItsLastAction) {
    int destroyed = 0;
    Probe* card = Probe::create(&destroyed);
    node->addChild(card);
    run(Sequence::create(DelayTime::create(0.2f), RemoveSelf::create(), nullptr), card);
    drain();  // from here on only the parent and the manager hold the card
    frames(12);
    EXPECT_EQ(card->getParent(), node);
    frame();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(node->getChildrenCount(), 0);

    // Without clean-up the other actions keep running on the removed node, which lives on
    // until the last of them is done.
    Probe* fading = Probe::create(&destroyed);
    node->addChild(fading);
    run(MoveBy::create(0.4f, Vec2(24.f, 0.f)), fading);
    run(Sequence::create(DelayTime::create(0.2f), RemoveSelf::create(false), nullptr), fading);
    drain();
    frames(13);
    EXPECT_EQ(node->getChildrenCount(), 0);
    ASSERT_EQ(destroyed, 1);
    EXPECT_NEAR(fading->getPositionX(), 12.f, 1e-3f);
    frames(11);
    EXPECT_EQ(destroyed, 1);
    frame();
    EXPECT_EQ(destroyed, 2);
}

TEST_F(ActionSequenceTest, CallThatRemovesItsOwnNodeWithCleanupEndsTheSequenceSafely) {
    int destroyed = 0;
    Probe* card = Probe::create(&destroyed);
    node->addChild(card);
    run(Sequence::create(CallFunc::create([card] { card->removeFromParentAndCleanup(true); }),
                         note("after removal"), MoveBy::create(0.1f, Vec2(5.f, 0.f)), nullptr),
        card);
    run(RotateBy::create(1.f, 10.f), card);
    drain();
    frame();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(manager->getNumberOfRunningActionsInTarget(card), 0);
}

TEST_F(ActionSequenceTest, CallThatStopsAllActionsStopsTheRestOfItsSequence) {
    run(Sequence::create(MoveBy::create(0.05f, Vec2(10.f, 0.f)),
                         CallFunc::create([this] { node->stopAllActions(); }), note("must not run"),
                         nullptr));
    run(Sequence::create(DelayTime::create(1.f), note("nor this"), nullptr));
    frames(4);
    EXPECT_EQ(node->getNumberOfRunningActions(), 0);
    EXPECT_EQ(node->getPositionX(), 10.f);
    frames(100);
    EXPECT_TRUE(log.empty());

    // A call that stops everything and starts afresh: the new action begins next frame.
    run(Sequence::create(CallFunc::create([this] {
                             node->stopAllActions();
                             run(Sequence::create(note("restarted"), nullptr));
                         }),
                         note("must not run"), nullptr));
    frame();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(node->getNumberOfRunningActions(), 1);
    frame();
    EXPECT_EQ(log, (std::vector<std::string>{"restarted"}));
}

TEST_F(ActionSequenceTest, ActionsStartedOrStoppedByACallTakeEffectInOrder) {
    Node* later = Node::create();
    Node* other = Node::create();
    // `later` has its actions stopped by a call on `node` before its turn in the frame.
    run(Sequence::create(CallFunc::create([later] { later->stopAllActions(); }),
                         CallFuncN::create([other](Node* self) {
                             self->setPositionX(1.f);
                             other->runAction(MoveBy::create(0.1f, Vec2(6.f, 0.f)));
                         }),
                         nullptr));
    run(CallFunc::create([this] { log.push_back("stopped before its turn"); }), later);
    manager->addAction(DelayTime::create(1.f), other, false);
    other->stopAllActions();
    frame();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(node->getPositionX(), 1.f);
    // runAction on a node outside the running scene leaves the action paused.
    EXPECT_EQ(other->getNumberOfRunningActions(), 1);
    EXPECT_TRUE(manager->isTargetPaused(other));
    manager->resumeTarget(other);
    EXPECT_EQ(framesUntilIdle(other), 7);
    EXPECT_EQ(other->getPositionX(), 6.f);
}
