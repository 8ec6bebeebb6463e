// The workspace finger cases through SDL's own event queue into the real window backend,
// in a letterboxed window, so fingers take the mouse's mapping from window to design
// points. Runs under xvfb_run.py; no touch screen is needed.
#include <SDL.h>

#include <memory>
#include <string>

#include "cocos2d.h"
#include "tests/scene/FingerWorkspace.h"

USING_NS_CC;

namespace {

class SdlFingers : public FingerSource {
public:
    // nullptr when no window can open.
    static std::unique_ptr<FingerSource> open() {
        Director* director = Director::getInstance();
        director->reset();
        GLView* view = GLViewImpl::createWithRect("finger test", Rect(0.f, 0.f, 1100.f, 700.f));
        if (view == nullptr) {
            return nullptr;
        }
        director->setOpenGLView(view);
        view->setDesignResolutionSize(1024.f, 768.f, ResolutionPolicy::SHOW_ALL);
        director->setContentScaleFactor(2.f);
        director->setAnimationInterval(1.f / 60.f);
        director->runWithScene(Scene::create());
        return std::unique_ptr<FingerSource>(new SdlFingers(view));
    }
    ~SdlFingers() override { Director::getInstance()->reset(); }

    void queue(backend::InputEvent::Type type, int finger, const Vec2& point) override {
        using Type = backend::InputEvent::Type;
        // SDL places a finger as a share of the window.
        const Vec2 window = _view->designToWindow(point);
        const Size size = _view->getFrameSize();
        SDL_Event e{};
        e.type = type == Type::TouchDown   ? SDL_FINGERDOWN
                 : type == Type::TouchMove ? SDL_FINGERMOTION
                                           : SDL_FINGERUP;
        e.tfinger.touchId = 7;
        e.tfinger.fingerId = 300 + finger;
        e.tfinger.x = window.x / size.width;
        e.tfinger.y = window.y / size.height;
        EXPECT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    }

private:
    explicit SdlFingers(GLView* view) : _view(view) {}

    GLView* _view;  // the director's
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Sdl, WorkspaceFingers,
                         ::testing::Values(FingerSourceKind{"queue", &SdlFingers::open}),
                         [](const auto& kind) { return std::string(kind.param.name); });
