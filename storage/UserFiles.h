// The platform's file operations the shelf needs, one implementation per system
// (posix/, win32/). Paths are UTF-8.
#pragma once

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "lang/Translate.h"

namespace userfiles {

// Reasons the shelf tells apart from the system's own words, to say what to do.
inline constexpr const char* kDiskFull = lang::mark("the disk is full");
inline constexpr const char* kFileTooBig = lang::mark("the file is too big");
// A folder, a socket or a device lies where a program file should be.
inline constexpr const char* kNotAFile = lang::mark("it is not a file");
// The reason for a folder this user may not write in.
inline std::string cannotWrite(const std::string& folder) {
    return lang::fill(lang::tr("the folder {folder} cannot be written"), {{"folder", folder}});
}

// The folder for the user's programs ($XDG_DATA_HOME/zundlecards/programs, default
// ~/.local/share/zundlecards/programs; %APPDATA%\ZundleCards\programs); empty with a reason
// in `error` when the system does not say where.
std::string programsFolder(std::string& error);
// The user's data folder of this program, which holds the programs folder and the small
// files beside it ($XDG_DATA_HOME/zundlecards; %APPDATA%\ZundleCards); empty with a reason
// in `error` when the system does not say where.
std::string dataFolder(std::string& error);
// `folder` when a caller (a test) names one, else the data folder.
inline std::string folderOrData(const std::string& folder, std::string& error) {
    return folder.empty() ? dataFolder(error) : folder;
}
// Makes the folder and its parents as needed; false with the system's reason.
bool makeFolder(const std::string& folder, std::string& error);
// `folder` joined with a file name by the system's separator.
std::string join(const std::string& folder, const std::string& name);
// The whole file, refused past maxBytes (kFileTooBig); none with the reason when it cannot
// be read; `missing` tells that there is no such file.
std::optional<std::string> readWhole(const std::string& path, std::size_t maxBytes, bool& missing,
                                     std::string& error);
// Writes a temporary file in the target's folder, flushes it to the disk, renames it over
// the target; false with the system's reason, the target untouched, no temporary left.
bool replaceAtomically(const std::string& path, const std::string& text, std::string& error);
// When the file was last written; none when there is no file.
std::optional<std::time_t> modifiedAt(const std::string& path);
// The names in the folder (no "." or ".."); empty when it cannot be read.
std::vector<std::string> namesIn(const std::string& folder);
// Removes a file; false when it is still there.
bool removeFile(const std::string& path);
// Renames a file over another in the same folder, flushed to the disk.
bool moveOver(const std::string& from, const std::string& to);
// This process's number, and whether a process of that number runs now.
long currentProcess();
bool processRuns(long process);

// The temporary that replaceAtomically writes for a file: hidden, named after the file and
// the process that writes it, so that a later start can tell whose it was.
inline std::string temporaryPrefix(const std::string& name, long process) {
    return "." + name + ".tmp-" + std::to_string(process) + "-";
}
// The file a temporary's name belongs to and the process that wrote it; false for any
// other name.
inline bool parseTemporaryName(const std::string& name, std::string& target, long& process) {
    const std::size_t mark = name.rfind(".tmp-");
    if (name.size() < 2 || name[0] != '.' || mark == std::string::npos || mark < 2) {
        return false;
    }
    const std::string tail = name.substr(mark + 5);
    const std::size_t dash = tail.find('-');
    const auto digits = [](const std::string& part) {
        return !part.empty() && part.size() < 10 &&
               part.find_first_not_of("0123456789") == std::string::npos;
    };
    if (dash == std::string::npos || !digits(tail.substr(0, dash)) ||
        !digits(tail.substr(dash + 1))) {
        return false;
    }
    target = name.substr(1, mark - 1);
    process = std::stol(tail.substr(0, dash));
    return true;
}
// Opens the folder in the system's file manager, without waiting for it.
bool openInFileManager(const std::string& folder, std::string& error);

}  // namespace userfiles
