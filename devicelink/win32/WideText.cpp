#include "devicelink/win32/WideText.h"

#include <climits>
#include <vector>

namespace devicelink::platform {

std::wstring toWide(const std::string& utf8) {
    if (utf8.empty() || utf8.size() > static_cast<std::size_t>(INT_MAX)) {
        return L"";
    }
    const int size = static_cast<int>(utf8.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (length <= 0) {
        return L"";
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string toUtf8(const wchar_t* text, std::size_t length) {
    std::size_t used = 0;
    while (used < length && text[used] != L'\0') {
        ++used;
    }
    if (used == 0 || used > static_cast<std::size_t>(INT_MAX)) {
        return "";
    }
    const int size = static_cast<int>(used);
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return "";
    }
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, size, narrow.data(), bytes, nullptr, nullptr);
    return narrow;
}

std::string toUtf8(const std::wstring& text) {
    return toUtf8(text.data(), text.size());
}

std::string systemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                             FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                         nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text;
    if (buffer != nullptr) {
        text = toUtf8(buffer, length);
        ::LocalFree(buffer);
    }
    // The message is shown inside a sentence of our own, in brackets.
    while (!text.empty() && (text.back() == ' ' || text.back() == '.' || text.back() == '\r' ||
                             text.back() == '\n')) {
        text.pop_back();
    }
    return text.empty() ? "error " + std::to_string(error) : text;
}

}  // namespace devicelink::platform
