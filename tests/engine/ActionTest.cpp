// Actions stepped with fixed frames: where they end and when, the shapes a user sees
// (easing), sequences with calls back into the program, and actions that
// remove their own node or stop everything while running.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "2d/ActionEase.h"
#include "2d/ActionInstant.h"
#include "2d/ActionInterval.h"
#include "2d/ActionManager.h"
#include "2d/Node.h"
#include "base/AutoreleasePool.h"
#include "base/Director.h"

USING_NS_CC;

namespace {

constexpr float kFrame = 1.0f / 60.0f;

// Counts its destruction, so tests see exactly when the last reference went.
struct Probe : Node {
    int* destroyed = nullptr;
    ~Probe() override { ++*destroyed; }
};

class Actions : public ::testing::Test {
protected:
    void SetUp() override { node->retain(); }
    void TearDown() override {
        node->stopAllActions();
        node->release();
        drain();
        EXPECT_EQ(manager->getNumberOfRunningActions(), 0);
    }

    static void drain() { PoolManager::getInstance()->getCurrentPool()->clear(); }
    void run(Action* action, Node* target = nullptr) {
        manager->addAction(action, target != nullptr ? target : node, false);
    }
    void frames(int count, float dt = kFrame) {
        for (int i = 0; i < count; ++i) {
            manager->update(dt);
        }
    }
    // Steps until the node has no action left; the number of steps taken.
    int framesUntilIdle(float dt = kFrame) {
        int steps = 0;
        for (; node->getNumberOfRunningActions() > 0 && steps < 10000; ++steps) {
            frames(1, dt);
        }
        return steps;
    }
    // A child of the node, held by it alone once the pool is drained.
    Probe* probe(int* destroyed) {
        auto* p = new Probe();
        p->destroyed = destroyed;
        p->autorelease();
        node->addChild(p);
        return p;
    }
    // A call step that logs the text with the node's position at that moment.
    CallFunc* note(const std::string& text) {
        return CallFunc::create([this, text] {
            log.push_back(text + "@" + std::to_string(std::lround(node->getPositionX())) + "," +
                          std::to_string(std::lround(node->getPositionY())));
        });
    }

    ActionManager* manager = Director::getInstance()->getActionManager();
    Node* node = Node::create();
    std::vector<std::string> log;
};

}  // namespace

TEST_F(Actions, AMoveEndsExactlyOnItsTargetInTheStepItsDurationIsReached) {
    struct Case {
        float duration, dt;
        int steps;  // the first step counts no time
    };
    for (const Case& c : {Case{0.1f, kFrame, 7}, Case{0.2f, kFrame, 13}, Case{0.f, kFrame, 1},
                          Case{0.2f, 0.05f, 5}, Case{0.2f, 1.f, 2}}) {
        // Chosen so that start + (end - start) misses end in float arithmetic.
        node->setPosition(Vec2(0.7f, -92.3f));
        run(MoveTo::create(c.duration, Vec2(0.2f, 17.9f)));
        EXPECT_EQ(framesUntilIdle(c.dt), c.steps) << c.duration << " s at " << c.dt;
        EXPECT_EQ(node->getPosition(), Vec2(0.2f, 17.9f));
    }
}

TEST_F(Actions, EaseOutStartsFastAndSlowsDownToItsTarget) {
    node->setPosition(Vec2::ZERO);
    run(EaseExponentialOut::create(MoveTo::create(1.f, Vec2(1000.f, 0.f))));
    frames(1, 0.1f);
    float previousStep = 1000.f;
    for (int step = 1; step < 10; ++step) {
        const float before = node->getPositionX();
        frames(1, 0.1f);
        const float moved = node->getPositionX() - before;
        EXPECT_GT(node->getPositionX(), 100.f * step) << "ahead of an even pace";
        EXPECT_LT(moved, previousStep) << step;
        previousStep = moved;
    }
    frames(1, 0.1f);
    EXPECT_EQ(node->getNumberOfRunningActions(), 0);
    EXPECT_EQ(node->getPositionX(), 1000.f);
}

TEST_F(Actions, ACallStepRunsAfterTheFinalUpdateOfThePartBeforeIt) {
    node->setPosition(Vec2::ZERO);
    run(Sequence::create(note("start"), MoveTo::create(0.1f, Vec2(10.f, 0.f)), note("first"),
                         MoveTo::create(0.1f, Vec2(10.f, 10.f)), note("second"), nullptr));
    frames(6);
    EXPECT_EQ(log, (std::vector<std::string>{"start@0,0"}));
    frames(1);
    EXPECT_EQ(log, (std::vector<std::string>{"start@0,0", "first@10,0"}));
    frames(6);
    EXPECT_EQ(log.back(), "second@10,10");
    EXPECT_EQ(node->getNumberOfRunningActions(), 0);
}

TEST_F(Actions, ANodeRemovedByItsOwnActionsGoesSafelyAndDiesWithThem) {
    int destroyed = 0;
    Probe* card = probe(&destroyed);
    Probe* other = probe(&destroyed);
    run(Sequence::create(DelayTime::create(0.2f), RemoveSelf::create(), nullptr), card);
    run(Sequence::create(CallFunc::create([other] { other->removeFromParentAndCleanup(true); }),
                         note("after removal"), nullptr),
        other);
    run(RotateBy::create(1.f, 10.f), other);
    drain();  // from here on only the parent and the manager hold them
    frames(12);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(card->getParent(), node);
    frames(1);
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(node->getChildrenCount(), 0);
    EXPECT_TRUE(log.empty());
}

TEST_F(Actions, ACallThatStopsEverythingEndsTheRestAndMayStartAfresh) {
    // The new action begins next frame; nothing of the old ones runs again.
    run(RotateBy::create(1.f, 10.f));
    run(Sequence::create(CallFunc::create([this] {
                             node->stopAllActions();
                             run(Sequence::create(note("restarted"), nullptr));
                         }),
                         note("must not run"), nullptr));
    frames(1);
    EXPECT_EQ(node->getNumberOfRunningActions(), 1);
    frames(1);
    EXPECT_EQ(log, (std::vector<std::string>{"restarted@0,0"}));
    EXPECT_EQ(node->getRotation(), 0.f);
}
