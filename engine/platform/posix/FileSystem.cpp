#include "platform/FileSystem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

namespace cocos2d {
namespace filesystem {

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

std::string executableDirectory() {
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) {
        return std::string();
    }
    std::string exe(buffer, static_cast<std::size_t>(length));
    std::size_t slash = exe.find_last_of('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

bool isAbsolutePath(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

}  // namespace filesystem
}  // namespace cocos2d
