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
    // Never the current folder: a picture planted where the program happens to be started
    // must not stand in for its own.
    if (_executableDirectory.empty()) {
        return {};
    }
    return {_executableDirectory + "/" + filename};
}

std::string FileUtils::fullPathForFilename(const std::string& filename) const {
    for (const std::string& place : placesFor(filename)) {
        if (filesystem::isRegularFile(place)) {
            return place;
        }
    }
    return std::string();
}

NS_CC_END
