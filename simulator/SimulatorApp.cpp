#include "simulator/SimulatorApp.h"

#include "simulator/SimulatorLook.h"
#include "simulator/SimulatorScene.h"

USING_NS_CC;

namespace {

const char* const kWindowTitle = "Board simulator";

}  // namespace

SimulatorApp::SimulatorApp(simulator::platform::InstanceHandOff* handOff) : _handOff(handOff) {}

SimulatorApp::~SimulatorApp() {}

void SimulatorApp::initGLContextAttrs() {
    GLContextAttrs attributes = {8, 8, 8, 8, 24, 8};
    GLView::setGLContextAttrs(attributes);
}

bool SimulatorApp::applicationDidFinishLaunching() {
    Director* director = Director::getInstance();
    GLView* view =
        GLViewImpl::createWithRect(kWindowTitle, Rect(0, 0, look::kWidth, look::kHeight));
    if (view == nullptr) {
        return false;  // the view has said why
    }
    director->setOpenGLView(view);
    director->setAnimationInterval(1.0f / 60);
    view->setDesignResolutionSize(look::kWidth, look::kHeight, ResolutionPolicy::SHOW_ALL);

    simulator::platform::InstanceHandOff* handOff = _handOff;
    auto layer = SimulatorScene::create([handOff] {
        if (simulator::platform::quitRequested()) {
            Director::getInstance()->end();
        }
        return handOff != nullptr ? handOff->poll() : std::vector<std::string>();
    });
    if (layer == nullptr) {
        return false;
    }
    Scene* scene = Scene::create();
    scene->addChild(layer);
    director->runWithScene(scene);
    return true;
}

void SimulatorApp::applicationDidEnterBackground() {
    Director::getInstance()->stopAnimation();
}

void SimulatorApp::applicationWillEnterForeground() {
    Director::getInstance()->startAnimation();
}
