#include "platform/FileSystem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <vector>

namespace cocos2d {
namespace filesystem {

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string executableDirectory() {
    std::vector<char> buffer(1024);
    std::string exe;
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length <= 0) {
            return std::string();
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            exe.assign(buffer.data(), static_cast<std::size_t>(length));
            break;
        }
        // Possibly cut off: try again with more room.
        buffer.resize(buffer.size() * 2);
    }
    std::size_t slash = exe.find_last_of('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

bool isAbsolutePath(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

}  // namespace filesystem
}  // namespace cocos2d
