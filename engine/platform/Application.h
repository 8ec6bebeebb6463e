// The application singleton: the program derives its delegate from it, constructs one on
// the stack of main() and calls run(), which holds the main loop until the window closes.
// Depends on ApplicationProtocol and the Director.
#pragma once

#include <string>

#include "platform/ApplicationProtocol.h"

NS_CC_BEGIN

class Application : public ApplicationProtocol {
public:
    Application();
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The one application object, or nullptr while none exists.
    static Application* getInstance();

    // Sets the context attributes, launches, then runs frames until the window closes.
    // Returns 0, or 1 when launching failed or left no window.
    int run();
    // Asked between turns of the main loop, even while no frame runs (minimised, or the
    // window gone): true ends run() as closing the window does. See Director::setLongestWait.
    virtual bool applicationShouldQuit() { return false; }
    // The loop has ended (the window closed, a signal, the session's end) and the process
    // is about to: the last moment to save what must not be lost. The window is still open.
    virtual void applicationWillTerminate() {}

    void setAnimationInterval(float interval) override;
    LanguageType getCurrentLanguage() override { return LanguageType::ENGLISH; }
    const char* getCurrentLanguageCode() override { return "en"; }
    Platform getTargetPlatform() override { return Platform::OS_LINUX; }
    std::string getVersion() override { return std::string(); }
    // Opening web pages is not offered; always false.
    bool openURL(const std::string& url) override;
};

NS_CC_END
