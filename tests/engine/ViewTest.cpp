// The view between the design area and the window: letterboxing, pointer and clip
// mapping, and what the user and the system ask of the window: closing it, dropping files.
#include <gtest/gtest.h>

#include "EngineTestSupport.h"

USING_NS_CC;
using Type = backend::InputEvent::Type;

namespace {

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

backend::InputEvent event(Type type) {
    backend::InputEvent e;
    e.type = type;
    return e;
}

std::vector<int> clipOf(const backend::DrawRecord& record) {
    if (!record.clipped) {
        return {};
    }
    return {record.clip.x, record.clip.y, record.clip.w, record.clip.h};
}

}  // namespace

TEST(View, TheWholeDesignAreaIsShownCentredAtOneScaleInAnyWindow) {
    for (auto [w, h] : {std::pair{1024, 768}, {1280, 768}, {1024, 1024}, {2048, 1536}, {800, 800}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        HeadlessHarness harness(w, h);
        GLView* view = harness.view();
        EXPECT_FLOAT_EQ(view->getScaleX(), view->getScaleY());
        const Rect port = view->getViewPortRect();
        EXPECT_FLOAT_EQ(port.size.width / port.size.height, 1024.f / 768.f);
        EXPECT_TRUE(port.size.width == w || port.size.height == h) << "fills one side";
        EXPECT_FLOAT_EQ(port.getMidX(), w / 2.f);
        EXPECT_FLOAT_EQ(port.getMidY(), h / 2.f);
        EXPECT_EQ(view->windowToDesign(Vec2(w / 2.f, h / 2.f)), Vec2(512.f, 384.f));
        EXPECT_EQ(view->designToWindow(Vec2::ZERO), Vec2(port.getMinX(), h - port.getMinY()));
    }
}

TEST(View, ClipsMapToPixelsWithinTheViewportAndTheMouseInTheBordersLiesOutside) {
    HeadlessHarness harness(1280, 768);
    ClipNode* clip = ClipNode::create(Rect(10.f, 20.f, 100.f, 50.f));
    clip->addChild(enginetest::marker(1));
    harness.scene()->addChild(clip);
    harness.scene()->addChild(enginetest::marker(2));
    ClipNode* wide = ClipNode::create(Rect(-50.f, 0.f, 200.f, 10.f));
    wide->addChild(enginetest::marker(3));
    harness.scene()->addChild(wide);
    harness.step();
    ASSERT_EQ(harness.draws().size(), 3u);
    EXPECT_EQ(clipOf(harness.draws()[0]), (std::vector<int>{138, 698, 100, 50}));
    // After the clip is switched off only the letterbox limit remains.
    EXPECT_EQ(clipOf(harness.draws()[1]), (std::vector<int>{128, 0, 1024, 768}));
    // A clip reaching past the design area is cut at the viewport.
    EXPECT_EQ(clipOf(harness.draws()[2]), (std::vector<int>{128, 758, 150, 10}));

    std::vector<Vec2> downs;
    auto* mouse = EventListenerMouse::create();
    mouse->onMouseDown = [&downs](EventMouse* e) { downs.push_back(e->getLocation()); };
    Director::getInstance()->getEventDispatcher()->addEventListenerWithFixedPriority(mouse, 1);
    backend::InputEvent down = event(Type::MouseDown);
    down.button = 1;
    down.x = 64.f;  // inside the left border
    harness.view()->handleInputEvent(down);
    EXPECT_EQ(downs, (std::vector<Vec2>{{-64.f, 768.f}}));
}

TEST(WindowRequests, TheCloseButtonAsksTheProgramAndAQuitAsksNobody) {
    HeadlessHarness harness;
    int asked = 0;
    harness.view()->setCloseRequestCallback([&asked] { return ++asked > 1; });
    harness.windowEvent(Type::CloseRequested);
    EXPECT_FALSE(harness.view()->windowShouldClose());
    // A signal or the session's end: the program is not asked, and cannot refuse.
    harness.windowEvent(Type::Quit);
    EXPECT_TRUE(harness.view()->windowShouldClose());
    EXPECT_EQ(asked, 1);
}

TEST(WindowRequests, EveryFileOfADropReachesTheCallbackInOrder) {
    HeadlessHarness harness;
    harness.dropFile("/tmp/before anyone listens.json");  // nobody to tell: no harm
    std::vector<std::string> opened;
    harness.view()->setFileDropCallback([&](const std::string& path) { opened.push_back(path); });
    backend::InputEvent drop = event(Type::FileDropped);
    for (const char* path : {"/home/anna/Ampel.json", "/home/anna/Lauflicht \xc3\xbc.json"}) {
        drop.text = path;
        harness.platformView().queueEvent(drop);
    }
    harness.step();
    EXPECT_EQ(opened, (std::vector<std::string>{"/home/anna/Ampel.json",
                                                "/home/anna/Lauflicht \xc3\xbc.json"}));
}
