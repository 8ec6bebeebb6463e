// A fresh folder below the system's temporary folder for one Windows test, with copies
// of the stand-in tool that lives beside the suite; removed with everything in it.
#pragma once

#include <string>

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder's path, UTF-8, without a final separator.
    const std::string& path() const { return _path; }
    // Path of a name inside the folder.
    std::string file(const std::string& name) const { return _path + "\\" + name; }
    // Copies the stand-in tool to a name inside the folder (folders made as needed).
    std::string placeTool(const std::string& name) const;
    // Writes a file inside the folder; returns its path.
    std::string write(const std::string& name, const std::string& content) const;
    // Reads a whole file; empty when it does not exist.
    static std::string read(const std::string& path);
    // Whether a file or folder exists.
    static bool exists(const std::string& path);

private:
    std::string _path;
};
