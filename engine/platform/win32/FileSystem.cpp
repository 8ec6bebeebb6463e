#include "platform/FileSystem.h"

#include <windows.h>

#include <vector>

#include "widetext/win32/WideText.h"

namespace cocos2d {
namespace filesystem {

bool isRegularFile(const std::string& path) {
    DWORD attributes = GetFileAttributesW(widetext::toWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string executableDirectory() {
    // The path may be longer than MAX_PATH: grow until it fits rather than cut it short.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::string();
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        if (buffer.size() >= 32768)
            return std::string();
        buffer.resize(buffer.size() * 2);
    }
    std::size_t separator = buffer.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::string()
                                           : widetext::toUtf8(buffer.substr(0, separator));
}

bool isAbsolutePath(const std::string& path) {
    // C:\..., C:/..., \\server\share and \rooted paths.
    if (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/'))
        return true;
    return !path.empty() && (path.front() == '\\' || path.front() == '/');
}

}  // namespace filesystem
}  // namespace cocos2d
