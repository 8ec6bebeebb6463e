#include "TempFolder.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

TempFolder::TempFolder() {
    char pattern[] = "/tmp/zc-devicelink-XXXXXX";
    if (::mkdtemp(pattern) != nullptr)
        _path = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    if (!_path.empty())
        std::filesystem::remove_all(_path, ignored);
}

std::string TempFolder::write(const std::string& name, const std::string& content,
                              unsigned mode) const {
    const std::string target = file(name);
    std::ofstream(target, std::ios::binary | std::ios::trunc) << content;
    ::chmod(target.c_str(), mode);
    return target;
}

std::string TempFolder::read(const std::string& path) {
    std::ostringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    return content.str();
}
