// A small program built with the engine for the window tests:
//   window_probe letterbox W H   a window of W x H showing the whole 1024 x 768 design area
//                                as one green LayerColor (shown-all, so black borders
//                                appear where the window's aspect differs)
//   window_probe picture PATH    a sprite of PATH, with the program's missing-picture guard
//   window_probe refusing        a letterbox window that refuses its close button, saying
//                                "close refused" on standard output each time
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/MissingPictureGuard.h"
#include "cocos2d.h"

USING_NS_CC;

namespace {

class ProbeApp : public Application {
public:
    ProbeApp(std::string mode, std::string argument, int width, int height)
        : _mode(std::move(mode)), _argument(std::move(argument)), _width(width), _height(height) {}

    bool applicationDidFinishLaunching() override {
        auto director = Director::getInstance();
        auto glview = GLViewImpl::createWithRect(
            "WindowProbe", Rect(0, 0, static_cast<float>(_width), static_cast<float>(_height)));
        if (!glview)
            return false;
        director->setOpenGLView(glview);
        glview->setDesignResolutionSize(1024, 768, ResolutionPolicy::SHOW_ALL);
        director->setContentScaleFactor(2.0f);
        auto scene = Scene::create();
        if (_mode == "letterbox" || _mode == "refusing") {
            scene->addChild(LayerColor::create(Color4B(0, 200, 0, 255)));
        } else {
            auto sprite = Sprite::create(_argument);
            if (!sprite)
                return false;  // only reached when the guard is not installed
            scene->addChild(sprite);
        }
        director->runWithScene(scene);
        if (_mode == "refusing") {
            glview->setCloseRequestCallback([] {
                std::printf("close refused\n");
                std::fflush(stdout);
                return false;
            });
        }
        return true;
    }
    void applicationDidEnterBackground() override { Director::getInstance()->stopAnimation(); }
    void applicationWillEnterForeground() override { Director::getInstance()->startAnimation(); }

private:
    std::string _mode;
    std::string _argument;
    int _width;
    int _height;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const bool letterbox = mode == "letterbox" && argc == 4;
    if (!letterbox && !(mode == "refusing" && argc == 2) && !(mode == "picture" && argc == 3)) {
        std::fprintf(stderr, "usage: window_probe letterbox W H | picture PATH | refusing\n");
        return 2;
    }
    if (mode == "picture") {
        MissingPictureGuard::install();
    }
    ProbeApp app(mode, mode == "picture" ? argv[2] : "", letterbox ? std::atoi(argv[2]) : 400,
                 letterbox ? std::atoi(argv[3]) : 300);
    return Application::getInstance()->run();
}
