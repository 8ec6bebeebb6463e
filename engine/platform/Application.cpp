#include "platform/Application.h"

#include "platform/FatalMessage.h"

#include "base/Director.h"
#include "platform/GLView.h"

NS_CC_BEGIN

namespace {
Application* s_sharedApplication = nullptr;
}

Application::Application() {
    CCASSERT(s_sharedApplication == nullptr, "only one Application may exist");
    s_sharedApplication = this;
}

Application::~Application() {
    if (s_sharedApplication == this) {
        s_sharedApplication = nullptr;
    }
}

Application* Application::getInstance() {
    return s_sharedApplication;
}

int Application::run() {
    initGLContextAttrs();
    if (!applicationDidFinishLaunching()) {
        return 1;
    }
    Director* director = Director::getInstance();
    GLView* view = director->getOpenGLView();
    if (view == nullptr) {
        showFatalMessage("The application started without a window.");
        return 1;
    }
    view->retain();
    while (!view->windowShouldClose() && !applicationShouldQuit()) {
        director->mainLoop();
    }
    applicationWillTerminate();
    // Close the window now; the scene lives on until the process ends.
    director->setOpenGLView(nullptr);
    view->release();
    return 0;
}

void Application::setAnimationInterval(float interval) {
    Director::getInstance()->setAnimationInterval(interval);
}

bool Application::openURL(const std::string&) {
    return false;
}

NS_CC_END
