// The system's language and the catalogue files on Windows: the user's interface
// language, and wide-character file names so a folder with any name is read.
#include <windows.h>

#include <cstdlib>

#include "lang/Languages.h"
#include "widetext/win32/WideText.h"

namespace lang {

using widetext::toUtf8;
using widetext::toWide;

std::vector<std::string> systemWishes() {
    // The language the workspace passes to the programs it starts comes first.
    std::vector<std::string> wishes;
    const wchar_t* passed = _wgetenv(toWide(kPassedVariable).c_str());
    if (passed != nullptr && *passed != L'\0') {
        wishes.push_back(toUtf8(passed));
    }
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name,
                         LOCALE_NAME_MAX_LENGTH, 0) > 0) {
        wishes.push_back(toUtf8(name));
    }
    return wishes;
}

std::string catalogueFolder(const std::string& programFolder) {
    const std::string own = programFolder + "/locale";
    const DWORD kind = GetFileAttributesW(toWide(own).c_str());
    if (kind != INVALID_FILE_ATTRIBUTES && (kind & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return own;
    }
    return programFolder + "/../locale";
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(toWide(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.push_back(toUtf8(found.cFileName));
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

bool readFile(const std::string& path, std::string& bytes, std::string& error) {
    HANDLE file = CreateFileW(toWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "the file cannot be opened";
        return false;
    }
    std::string whole;
    char block[16384];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, block, sizeof block, &got, nullptr) != 0) && got > 0) {
        whole.append(block, got);
    }
    CloseHandle(file);
    if (!ok) {
        error = "the file cannot be read";
        return false;
    }
    bytes = std::move(whole);
    return true;
}

void passToChildren(const std::string& code) {
    // The CRT's copy and the process's block both: children get the block.
    _wputenv_s(toWide(kPassedVariable).c_str(), toWide(code).c_str());
}

}  // namespace lang
