// What tools inherit besides their input: CreateProcessW, given no environment, hands them
// the process's own, which the C library's copy does not feed.

#include <windows.h>

#include "devicelink/LinkPlatform.h"
#include "widetext/win32/WideText.h"

namespace devicelink::platform {

void setToolVariable(const std::string& name, const std::string& value) {
    ::SetEnvironmentVariableW(widetext::toWide(name).c_str(), widetext::toWide(value).c_str());
}

}  // namespace devicelink::platform
