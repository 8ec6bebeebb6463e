// The tool folder beside the program and its executable files, in the order people
// expect of names.

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "devicelink/LinkPlatform.h"
#include "devicelink/ToolOrder.h"
#include "platform/FileSystem.h"

namespace devicelink::platform {

namespace {

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string defaultToolFolder() {
    const std::string folder = cocos2d::filesystem::executableDirectory();
    return folder.empty() ? std::string() : folder + "/exe";
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
