#include "simulator/SimulatorApp.h"

#include <cstdlib>

#include "simulator/SimulatorLook.h"
#include "simulator/SimulatorScene.h"
#include "simulator/WindowPlacement.h"

USING_NS_CC;

namespace {

const char* const kWindowTitle = "Board simulator";
// How often the main loop looks for a quit signal while nothing else wakes it.
constexpr int kQuitLookMs = 100;
// Where the workspace that started this tool lies (scene/WorkspacePlace.cpp sets them).
const char* const kFrameVariable = "ZC_WORKSPACE_FRAME";
const char* const kControlsVariable = "ZC_WORKSPACE_CONTROLS";

// Beside the workspace, so that its play and stop stay in reach; started any other way,
// the window opens where the system puts it.
bool besideWorkspace(const std::vector<backend::PixelRect>& displays, int width, int height, int& x,
                     int& y) {
    const std::optional<simulator::WorkspaceWindow> workspace = simulator::parseWorkspaceWindow(
        std::getenv(kFrameVariable), std::getenv(kControlsVariable));
    if (!workspace) {
        return false;
    }
    std::vector<simulator::ScreenRect> screens;
    for (const backend::PixelRect& display : displays) {
        screens.push_back({display.x, display.y, display.w, display.h});
    }
    const std::optional<simulator::ScreenPoint> place =
        simulator::placeBeside(*workspace, screens, width, height);
    if (!place) {
        return false;
    }
    x = place->x;
    y = place->y;
    return true;
}

}  // namespace

SimulatorApp::SimulatorApp(simulator::platform::InstanceHandOff* handOff) : _handOff(handOff) {}

SimulatorApp::~SimulatorApp() {}

void SimulatorApp::initGLContextAttrs() {
    GLContextAttrs attributes = {8, 8, 8, 8, 24, 8};
    GLView::setGLContextAttrs(attributes);
}

bool SimulatorApp::applicationDidFinishLaunching() {
    Director* director = Director::getInstance();
    GLView* view = GLViewImpl::createWithRect(kWindowTitle, Rect(0, 0, look::kWidth, look::kHeight),
                                              1.0f, besideWorkspace);
    if (view == nullptr) {
        return false;  // the view has said why
    }
    director->setOpenGLView(view);
    director->setAnimationInterval(1.0f / 60);
    // Minimised, or with its window gone, the loop still wakes to look for quit signals.
    director->setLongestWait(kQuitLookMs);
    view->setDesignResolutionSize(look::kWidth, look::kHeight, ResolutionPolicy::SHOW_ALL);

    simulator::platform::InstanceHandOff* handOff = _handOff;
    auto layer = SimulatorScene::create([handOff] {
        if (simulator::platform::quitRequested()) {
            Director::getInstance()->end();
        }
        std::vector<std::string> transfers =
            handOff != nullptr ? handOff->poll() : std::vector<std::string>();
        // A new program shows in front; the workspace keeps the focus and the press
        // that may be going on in it (stop, say).
        GLView* shown = Director::getInstance()->getOpenGLView();
        if (!transfers.empty() && shown != nullptr) {
            shown->getPlatformView()->raiseWithoutFocus();
        }
        return transfers;
    });
    if (layer == nullptr) {
        return false;
    }
    layer->setInterrupt(simulator::platform::quitRequested);
    Scene* scene = Scene::create();
    scene->addChild(layer);
    director->runWithScene(scene);
    return true;
}

bool SimulatorApp::applicationShouldQuit() {
    return simulator::platform::quitRequested();
}

void SimulatorApp::applicationDidEnterBackground() {
    Director::getInstance()->stopAnimation();
}

void SimulatorApp::applicationWillEnterForeground() {
    Director::getInstance()->startAnimation();
}
