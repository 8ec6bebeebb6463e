#include "simulator/SimulatorApp.h"

#include <cstdlib>

#include "handoff/WorkspaceHandOff.h"
#include "lang/Languages.h"
#include "lang/Translate.h"
#include "simulator/SimulatorLook.h"
#include "simulator/SimulatorScene.h"
#include "simulator/WindowPlacement.h"

USING_NS_CC;

namespace {

const char* const kWindowTitle = lang::mark("Board simulator");
const char* const kWindowIcon = "../res/zundlecards.png";
// How often the main loop looks for a quit signal while nothing else wakes it.
constexpr int kQuitLookMs = 100;

// Beside the workspace, so that its play and stop stay in reach, in the form that fits
// there (compact says which), and how far the workspace is to move for it (moveBy);
// started any other way, the window opens where the system puts it, roomy.
bool besideWorkspace(const std::vector<backend::PixelRect>& displays, int& width, int& height,
                     int& x, int& y, bool& compact, int& moveBy) {
    const std::optional<simulator::WorkspaceWindow> workspace = simulator::parseWorkspaceWindow(
        std::getenv(handoff::kFrameVariable), std::getenv(handoff::kControlsVariable));
    if (!workspace) {
        return false;
    }
    std::vector<simulator::ScreenRect> screens;
    for (const backend::PixelRect& display : displays) {
        screens.push_back({display.x, display.y, display.w, display.h});
    }
    const std::optional<simulator::WindowChoice> choice = simulator::chooseWindow(
        *workspace, screens, {static_cast<int>(look::kWidth), static_cast<int>(look::kHeight)},
        {static_cast<int>(look::kCompactWidth), static_cast<int>(look::kCompactHeight)});
    if (!choice) {
        return false;
    }
    compact = choice->compact;
    moveBy = choice->roomIfWorkspaceMovesBy;
    width = static_cast<int>(compact ? look::kCompactWidth : look::kWidth);
    height = static_cast<int>(compact ? look::kCompactHeight : look::kHeight);
    x = choice->at.x;
    y = choice->at.y;
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
    // The workspace that starts the simulator passes its language on; started alone, it
    // follows the system. Without catalogues it speaks English.
    const std::string catalogues =
        lang::catalogueFolder(FileUtils::getInstance()->getExecutableDirectory());
    std::vector<std::string> codes;
    for (const lang::Language& language : lang::languagesIn(catalogues)) {
        codes.push_back(language.code);
    }
    std::string problem;
    lang::switchLanguage(lang::firstKnown(lang::systemWishes(), codes), catalogues, problem);
    bool compact = false;
    int moveBy = 0;
    GLView* view = GLViewImpl::createWithRect(
        lang::tr(kWindowTitle), Rect(0, 0, look::kWidth, look::kHeight), 1.0f,
        [&compact, &moveBy](const std::vector<backend::PixelRect>& displays, int& width,
                            int& height, int& x, int& y) {
            return besideWorkspace(displays, width, height, x, y, compact, moveBy);
        });
    if (view == nullptr) {
        return false;  // the view has said why
    }
    director->setOpenGLView(view);
    // The workspace's own picture: the simulator lies in exe/, the pictures one folder up.
    // Without it the window keeps the system's icon, no reason not to start.
    view->setIcon(kWindowIcon);
    director->setAnimationInterval(1.0f / 60);
    // Minimised, or with its window gone, the loop still wakes to look for quit signals.
    director->setLongestWait(kQuitLookMs);
    view->setDesignResolutionSize(compact ? look::kCompactWidth : look::kWidth,
                                  compact ? look::kCompactHeight : look::kHeight,
                                  ResolutionPolicy::SHOW_ALL);

    simulator::platform::InstanceHandOff* handOff = _handOff;
    auto layer = SimulatorScene::create(
        [handOff] {
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
        },
        compact);
    if (layer == nullptr) {
        return false;
    }
    layer->setInterrupt(simulator::platform::quitRequested);
    if (handOff != nullptr) {
        // Said first to whoever sent the first transfer: the workspace that started this
        // window (a later one started none, and stays where it is).
        std::string first =
            moveBy != 0 ? handoff::kWorkspaceMoveMark + std::to_string(moveBy) + "\n" : "";
        layer->setAnswerSink([handOff, first](const std::string& text, bool over) mutable {
            handOff->answer(first + text);
            first.clear();
            if (over) {
                handOff->endAnswers();
            }
        });
    }
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
