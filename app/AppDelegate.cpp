#include "app/AppDelegate.h"

#include <cstdio>

#include "app/NoticeReport.h"
#include "scene/FieldScene.h"

USING_NS_CC;

namespace {

const char* const kWindowTitle = "ZundleApps";
const char* const kWindowIcon = "res/zundlecards.png";
const Rect kWindowRect(0, 0, 1024, 768);
const float kFrameZoomFactor = 1.0f;
const Size kDesignResolution(1024, 768);
const float kAnimationInterval = 1.0f / 60;
const float kContentScaleFactor = 2.0f;

}  // namespace

AppDelegate::AppDelegate() {}

AppDelegate::~AppDelegate() {}

void AppDelegate::initGLContextAttrs() {
    // red, green, blue, alpha, depth, stencil
    GLContextAttrs glContextAttrs = {8, 8, 8, 8, 24, 8};
    GLView::setGLContextAttrs(glContextAttrs);
}

bool AppDelegate::applicationDidFinishLaunching() {
    auto director = Director::getInstance();
    auto glview = director->getOpenGLView();
    if (!glview) {
        glview = GLViewImpl::createWithRect(kWindowTitle, kWindowRect, kFrameZoomFactor);
        if (!glview) {
            return false;  // no display: the view has said why
        }
        director->setOpenGLView(glview);
    }
    glview->watchSystemEnding();
    // Without its icon the window shows the system's own: no reason not to start.
    glview->setIcon(kWindowIcon);

    director->setDisplayStats(false);
    director->setAnimationInterval(kAnimationInterval);
    glview->setDesignResolutionSize(kDesignResolution.width, kDesignResolution.height,
                                    ResolutionPolicy::SHOW_ALL);
    director->setContentScaleFactor(kContentScaleFactor);

    auto scene = Scene::create();
    auto layer = FieldScene::create();
    if (!layer) {
        return false;
    }
    scene->addChild(layer);
    _workspace = layer;
    NoticeReport::installIfAsked(layer);
    // The workspace lives as long as the window: it answers the close button and drops.
    glview->setCloseRequestCallback([layer]() { return layer->onCloseRequested(); });
    glview->setFileDropCallback([layer](const std::string& path) { layer->openDroppedFile(path); });
    director->runWithScene(scene);
    return true;
}

void AppDelegate::applicationWillTerminate() {
    if (_workspace != nullptr && !_workspace->keepBeforeExit()) {
        // The window may already be gone: the terminal, or the session's log, hears it.
        std::fprintf(stderr, "zundlecards: the last work could not be kept: %s\n",
                     _workspace->getKeepProblem().empty()
                         ? "the disk did not finish writing in time"
                         : _workspace->getKeepProblem().c_str());
    }
}

void AppDelegate::applicationDidEnterBackground() {
    Director::getInstance()->stopAnimation();
}

void AppDelegate::applicationWillEnterForeground() {
    Director::getInstance()->startAnimation();
}
