// The tool folder beside the program and the programs in it.

#include <windows.h>

#include <vector>

#include "devicelink/LinkPlatform.h"
#include "devicelink/ToolOrder.h"
#include "platform/FileSystem.h"
#include "widetext/win32/WideText.h"

namespace devicelink::platform {

using widetext::toUtf8;
using widetext::toWide;

namespace {

bool endsWithExe(const std::wstring& name) {
    if (name.size() < 4) {
        return false;
    }
    return ::CompareStringOrdinal(name.c_str() + name.size() - 4, 4, L".exe", 4, TRUE) ==
           CSTR_EQUAL;
}

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace

std::string defaultToolFolder() {
    const std::string folder = cocos2d::filesystem::executableDirectory();
    return folder.empty() ? std::string() : folder + "\\exe";
}

std::vector<ToolRecord> listExecutableFiles(const std::string& folder) {
    std::vector<ToolRecord> tools;
    if (folder.empty()) {
        return tools;
    }
    const std::string prefix = isSeparator(folder.back()) ? folder : folder + "\\";
    const std::wstring pattern = toWide(prefix) + L"*.exe";
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return tools;
    }
    do {
        const std::wstring name = found.cFileName;
        // The pattern also matches through short names ("setup.exe1" is SETUP~1.EXE), and
        // a folder named like a program cannot be started.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !endsWithExe(name)) {
            continue;
        }
        const std::string narrow = toUtf8(name);
        tools.push_back({narrow, prefix + narrow});
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    sortToolsByName(tools);
    return tools;
}

}  // namespace devicelink::platform
