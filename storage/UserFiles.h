// The platform's file operations the shelf needs, one implementation per system
// (posix/, win32/). Paths are UTF-8.
#pragma once

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>

namespace userfiles {

// Reasons the shelf tells apart from the system's own words, to say what to do.
inline constexpr char kDiskFull[] = "the disk is full";
inline constexpr char kFileTooBig[] = "the file is too big";
// The reason for a folder this user may not write in.
inline std::string cannotWrite(const std::string& folder) {
    return "the folder " + folder + " cannot be written";
}

// The folder for the user's programs ($XDG_DATA_HOME/zundlecards/programs, default
// ~/.local/share/zundlecards/programs; %APPDATA%\ZundleCards\programs); empty with a reason
// in `error` when the system does not say where.
std::string programsFolder(std::string& error);
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
// Opens the folder in the system's file manager, without waiting for it.
bool openInFileManager(const std::string& folder, std::string& error);

}  // namespace userfiles
