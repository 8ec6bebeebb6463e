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

namespace {

// A window stand-in that records how long the loop was willing to wait for input, and
// claims vertical sync so busy frames do not sleep.
class WaitRecordingView : public backend::PlatformView {
public:
    std::vector<int> waits;
    std::vector<backend::InputEvent> pending;

    backend::RenderDevice* getRenderDevice() override { return &_device; }
    void getWindowSize(int& width, int& height) const override {
        width = 1024;
        height = 768;
    }
    void waitEvents(int timeoutMs, std::vector<backend::InputEvent>& out) override {
        waits.push_back(timeoutMs);
        out.swap(pending);
        pending.clear();
    }
    bool hasVSync() const override { return true; }
    void setTitle(const std::string&) override {}

private:
    backend::HeadlessRenderDevice _device{1024, 768};
};

class RealTimeLoop : public ::testing::Test {
protected:
    void SetUp() override {
        Director::getInstance()->reset();
        auto view = std::make_unique<WaitRecordingView>();
        platform = view.get();
        Director::getInstance()->setOpenGLView(
            GLViewImpl::createWithPlatformView(std::move(view), "loop"));
        Director::getInstance()->runWithScene(Scene::create());
        Director::getInstance()->mainLoop();  // the first frame draws the new scene
        platform->waits.clear();
    }
    void TearDown() override { Director::getInstance()->reset(); }

    WaitRecordingView* platform = nullptr;
};

}  // namespace

TEST_F(RealTimeLoop, AnIdleSceneBlocksUntilInputArrives) {
    Director::getInstance()->mainLoop();
    Director::getInstance()->mainLoop();
    EXPECT_EQ(platform->waits, (std::vector<int>{-1, -1}));
}

TEST_F(RealTimeLoop, AnIntervalTimerLimitsTheWaitToItsDueTime) {
    Director::getInstance()->getRunningScene()->schedule([](float) {}, 0.5f, "poll");
    Director::getInstance()->mainLoop();
    ASSERT_EQ(platform->waits.size(), 1u);
    EXPECT_GT(platform->waits[0], 400);
    EXPECT_LE(platform->waits[0], 500);
}

TEST_F(RealTimeLoop, MovingThingsAndChangesNeverWait) {
    Node* node = Node::create();
    Director::getInstance()->getRunningScene()->addChild(node);
    Director::getInstance()->mainLoop();  // the change is drawn without waiting
    node->runAction(RotateBy::create(10.f, 90.f));
    Director::getInstance()->mainLoop();
    Director::getInstance()->mainLoop();
    node->stopAllActions();  // every turn so far has been drawn: idle again
    Director::getInstance()->mainLoop();
    EXPECT_EQ(platform->waits, (std::vector<int>{0, 0, 0, -1}));
}

TEST_F(RealTimeLoop, StoppedAnimationRunsNoFramesAndQuitEndsTheLoop) {
    Node* node = Node::create();
    Director::getInstance()->getRunningScene()->addChild(node);
    node->runAction(RotateBy::create(10.f, 90.f));
    Director::getInstance()->stopAnimation();
    unsigned int frames = Director::getInstance()->getTotalFrames();
    Director::getInstance()->mainLoop();
    EXPECT_EQ(platform->waits, (std::vector<int>{-1}));
    EXPECT_EQ(Director::getInstance()->getTotalFrames(), frames);

    backend::InputEvent quit;
    quit.type = backend::InputEvent::Type::Quit;
    platform->pending.push_back(quit);
    Director::getInstance()->startAnimation();
    Director::getInstance()->mainLoop();
    EXPECT_TRUE(Director::getInstance()->getOpenGLView()->windowShouldClose());
}
