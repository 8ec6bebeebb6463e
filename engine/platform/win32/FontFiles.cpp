// Font family names to font files of the Windows fonts folder. Every family the program
// asks for ("Helvetica") is a plain sans-serif: Arial where it is installed, else Segoe UI;
// ":bold" after the name asks for its bold face. Japanese comes from the font the installer
// carries.
#include <shlobj.h>
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "platform/Backend.h"
#include "platform/FileSystem.h"
#include "widetext/win32/WideText.h"

namespace cocos2d {
namespace backend {
namespace {

std::string fontsFolder() {
    PWSTR path = nullptr;
    std::string folder;
    if (SHGetKnownFolderPath(FOLDERID_Fonts, 0, nullptr, &path) == S_OK)
        folder = widetext::toUtf8(path);
    CoTaskMemFree(path);
    if (!folder.empty())
        return folder;
    wchar_t windows[MAX_PATH];
    UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    return widetext::toUtf8(std::wstring(windows, length)) + "\\Fonts";
}

std::string findSansSerif(bool bold) {
    const std::string folder = fontsFolder();
    if (folder.empty())
        return std::string();
    static const std::vector<const char*> kRegular = {"arial.ttf", "segoeui.ttf"};
    static const std::vector<const char*> kBold = {"arialbd.ttf", "segoeuib.ttf", "arial.ttf",
                                                   "segoeui.ttf"};
    for (const char* file : bold ? kBold : kRegular) {
        std::string path = folder + "\\" + file;
        if (filesystem::isRegularFile(path))
            return path;
    }
    return std::string();
}

// The Japanese font the installer carries beside the program (the one above it for the
// simulator, which runs from exe\), else one of Windows' own.
std::string findJapanese() {
    const std::string folder = filesystem::executableDirectory();
    for (const std::string& carried :
         {folder + "\\fonts\\ipag.ttf", folder + "\\..\\fonts\\ipag.ttf"}) {
        if (filesystem::isRegularFile(carried))
            return carried;
    }
    const std::string fonts = fontsFolder();
    if (fonts.empty())
        return std::string();
    for (const char* file : {"YuGothR.ttc", "meiryo.ttc", "msgothic.ttc"}) {
        std::string path = fonts + "\\" + file;
        if (filesystem::isRegularFile(path))
            return path;
    }
    return std::string();
}

}  // namespace

std::string resolveWideFontFile() {
    static std::once_flag once;
    static std::string file;
    std::call_once(once, [] { file = findJapanese(); });
    return file;
}

std::string resolveFontFile(const std::string& family) {
    // "Helvetica:bold" asks for the bold face, as fontconfig names do on Linux.
    static std::once_flag once;
    static std::string regular, bold;
    std::call_once(once, [] {
        regular = findSansSerif(false);
        bold = findSansSerif(true);
    });
    return family.size() >= 5 && family.compare(family.size() - 5, 5, ":bold") == 0 ? bold
                                                                                    : regular;
}

}  // namespace backend
}  // namespace cocos2d
