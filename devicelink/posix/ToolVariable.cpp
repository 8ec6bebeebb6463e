// What tools inherit besides their input: posix_spawn hands them `environ`.

#include <stdlib.h>

#include "devicelink/LinkPlatform.h"

namespace devicelink::platform {

void setToolVariable(const std::string& name, const std::string& value) {
    ::setenv(name.c_str(), value.c_str(), 1);
}

}  // namespace devicelink::platform
