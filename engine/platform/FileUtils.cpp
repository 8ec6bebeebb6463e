#include "platform/FileUtils.h"

#include "platform/FileSystem.h"

NS_CC_BEGIN

FileUtils* FileUtils::getInstance() {
    static FileUtils instance;
    return &instance;
}

FileUtils::FileUtils() : _executableDirectory(filesystem::executableDirectory()) {}

std::vector<std::string> FileUtils::placesFor(const std::string& filename) const {
    if (filename.empty()) {
        return {};
    }
    if (filesystem::isAbsolutePath(filename)) {
        return {filename};
    }
    std::vector<std::string> places;
    if (!_executableDirectory.empty()) {
        places.push_back(_executableDirectory + "/" + filename);
    }
    // The current directory is read each time: tests and tools may change it.
    std::string cwd = filesystem::currentDirectory();
    std::string inCwd = cwd + "/" + filename;
    if (places.empty() || places.front() != inCwd) {
        places.push_back(inCwd);
    }
    return places;
}

std::string FileUtils::fullPathForFilename(const std::string& filename) const {
    for (const std::string& place : placesFor(filename)) {
        if (filesystem::isRegularFile(place)) {
            return place;
        }
    }
    return std::string();
}

bool FileUtils::isFileExist(const std::string& filename) const {
    return !fullPathForFilename(filename).empty();
}

NS_CC_END
