// What tools inherit besides their input: CreateProcessW, given no environment, hands them
// the process's own, which the C library's copy does not feed.

#include <windows.h>

#include "devicelink/LinkPlatform.h"
#include "platform/win32/WideText.h"

namespace devicelink::platform {

void setToolVariable(const std::string& name, const std::string& value) {
    ::SetEnvironmentVariableW(cocos2d::win32::toWide(name).c_str(),
                              cocos2d::win32::toWide(value).c_str());
}

}  // namespace devicelink::platform
