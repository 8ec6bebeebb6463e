// A fresh folder below /tmp for one test, removed with everything in it at the end.
#pragma once

#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return _path; }
    // Path of a name inside the folder.
    std::string file(const std::string& name) const { return _path + "/" + name; }
    // Writes a file inside the folder with the given permission bits; returns its path.
    std::string write(const std::string& name, const std::string& content, unsigned mode) const;
    // Reads a whole file; empty when it does not exist.
    static std::string read(const std::string& path);

private:
    std::string _path;
};
