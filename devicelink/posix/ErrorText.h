// The system's words for an errno value, for the detail of a transfer failure.
// Plain C library; no device headers.
#pragma once

#include <string>

namespace devicelink::platform {

// The system's message for the error number, e.g. "Permission denied".
std::string errorText(int error);

}  // namespace devicelink::platform
