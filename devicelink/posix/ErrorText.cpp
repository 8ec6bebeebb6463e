#include "devicelink/posix/ErrorText.h"

#include <string.h>

namespace devicelink::platform {

std::string errorText(int error) {
    char buffer[256];
    // The GNU strerror_r: the text may be a static string rather than the buffer.
    return ::strerror_r(error, buffer, sizeof(buffer));
}

}  // namespace devicelink::platform
