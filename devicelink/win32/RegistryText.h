// Wide strings as the registry and the device properties hand them over: a byte count
// that may or may not take in a final zero character. Win32 only; no registry calls.
#pragma once

#include <cstddef>
#include <string>

namespace devicelink::platform {

// The text as UTF-8, up to its first zero character or `length` characters, whichever
// comes first.
std::string registryText(const wchar_t* text, std::size_t length);

}  // namespace devicelink::platform
