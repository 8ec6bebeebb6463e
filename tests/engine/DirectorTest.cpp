#include <gtest/gtest.h>

#include "EngineTestSupport.h"

USING_NS_CC;

namespace {

class Frames : public ::testing::Test {
protected:
    HeadlessHarness harness;
};

}  // namespace

TEST_F(Frames, AStillSceneIsDrawnOnceAndThenNotAgain) {
    harness.scene()->addChild(enginetest::marker(1));
    harness.step();
    unsigned int drawn = harness.drawnFrames();
    EXPECT_GE(drawn, 1u);
    harness.steps(10);
    EXPECT_EQ(harness.drawnFrames(), drawn);
    EXPECT_FALSE(Director::getInstance()->getScheduler()->hasPerFrameWork());
}

TEST_F(Frames, AnyChangeToANodeDrawsOneMoreFrame) {
    Node* node = enginetest::marker(1);
    harness.scene()->addChild(node);
    harness.step();
    struct Change {
        const char* what;
        std::function<void()> apply;
    };
    std::vector<Change> changes = {
        {"position", [node] { node->setPosition(5.f, 5.f); }},
        {"opacity", [node] { node->setOpacity(10); }},
        {"colour", [node] { node->setColor(Color3B::RED); }},
        {"visibility", [node] { node->setVisible(false); }},
        {"z-order", [node] { node->setLocalZOrder(3); }},
        {"new child", [node] { node->addChild(Node::create()); }},
        {"removal", [node] { node->removeAllChildren(); }},
        {"scale", [node] { node->setScale(2.f); }},
        {"rotation", [node] { node->setRotation3D(Vec3(0.f, 30.f, 0.f)); }},
    };
    for (const Change& change : changes) {
        unsigned int before = harness.drawnFrames();
        change.apply();
        harness.steps(3);
        EXPECT_EQ(harness.drawnFrames(), before + 1) << change.what;
    }
}

TEST_F(Frames, ARunningActionDrawsEveryFrameUntilItEnds) {
    Node* node = enginetest::marker(1);
    harness.scene()->addChild(node);
    harness.step();
    unsigned int before = harness.drawnFrames();
    node->runAction(MoveBy::create(0.1f, Vec2(60.f, 0.f)));
    EXPECT_TRUE(Director::getInstance()->getScheduler()->hasPerFrameWork());
    harness.step();  // progress 0: the node has not moved, so there is nothing to draw
    EXPECT_EQ(harness.drawnFrames(), before);
    for (int frame = 1; frame <= 6; ++frame) {  // six more reach 0.1 s, each one drawn
        harness.step();
        EXPECT_EQ(harness.drawnFrames(), before + frame);
    }
    EXPECT_FLOAT_EQ(node->getPositionX(), 60.f);
    EXPECT_FALSE(Director::getInstance()->getScheduler()->hasPerFrameWork());
    harness.steps(5);
    EXPECT_EQ(harness.drawnFrames(), before + 6);
}

TEST_F(Frames, AnActionOnANodeOutsideTheSceneNeedsNoFrames) {
    Node* loose = Node::create();
    loose->runAction(RotateBy::create(1.f, 90.f));
    EXPECT_FALSE(Director::getInstance()->getScheduler()->hasPerFrameWork());
}

TEST_F(Frames, TheAutoreleasePoolIsDrainedAtTheEndOfEveryFrame) {
    Node* node = Node::create();
    node->retain();
    EXPECT_EQ(node->getReferenceCount(), 2u);
    harness.step();
    EXPECT_EQ(node->getReferenceCount(), 1u);
    node->release();
}

TEST_F(Frames, InputIsHandledBeforeTheFramesUpdate) {
    // Events queued on the platform view arrive in the next frame, before the scheduler.
    std::vector<std::string> order;
    auto* listener = EventListenerMouse::create();
    listener->onMouseMove = [&order](EventMouse*) { order.push_back("input"); };
    Director::getInstance()->getEventDispatcher()->addEventListenerWithFixedPriority(listener, 1);
    harness.scene()->schedule([&order](float) { order.push_back("update"); }, "tick");
    backend::InputEvent move;
    move.type = backend::InputEvent::Type::MouseMove;
    harness.platformView().queueEvent(move);
    harness.step();
    EXPECT_EQ(order, (std::vector<std::string>{"input", "update"}));
}

TEST_F(Frames, ResetLeavesACleanDirector) {
    harness.scene()->addChild(enginetest::marker(1));
    auto* listener = EventListenerTouchOneByOne::create();
    listener->onTouchBegan = [](Touch*, Event*) { return true; };
    Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(
        listener, harness.scene());
    Director::getInstance()->reset();
    EXPECT_EQ(Director::getInstance()->getRunningScene(), nullptr);
    EXPECT_EQ(Director::getInstance()->getOpenGLView(), nullptr);
    EXPECT_EQ(Director::getInstance()->getEventDispatcher()->getListenerCount(), 0u);
    EXPECT_FLOAT_EQ(Director::getInstance()->getContentScaleFactor(), 1.f);
    EXPECT_EQ(Director::getInstance()->getWinSize(), Size::ZERO);
}

TEST_F(Frames, TheHarnessSetsUpTheProgramsWindow) {
    Director* director = Director::getInstance();
    EXPECT_EQ(director->getWinSize(), Size(1024.f, 768.f));
    EXPECT_EQ(director->getVisibleSize(), Size(1024.f, 768.f));
    EXPECT_FLOAT_EQ(director->getContentScaleFactor(), 2.f);
    EXPECT_EQ(harness.scene()->getContentSize(), Size(1024.f, 768.f));
    EXPECT_EQ(Device::getDPI(), 160);
    EXPECT_EQ(Layer::create()->getContentSize(), Size(1024.f, 768.f));
}
