#include "platform/FatalMessage.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "widetext/win32/WideText.h"

namespace cocos2d {

void showFatalMessage(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    // Tests and scripts read the error stream; a box nobody can click would hang them.
    const char* quiet = std::getenv("ZC_NO_MESSAGE_BOX");
    if (quiet != nullptr && *quiet != '\0')
        return;
    MessageBoxW(nullptr, widetext::toWide(message).c_str(), L"ZundleApps",
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace cocos2d
