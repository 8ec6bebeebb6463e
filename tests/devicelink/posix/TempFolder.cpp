#include "TempFolder.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <vector>

TempFolder::TempFolder() {
    std::string pattern = "/tmp/zc-devicelink-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) != nullptr) {
        _path = buffer.data();
    }
}

TempFolder::~TempFolder() {
    if (!_path.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(_path, ignored);
    }
}

std::string TempFolder::write(const std::string& name, const std::string& content,
                              unsigned mode) const {
    const std::string target = file(name);
    {
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out << content;
    }
    ::chmod(target.c_str(), mode);
    return target;
}

std::string TempFolder::read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string content;
    char block[4096];
    while (in.read(block, sizeof block) || in.gcount() > 0)
        content.append(block, static_cast<size_t>(in.gcount()));
    return content;
}
