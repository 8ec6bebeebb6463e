// A node of its own and the director's action manager, stepped directly with fixed
// frames: the common ground of the action suites.
#pragma once

#include <gtest/gtest.h>

#include "2d/Action.h"
#include "2d/ActionManager.h"
#include "2d/Node.h"
#include "base/AutoreleasePool.h"
#include "base/Director.h"

class ActionFixture : public ::testing::Test {
protected:
    static constexpr float kFrame = 1.0f / 60.0f;

    void SetUp() override {
        manager = cocos2d::Director::getInstance()->getActionManager();
        node = cocos2d::Node::create();
        node->retain();
    }
    void TearDown() override {
        node->stopAllActions();
        node->release();
        drain();
        EXPECT_EQ(manager->getNumberOfRunningActions(), 0);
    }

    static void drain() { cocos2d::PoolManager::getInstance()->getCurrentPool()->clear(); }
    cocos2d::Action* run(cocos2d::Action* action, cocos2d::Node* target = nullptr) {
        manager->addAction(action, target != nullptr ? target : node, false);
        return action;
    }
    void frame(float dt = kFrame) { manager->update(dt); }
    void frames(int count, float dt = kFrame) {
        for (int i = 0; i < count; ++i) {
            frame(dt);
        }
    }
    // Steps until the node has no action left; the number of steps taken.
    int framesUntilIdle(cocos2d::Node* target, float dt = kFrame) {
        int steps = 0;
        while (manager->getNumberOfRunningActionsInTarget(target) > 0 && steps < 10000) {
            frame(dt);
            ++steps;
        }
        return steps;
    }

    cocos2d::ActionManager* manager = nullptr;
    cocos2d::Node* node = nullptr;
};
