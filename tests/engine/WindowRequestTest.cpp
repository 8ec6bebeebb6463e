// What the user and the system ask of the window as a whole, through the view's input
// path: files dropped onto it, a close that the program may refuse, a quit that it may not.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineTestSupport.h"

USING_NS_CC;

TEST(WindowRequests, EveryDroppedFileReachesTheCallbackInOrderAndNoneIsNeeded) {
    HeadlessHarness harness;
    harness.dropFile("/tmp/dropped before anyone listens.json");  // nobody to tell: no harm

    std::vector<std::string> opened;
    harness.view()->setFileDropCallback([&](const std::string& path) { opened.push_back(path); });
    harness.dropFile("/home/anna/Ampel.json");
    harness.dropFile("/home/anna/Lauflicht \xc3\xbc.json");
    EXPECT_EQ(opened, (std::vector<std::string>{"/home/anna/Ampel.json",
                                                "/home/anna/Lauflicht \xc3\xbc.json"}));
    EXPECT_FALSE(harness.view()->windowShouldClose());

    // Several files of one drop come from the window in one batch, handled at the next frame.
    backend::InputEvent drop;
    drop.type = backend::InputEvent::Type::FileDropped;
    opened.clear();
    for (const char* path : {"/a.json", "/b.json", "/c.json"}) {
        drop.text = path;
        harness.platformView().queueEvent(drop);
    }
    harness.step();
    EXPECT_EQ(opened, (std::vector<std::string>{"/a.json", "/b.json", "/c.json"}));

    harness.view()->setFileDropCallback(nullptr);
    harness.dropFile("/d.json");
    EXPECT_EQ(opened.size(), 3u);
}

TEST(WindowRequests, TheCloseButtonClosesOnlyWhenTheProgramAgreesAndAQuitAsksNobody) {
    using Type = backend::InputEvent::Type;
    int asked = 0;
    bool agree = false;
    auto ask = [&] {
        ++asked;
        return agree;
    };
    {
        HeadlessHarness harness;
        harness.view()->setCloseRequestCallback(ask);
        harness.windowEvent(Type::CloseRequested);
        harness.windowEvent(Type::CloseRequested);
        EXPECT_EQ(asked, 2);
        EXPECT_FALSE(harness.view()->windowShouldClose());

        agree = true;
        harness.windowEvent(Type::CloseRequested);
        EXPECT_EQ(asked, 3);
        EXPECT_TRUE(harness.view()->windowShouldClose());
    }
    {
        // A signal or the session's end: the program is not asked, and cannot refuse.
        HeadlessHarness harness;
        agree = false;
        harness.view()->setCloseRequestCallback(ask);
        harness.windowEvent(Type::Quit);
        EXPECT_EQ(asked, 3);
        EXPECT_TRUE(harness.view()->windowShouldClose());
    }
    {
        HeadlessHarness harness;  // nobody to ask: the close button closes, as it always has
        harness.windowEvent(Type::CloseRequested);
        EXPECT_TRUE(harness.view()->windowShouldClose());
    }
}

namespace {

// Refuses the close button, as a program with unsaved work does, and ends itself at the
// next key press (as the answer to its question would).
class AskingApp : public Application {
public:
    int asked = 0;

    bool applicationDidFinishLaunching() override {
        auto* view =
            GLViewImpl::createWithPlatformView(backend::createHeadlessView(1024, 768), "asking");
        Director::getInstance()->setOpenGLView(view);
        Director::getInstance()->runWithScene(Scene::create());
        view->setCloseRequestCallback([this] {
            ++asked;
            return false;
        });
        auto* keys = EventListenerKeyboard::create();
        keys->onKeyPressed = [](EventKeyboard::KeyCode, Event*) { Director::getInstance()->end(); };
        Director::getInstance()->getEventDispatcher()->addEventListenerWithFixedPriority(keys, 1);
        auto* platform = static_cast<backend::HeadlessView*>(view->getPlatformView());
        backend::InputEvent event;
        event.type = backend::InputEvent::Type::CloseRequested;
        platform->queueEvent(event);
        event.type = backend::InputEvent::Type::KeyDown;
        event.key = static_cast<int>(EventKeyboard::KeyCode::KEY_ENTER);
        platform->queueEvent(event);
        return true;
    }
    void applicationDidEnterBackground() override {}
    void applicationWillEnterForeground() override {}
};

}  // namespace

TEST(WindowRequests, AProgramThatRefusedTheCloseCanEndItselfLater) {
    Director::getInstance()->reset();
    AskingApp app;
    EXPECT_EQ(app.run(), 0);
    EXPECT_EQ(app.asked, 1);
    EXPECT_EQ(Director::getInstance()->getOpenGLView(), nullptr);
    Director::getInstance()->reset();
}
