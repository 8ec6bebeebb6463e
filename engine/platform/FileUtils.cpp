#include "platform/FileUtils.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

NS_CC_BEGIN

namespace {

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string currentDirectory() {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) == nullptr) {
        return ".";
    }
    return buffer;
}

}  // namespace

FileUtils* FileUtils::getInstance() {
    static FileUtils instance;
    return &instance;
}

FileUtils::FileUtils() {
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length > 0) {
        std::string exe(buffer, static_cast<std::size_t>(length));
        std::size_t slash = exe.find_last_of('/');
        _executableDirectory = slash == std::string::npos ? std::string() : exe.substr(0, slash);
    }
}

std::vector<std::string> FileUtils::placesFor(const std::string& filename) const {
    if (filename.empty()) {
        return {};
    }
    if (filename.front() == '/') {
        return {filename};
    }
    std::vector<std::string> places;
    if (!_executableDirectory.empty()) {
        places.push_back(_executableDirectory + "/" + filename);
    }
    // The current directory is read each time: tests and tools may change it.
    std::string cwd = currentDirectory();
    std::string inCwd = cwd + "/" + filename;
    if (places.empty() || places.front() != inCwd) {
        places.push_back(inCwd);
    }
    return places;
}

std::string FileUtils::fullPathForFilename(const std::string& filename) const {
    for (const std::string& place : placesFor(filename)) {
        if (isRegularFile(place)) {
            return place;
        }
    }
    return std::string();
}

bool FileUtils::isFileExist(const std::string& filename) const {
    return !fullPathForFilename(filename).empty();
}

NS_CC_END
