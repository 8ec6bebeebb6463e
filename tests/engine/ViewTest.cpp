#include <gtest/gtest.h>

#include "EngineTestSupport.h"

USING_NS_CC;

namespace {

struct LetterboxCase {
    const char* name;
    int windowW, windowH;
    float scale;
    Rect viewport;  // frame points, origin bottom left
};

class Letterbox : public ::testing::TestWithParam<LetterboxCase> {};

// Adds two custom commands around its children's drawing that switch a scissor on and
// off, the way a clipping container does.
class ClipNode : public Node {
public:
    static ClipNode* create(const Rect& clip) {
        auto* node = new ClipNode(clip);
        node->autorelease();
        return node;
    }
    void visit(Renderer* renderer, const Mat4& parentTransform, std::uint32_t flags) override {
        _before.init(_globalZOrder);
        _before.func = [this] {
            GLView* view = Director::getInstance()->getOpenGLView();
            view->enableScissor(true);
            view->setScissorInPoints(_clip.origin.x, _clip.origin.y, _clip.size.width,
                                     _clip.size.height);
        };
        renderer->addCommand(&_before);
        Node::visit(renderer, parentTransform, flags);
        _after.init(_globalZOrder);
        _after.func = [] { Director::getInstance()->getOpenGLView()->enableScissor(false); };
        renderer->addCommand(&_after);
    }

private:
    explicit ClipNode(const Rect& clip) : _clip(clip) {}
    Rect _clip;
    CustomCommand _before;
    CustomCommand _after;
};

void expectClip(const backend::DrawRecord& record, int x, int y, int w, int h) {
    ASSERT_TRUE(record.clipped);
    EXPECT_EQ(record.clip.x, x);
    EXPECT_EQ(record.clip.y, y);
    EXPECT_EQ(record.clip.w, w);
    EXPECT_EQ(record.clip.h, h);
}

}  // namespace

TEST_P(Letterbox, ShowAllKeepsTheWholeDesignAreaCentredAtOneScale) {
    const LetterboxCase& c = GetParam();
    HeadlessHarness harness(c.windowW, c.windowH);
    GLView* view = harness.view();
    EXPECT_FLOAT_EQ(view->getScaleX(), c.scale);
    EXPECT_FLOAT_EQ(view->getScaleY(), c.scale);
    EXPECT_EQ(view->getViewPortRect(), c.viewport);
    EXPECT_EQ(Director::getInstance()->getVisibleSize(), Size(1024.f, 768.f));
    EXPECT_EQ(Director::getInstance()->getVisibleOrigin(), Vec2::ZERO);
    // The design corners land on the viewport's corners in the window (y down).
    Vec2 bottomLeft = view->designToWindow(Vec2::ZERO);
    EXPECT_FLOAT_EQ(bottomLeft.x, c.viewport.origin.x);
    EXPECT_FLOAT_EQ(bottomLeft.y, c.windowH - c.viewport.origin.y);
    Vec2 centre = view->windowToDesign(Vec2(c.windowW / 2.f, c.windowH / 2.f));
    EXPECT_FLOAT_EQ(centre.x, 512.f);
    EXPECT_FLOAT_EQ(centre.y, 384.f);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, Letterbox,
    ::testing::Values(LetterboxCase{"same", 1024, 768, 1.f, Rect(0.f, 0.f, 1024.f, 768.f)},
                      LetterboxCase{"wide", 1280, 768, 1.f, Rect(128.f, 0.f, 1024.f, 768.f)},
                      LetterboxCase{"tall", 1024, 1024, 1.f, Rect(0.f, 128.f, 1024.f, 768.f)},
                      LetterboxCase{"double", 2048, 1536, 2.f, Rect(0.f, 0.f, 2048.f, 1536.f)},
                      LetterboxCase{"smallSquare", 800, 800, 0.78125f,
                                    Rect(0.f, 100.f, 800.f, 600.f)}),
    [](const ::testing::TestParamInfo<LetterboxCase>& p) { return std::string(p.param.name); });

TEST(View, MouseInTheBordersMapsOutsideTheDesignArea) {
    HeadlessHarness harness(1280, 768);
    std::vector<Vec2> downs;
    auto* mouse = EventListenerMouse::create();
    mouse->onMouseDown = [&downs](EventMouse* e) { downs.push_back(e->getLocation()); };
    Director::getInstance()->getEventDispatcher()->addEventListenerWithFixedPriority(mouse, 1);
    backend::InputEvent down;
    down.type = backend::InputEvent::Type::MouseDown;
    down.button = 3;
    down.x = 64.f;  // inside the left border
    down.y = 0.f;
    harness.view()->handleInputEvent(down);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_FLOAT_EQ(downs[0].x, -64.f);
    EXPECT_FLOAT_EQ(downs[0].y, 768.f);
}

TEST(View, ScissorMapsDesignRectanglesToPixelsWithinTheViewport) {
    HeadlessHarness harness(1280, 768);
    ClipNode* clip = ClipNode::create(Rect(10.f, 20.f, 100.f, 50.f));
    clip->addChild(enginetest::marker(1));
    harness.scene()->addChild(clip);
    harness.scene()->addChild(enginetest::marker(2));
    harness.step();
    ASSERT_EQ(harness.draws().size(), 2u);
    expectClip(harness.draws()[0], 138, 698, 100, 50);
    // After the clip is switched off only the letterbox limit remains.
    expectClip(harness.draws()[1], 128, 0, 1024, 768);
    EXPECT_FALSE(harness.view()->isScissorEnabled());
    EXPECT_EQ(harness.view()->getScissorRect(), Rect(10.f, 20.f, 100.f, 50.f));

    // A scissor reaching past the design area is cut at the viewport.
    harness.scene()->removeAllChildren();
    ClipNode* wide = ClipNode::create(Rect(-50.f, 0.f, 200.f, 10.f));
    wide->addChild(enginetest::marker(3));
    harness.scene()->addChild(wide);
    harness.step();
    ASSERT_EQ(harness.draws().size(), 1u);
    expectClip(harness.draws()[0], 128, 758, 150, 10);
}

TEST(View, DrawingUsesOutputPixelsAndInputUsesWindowPoints) {
    HeadlessHarness harness;
    harness.device().setOutputSize(2048, 1536);  // a dense screen: 2 pixels a point
    ClipNode* clip = ClipNode::create(Rect(10.f, 20.f, 100.f, 50.f));
    clip->addChild(enginetest::marker(1, 10.f, 20.f, 30.f, 40.f));
    harness.scene()->addChild(clip);
    harness.step();
    ASSERT_EQ(harness.draws().size(), 1u);
    const auto& quad = harness.draws()[0];
    EXPECT_FLOAT_EQ(quad.corners[0].x, 20.f);
    EXPECT_FLOAT_EQ(quad.corners[0].y, 2 * (768.f - 20.f));
    EXPECT_FLOAT_EQ(quad.corners[2].x, 80.f);
    expectClip(quad, 20, 2 * 698, 200, 100);
    // The pointer is still measured in window points.
    Vec2 design = harness.view()->windowToDesign(Vec2(512.f, 384.f));
    EXPECT_EQ(design, Vec2(512.f, 384.f));
}

TEST(View, AResizedWindowIsPickedUpAtTheNextFrame) {
    HeadlessHarness harness;
    harness.platformView().setWindowSize(1280, 768);
    harness.device().setOutputSize(1280, 768);
    harness.step();
    EXPECT_EQ(harness.view()->getViewPortRect(), Rect(128.f, 0.f, 1024.f, 768.f));
}

namespace {

class CountingApp : public Application {
public:
    bool launchResult = true;
    bool quitAtOnce = true;
    int launched = 0, background = 0, foreground = 0, contextAttrs = 0;

    bool applicationDidFinishLaunching() override {
        ++launched;
        if (!launchResult) {
            return false;
        }
        auto* view =
            GLViewImpl::createWithPlatformView(backend::createHeadlessView(1024, 768), "app");
        Director::getInstance()->setOpenGLView(view);
        view->setDesignResolutionSize(1024.f, 768.f, ResolutionPolicy::SHOW_ALL);
        Director::getInstance()->runWithScene(Scene::create());
        if (quitAtOnce) {
            backend::InputEvent quit;
            quit.type = backend::InputEvent::Type::Quit;
            static_cast<backend::HeadlessView*>(view->getPlatformView())->queueEvent(quit);
        }
        return true;
    }
    void applicationDidEnterBackground() override {
        ++background;
        Director::getInstance()->stopAnimation();
    }
    void applicationWillEnterForeground() override {
        ++foreground;
        Director::getInstance()->startAnimation();
    }
    void initGLContextAttrs() override {
        ++contextAttrs;
        GLContextAttrs attrs{8, 8, 8, 8, 24, 8, 0};
        GLView::setGLContextAttrs(attrs);
    }
};

}  // namespace

TEST(Application, RunLaunchesLoopsUntilTheWindowClosesAndReturnsZero) {
    Director::getInstance()->reset();
    CountingApp app;
    EXPECT_EQ(Application::getInstance(), &app);
    EXPECT_EQ(app.run(), 0);
    EXPECT_EQ(app.contextAttrs, 1);
    EXPECT_EQ(app.launched, 1);
    EXPECT_EQ(GLView::getGLContextAttrs().depthBits, 24);
    EXPECT_EQ(Director::getInstance()->getOpenGLView(), nullptr);  // the window is closed
    Director::getInstance()->reset();
}

TEST(Application, AFailedLaunchEndsRunWithAFailureStatus) {
    Director::getInstance()->reset();
    CountingApp app;
    app.launchResult = false;
    EXPECT_NE(app.run(), 0);
    Director::getInstance()->reset();
}

TEST(Application, MinimisingStopsDrawingAndRestoringResumesIt) {
    CountingApp app;
    app.quitAtOnce = false;
    HeadlessHarness harness;
    ASSERT_TRUE(app.applicationDidFinishLaunching());  // replaces the harness's view
    auto& platform = *static_cast<backend::HeadlessView*>(
        Director::getInstance()->getOpenGLView()->getPlatformView());
    Director::getInstance()->mainLoop(1.f / 60.f);
    unsigned int drawn = platform.device().frameCount();

    backend::InputEvent minimised;
    minimised.type = backend::InputEvent::Type::Minimized;
    platform.queueEvent(minimised);
    Director::getInstance()->mainLoop(1.f / 60.f);
    Director::getInstance()->getRunningScene()->addChild(Node::create());
    Director::getInstance()->mainLoop(1.f / 60.f);
    EXPECT_EQ(app.background, 1);
    EXPECT_FALSE(Director::getInstance()->isAnimationRunning());
    EXPECT_EQ(platform.device().frameCount(), drawn);

    backend::InputEvent restored;
    restored.type = backend::InputEvent::Type::Restored;
    platform.queueEvent(restored);
    Director::getInstance()->mainLoop(1.f / 60.f);
    EXPECT_EQ(app.foreground, 1);
    EXPECT_EQ(platform.device().frameCount(), drawn + 1);
}
