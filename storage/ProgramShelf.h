// The shelf: twelve places for programs and the last work, each one file in the user's
// data folder, and the file operations on them. Every write goes to a temporary file in
// the same folder, flushed, then renamed over the old one, so a failure never damages a
// saved program. Depends on ProgramFile and the platform's file operations (UserFiles.h).
#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "storage/ProgramFile.h"

class ProgramShelf {
public:
    static constexpr int kPlaceCount = 12;

    // folder: where the files lie; empty means the platform's data folder for programs
    // ($XDG_DATA_HOME/zundlecards/programs, %APPDATA%\ZundleCards\programs).
    explicit ProgramShelf(const CatalogueSize& catalogue, std::string folder = {});

    // The folder of the files (made on the first write, not before).
    const std::string& folder() const { return _folder; }
    // The file of place 0..11, and of the last work.
    std::string placePath(int place) const;
    std::string lastWorkPath() const;

    struct Entry {
        // A readable program lies there.
        std::optional<FieldContents> contents;
        // When it was written (seconds since the epoch), when there is a file.
        std::optional<std::time_t> savedAt;
        // A file that is there but cannot be read: what is wrong and what to do.
        std::string problem;
    };
    // What lies in a place, or in the last work; an empty Entry when there is no file.
    Entry readPlace(int place) const;
    Entry readLastWork() const;

    // Writes the contents into a place or the last work; false with a notice naming the file
    // and what to do in `problem` when the folder cannot be made or written, or the disk
    // is full. The old file stays as it was on any failure.
    bool savePlace(int place, const FieldContents& contents, std::string& problem) const;
    bool saveLastWork(const FieldContents& contents, std::string& problem) const;

    // Reads any program file (a dropped one); none with a notice naming the file and what
    // to do in `problem`.
    std::optional<FieldContents> readFile(const std::string& path, std::string& problem) const;

    // Opens the folder in the system's file manager (making it first); false with a notice
    // in `problem`.
    bool showFolder(std::string& problem) const;

private:
    // The file's entry; a problem opens with `opening` and the file's name, ends with `advice`.
    Entry readEntry(const std::string& path, const char* opening, const char* advice) const;
    bool saveFile(const std::string& path, const FieldContents& contents,
                  std::string& problem) const;

    CatalogueSize _catalogue;
    std::string _folder;
    // Why there is no folder, when the system did not say where it is.
    std::string _folderProblem;
};
