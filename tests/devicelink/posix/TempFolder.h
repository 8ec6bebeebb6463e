// A fresh folder below /tmp for one test, removed with everything in it at the end.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/zc-devicelink-XXXXXX";
        if (::mkdtemp(pattern) != nullptr)
            _path = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;  // an empty path: nothing was made
        std::filesystem::remove_all(_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return _path; }
    std::string file(const std::string& name) const { return _path + "/" + name; }
    // Writes a file inside the folder with the given permission bits; returns its path.
    std::string write(const std::string& name, const std::string& content, unsigned mode) const {
        const std::string target = file(name);
        std::ofstream(target, std::ios::binary | std::ios::trunc) << content;
        ::chmod(target.c_str(), mode);
        return target;
    }
    // Reads a whole file; empty when it does not exist.
    static std::string read(const std::string& path) {
        std::ostringstream content;
        content << std::ifstream(path, std::ios::binary).rdbuf();
        return content.str();
    }

private:
    std::string _path;
};
