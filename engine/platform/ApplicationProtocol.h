// The callbacks an application gives the engine: start-up, going to the background and
// coming back, and a few questions about the platform. Depends on Macros.h only.
#pragma once

#include <string>

#include "base/Macros.h"

NS_CC_BEGIN

enum class LanguageType {
    ENGLISH = 0,
    CHINESE,
    FRENCH,
    ITALIAN,
    GERMAN,
    SPANISH,
    DUTCH,
    RUSSIAN,
    KOREAN,
    JAPANESE,
    HUNGARIAN,
    PORTUGUESE,
    ARABIC,
    NORWEGIAN,
    POLISH,
    TURKISH,
    UKRAINIAN,
    ROMANIAN,
    BULGARIAN,
};

class ApplicationProtocol {
public:
    enum class Platform {
        OS_WINDOWS,
        OS_LINUX,
        OS_MAC,
        OS_ANDROID,
        OS_IPHONE,
        OS_IPAD,
    };

    virtual ~ApplicationProtocol() = default;

    // Called once the engine is ready: build the window and the first scene. False ends
    // the program with a failure status.
    virtual bool applicationDidFinishLaunching() = 0;
    // The window went to the background (minimised).
    virtual void applicationDidEnterBackground() = 0;
    // The window came back.
    virtual void applicationWillEnterForeground() = 0;
    // Seconds between frames while something moves.
    virtual void setAnimationInterval(float interval) = 0;
    // Chance to set the drawing-surface attributes before the window is made.
    virtual void initGLContextAttrs() {}
    virtual LanguageType getCurrentLanguage() = 0;
    virtual const char* getCurrentLanguageCode() = 0;
    virtual Platform getTargetPlatform() = 0;
    virtual std::string getVersion() = 0;
    virtual bool openURL(const std::string& url) = 0;
};

NS_CC_END
