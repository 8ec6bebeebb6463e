// Font family names to font files of the Windows fonts folder. Every family the program
// asks for ("Helvetica") is a plain sans-serif: Arial where it is installed, else Segoe UI.
#include <shlobj.h>
#include <windows.h>

#include <mutex>
#include <string>

#include "platform/Backend.h"
#include "platform/FileSystem.h"
#include "platform/win32/WideText.h"

namespace cocos2d {
namespace backend {
namespace {

std::string fontsFolder() {
    PWSTR path = nullptr;
    std::string folder;
    if (SHGetKnownFolderPath(FOLDERID_Fonts, 0, nullptr, &path) == S_OK)
        folder = win32::toUtf8(path);
    CoTaskMemFree(path);
    if (!folder.empty())
        return folder;
    wchar_t windows[MAX_PATH];
    UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    return win32::toUtf8(std::wstring(windows, length)) + "\\Fonts";
}

std::string findSansSerif() {
    const std::string folder = fontsFolder();
    if (folder.empty())
        return std::string();
    for (const char* file : {"arial.ttf", "segoeui.ttf"}) {
        std::string path = folder + "\\" + file;
        if (filesystem::isRegularFile(path))
            return path;
    }
    return std::string();
}

}  // namespace

std::string resolveFontFile(const std::string& /*family*/) {
    static std::once_flag once;
    static std::string file;
    std::call_once(once, [] { file = findSansSerif(); });
    return file;
}

}  // namespace backend
}  // namespace cocos2d
