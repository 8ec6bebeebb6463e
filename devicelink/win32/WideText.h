// Text between the system's wide strings and the link's narrow ones, which are UTF-8 so
// that no port, device or file name is mangled, and the system's words for an error code.
// Win32 only; no device or process calls.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace devicelink::platform {

// The UTF-8 text as a wide string; bytes that are not UTF-8 become U+FFFD.
std::wstring toWide(const std::string& utf8);

// The wide text as UTF-8, up to its first zero character or `length`, whichever comes
// first (registry and device properties may or may not end in one).
std::string toUtf8(const wchar_t* text, std::size_t length);

// The whole wide string as UTF-8.
std::string toUtf8(const std::wstring& text);

// The system's message for an error code, e.g. "Access denied.", on one line and
// without the final full stop; the code in figures when the system has no text for it.
std::string systemMessage(DWORD error);

}  // namespace devicelink::platform
