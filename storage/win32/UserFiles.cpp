// The user's files on Windows: the roaming application data folder, files replaced whole
// through a temporary beside them, and the folder shown by the shell. Paths are UTF-8 at
// the interface and wide at every system call.
#include "storage/UserFiles.h"

#include <windows.h>
// After windows.h, whose types they use.
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "widetext/win32/WideText.h"

namespace userfiles {

namespace {

using widetext::systemMessage;
using widetext::toUtf8;
using widetext::toWide;

// The words for a failure to write in `folder`, plain for the two a user can act on.
std::string writeReason(DWORD error, const std::string& folder) {
    switch (error) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return kDiskFull;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return cannotWrite(folder);
        default:
            return systemMessage(error);
    }
}

// The words for a file that cannot be read: the system's own only where no plain ones fit.
std::string readReason(DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:
            return "you may not read it";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return "another program is using it";
        case ERROR_CRC:
        case ERROR_READ_FAULT:
            return "the disk could not read it";
        default:
            return systemMessage(error);
    }
}

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string parentOf(const std::string& path) {
    const auto separator = path.find_last_of("\\/");
    return separator == std::string::npos ? "." : path.substr(0, separator);
}

class Handle {
public:
    explicit Handle(HANDLE handle) : _handle(handle) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return _handle; }
    bool valid() const { return _handle != INVALID_HANDLE_VALUE; }
    bool close() {
        const HANDLE handle = _handle;
        _handle = INVALID_HANDLE_VALUE;
        return handle == INVALID_HANDLE_VALUE || ::CloseHandle(handle) != 0;
    }

private:
    HANDLE _handle;
};

bool isFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(toWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Where the folders of a path begin: past "C:\" or past "\\server\share\".
std::size_t firstFolderAt(const std::string& path) {
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        std::size_t at = path.find_first_of("\\/", 2);
        at = at == std::string::npos ? at : path.find_first_of("\\/", at + 1);
        return at == std::string::npos ? path.size() : at + 1;
    }
    if (path.size() >= 2 && path[1] == ':') {
        return path.size() >= 3 && isSeparator(path[2]) ? 3 : 2;
    }
    return isSeparator(path.empty() ? '\0' : path[0]) ? 1 : 0;
}

}  // namespace

std::string programsFolder(std::string& error) {
    const std::string data = dataFolder(error);
    return data.empty() ? data : join(data, "programs");
}

std::string dataFolder(std::string& error) {
    // %APPDATA% names the same folder unless whoever set up the account moved it, as a
    // roaming profile or a test's own folder does.
    if (const wchar_t* named = ::_wgetenv(L"APPDATA"); named != nullptr && named[0] != L'\0') {
        return join(toUtf8(named), "ZundleCards");
    }
    PWSTR found = nullptr;
    const HRESULT result = ::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &found);
    const std::string data = SUCCEEDED(result) && found != nullptr ? toUtf8(found) : std::string();
    ::CoTaskMemFree(found);
    if (data.empty()) {
        error = "the system does not tell where the application data folder is";
        return {};
    }
    return join(data, "ZundleCards");
}

bool makeFolder(const std::string& folder, std::string& error) {
    if (isFolder(folder)) {
        return true;
    }
    std::size_t end = firstFolderAt(folder);
    while (end < folder.size()) {
        end = folder.find_first_of("\\/", end + 1);
        const std::string part = folder.substr(0, end);
        if (!::CreateDirectoryW(toWide(part).c_str(), nullptr)) {
            const DWORD failure = ::GetLastError();
            if (failure != ERROR_ALREADY_EXISTS) {
                error = failure == ERROR_PATH_NOT_FOUND || failure == ERROR_DIRECTORY
                            ? "the folder " + part + " cannot be made there"
                            : writeReason(failure, parentOf(part));
                return false;
            }
        }
    }
    if (!isFolder(folder)) {
        error = "the folder " + folder + " cannot be made there";
        return false;
    }
    return true;
}

std::string join(const std::string& folder, const std::string& name) {
    if (folder.empty() || isSeparator(folder.back())) {
        return folder + name;
    }
    return folder + '\\' + name;
}

std::optional<std::string> readWhole(const std::string& path, std::size_t maxBytes, bool& missing,
                                     std::string& error) {
    missing = false;
    // A folder opens as nothing a user would call a file; say so instead of "access denied".
    const DWORD attributes = ::GetFileAttributesW(toWide(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = kNotAFile;
        return std::nullopt;
    }
    Handle file(::CreateFileW(toWide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD failure = ::GetLastError();
        missing = failure == ERROR_FILE_NOT_FOUND || failure == ERROR_PATH_NOT_FOUND;
        error = readReason(failure);
        return std::nullopt;
    }
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
        error = kNotAFile;
        return std::nullopt;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) {
        error = systemMessage(::GetLastError());
        return std::nullopt;
    }
    if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        error = kFileTooBig;
        return std::nullopt;
    }
    std::string text;
    char chunk[65536];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr)) {
            error = systemMessage(::GetLastError());
            return std::nullopt;
        }
        if (got == 0) {
            return text;
        }
        text.append(chunk, got);
        // The file may have grown since it was measured.
        if (text.size() > maxBytes) {
            error = kFileTooBig;
            return std::nullopt;
        }
    }
}

bool replaceAtomically(const std::string& path, const std::string& text, std::string& error) {
    static std::atomic<unsigned> s_counter{0};
    const std::string folder = parentOf(path);
    const std::string prefix =
        join(folder, temporaryPrefix(path.substr(path.find_last_of("\\/") + 1), currentProcess()));
    std::wstring temporary;
    HANDLE opened = INVALID_HANDLE_VALUE;
    DWORD failure = ERROR_SUCCESS;
    // A name left by an earlier run that ended mid-write is passed over.
    for (int attempt = 0; attempt < 100 && opened == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = toWide(prefix + std::to_string(s_counter++));
        opened = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        failure = opened == INVALID_HANDLE_VALUE ? ::GetLastError() : ERROR_SUCCESS;
        if (failure != ERROR_SUCCESS && failure != ERROR_FILE_EXISTS) {
            break;
        }
    }
    if (opened == INVALID_HANDLE_VALUE) {
        error = writeReason(failure, folder);
        return false;
    }
    Handle file(opened);
    std::size_t done = 0;
    while (failure == ERROR_SUCCESS && done < text.size()) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file.get(), text.data() + done, piece, &written, nullptr)) {
            failure = ::GetLastError();
        }
        done += written;
    }
    if (failure == ERROR_SUCCESS && !::FlushFileBuffers(file.get())) {
        failure = ::GetLastError();
    }
    if (!file.close() && failure == ERROR_SUCCESS) {
        failure = ::GetLastError();
    }
    if (failure == ERROR_SUCCESS &&
        !::MoveFileExW(temporary.c_str(), toWide(path).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        failure = ::GetLastError();
    }
    if (failure != ERROR_SUCCESS) {
        ::DeleteFileW(temporary.c_str());
        error = failure == ERROR_ACCESS_DENIED && isFolder(path)
                    ? std::string("a folder of that name is in the way")
                    : writeReason(failure, folder);
        return false;
    }
    return true;
}

std::optional<std::time_t> modifiedAt(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(toWide(path).c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    // 100-nanosecond steps since 1601 to seconds since 1970.
    ULARGE_INTEGER time{};
    time.LowPart = data.ftLastWriteTime.dwLowDateTime;
    time.HighPart = data.ftLastWriteTime.dwHighDateTime;
    constexpr unsigned long long kStepsPerSecond = 10000000ULL;
    constexpr unsigned long long kSecondsFrom1601To1970 = 11644473600ULL;
    return static_cast<std::time_t>(time.QuadPart / kStepsPerSecond - kSecondsFrom1601To1970);
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(toWide(join(folder, "*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::string name = toUtf8(found.cFileName);
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

bool removeFile(const std::string& path) {
    return ::DeleteFileW(toWide(path).c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool moveOver(const std::string& from, const std::string& to) {
    return ::MoveFileExW(toWide(from).c_str(), toWide(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

long currentProcess() {
    return static_cast<long>(::GetCurrentProcessId());
}

bool processRuns(long process) {
    const HANDLE handle =
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(process));
    if (handle == nullptr) {
        // Another user's process cannot be opened, but it runs.
        return ::GetLastError() == ERROR_ACCESS_DENIED;
    }
    DWORD code = 0;
    const bool running = ::GetExitCodeProcess(handle, &code) && code == STILL_ACTIVE;
    ::CloseHandle(handle);
    return running;
}

bool openInFileManager(const std::string& folder, std::string& error) {
    // The shell may hand the folder to an extension that needs COM on this thread.
    const HRESULT com =
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", toWide(folder).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    const DWORD failure = ::GetLastError();
    if (SUCCEEDED(com)) {
        ::CoUninitialize();
    }
    // Values up to 32 are errors.
    if (result <= 32) {
        error = "the folder could not be shown: " + systemMessage(failure);
        return false;
    }
    return true;
}

}  // namespace userfiles
