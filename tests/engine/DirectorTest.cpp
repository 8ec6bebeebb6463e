// The director's frames: a still scene costs no frames and waits for input or its next
// timer, a change or a running action draws.
#include <gtest/gtest.h>

#include "EngineTestSupport.h"

USING_NS_CC;

namespace {

class Frames : public ::testing::Test {
protected:
    bool busy() { return Director::getInstance()->getScheduler()->hasPerFrameWork(); }

    HeadlessHarness harness;
};

}  // namespace

TEST_F(Frames, AStillSceneIsDrawnOnceAChangeOnceMoreAndAnActionUntilItEnds) {
    Node* node = enginetest::marker(1);
    harness.scene()->addChild(node);
    harness.step();
    unsigned int drawn = harness.drawnFrames();
    harness.steps(10);
    EXPECT_EQ(harness.drawnFrames(), drawn);
    for (const auto& change : std::vector<std::function<void()>>{
             [node] { node->setOpacity(10); }, [node] { node->setLocalZOrder(3); },
             [node] { node->addChild(Node::create()); },
             [node] { node->setRotation3D(Vec3(0.f, 30.f, 0.f)); }}) {
        change();
        harness.steps(3);
        EXPECT_EQ(harness.drawnFrames(), ++drawn);
    }
    node->runAction(MoveTo::create(0.1f, Vec2(60.f, 0.f)));
    harness.steps(10);  // the first step moves nothing, six more reach 0.1 s
    EXPECT_EQ(harness.drawnFrames(), drawn + 6);
    EXPECT_FALSE(busy());
    node->runAction(RepeatForever::create(RotateBy::create(0.2f, 45.f)));
    EXPECT_TRUE(busy());
    node->pause();
    EXPECT_FALSE(busy());
    Node::create()->runAction(RotateBy::create(1.f, 90.f));  // outside the scene
    EXPECT_FALSE(busy());
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

}  // namespace

TEST(RealTimeLoop, AnIdleSceneBlocksUntilInputOrTheNextTimerAndMovingThingsNeverWait) {
    Director* director = Director::getInstance();
    director->reset();
    auto view = std::make_unique<WaitRecordingView>();
    WaitRecordingView* platform = view.get();
    director->setOpenGLView(GLViewImpl::createWithPlatformView(std::move(view), "loop"));
    director->runWithScene(Scene::create());
    director->mainLoop();  // the first frame draws the new scene
    director->mainLoop();
    Node* node = Node::create();
    director->getRunningScene()->addChild(node);
    director->mainLoop();  // the change is drawn without waiting
    node->runAction(RotateBy::create(10.f, 90.f));
    director->mainLoop();
    node->stopAllActions();  // every turn so far has been drawn: idle again
    director->mainLoop();
    director->getRunningScene()->schedule([](float) {}, 0.5f, "poll");
    director->mainLoop();
    ASSERT_EQ(platform->waits.size(), 6u);
    EXPECT_EQ(std::vector<int>(platform->waits.begin() + 1, platform->waits.end() - 1),
              (std::vector<int>{-1, 0, 0, -1}));
    EXPECT_GT(platform->waits.back(), 400);
    EXPECT_LE(platform->waits.back(), 500);
    director->reset();
}
