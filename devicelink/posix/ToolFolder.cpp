// The tool folder beside the program (through /proc/self/exe) and its executable files,
// in the order people expect of names.

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "devicelink/LinkPlatform.h"
#include "devicelink/ToolOrder.h"

namespace devicelink::platform {

namespace {

std::string programPath() {
    std::vector<char> buffer(1024);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return "";
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        }
        // Possibly cut off: try again with more room.
        buffer.resize(buffer.size() * 2);
    }
}

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string defaultToolFolder() {
    const std::string program = programPath();
    const std::size_t slash = program.rfind('/');
    if (slash == std::string::npos) {
        return "";
    }
    return program.substr(0, slash) + "/exe";
}

std::vector<ToolRecord> listExecutableFiles(const std::string& folder) {
    std::vector<ToolRecord> tools;
    DIR* directory = ::opendir(folder.c_str());
    if (directory == nullptr) {
        return tools;
    }
    const std::string prefix = folder.back() == '/' ? folder : folder + "/";
    while (const dirent* item = ::readdir(directory)) {
        const std::string name = item->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        std::string path = prefix + name;
        if (isExecutableFile(path)) {
            tools.push_back({name, std::move(path)});
        }
    }
    ::closedir(directory);
    sortToolsByName(tools);
    return tools;
}

}  // namespace devicelink::platform
