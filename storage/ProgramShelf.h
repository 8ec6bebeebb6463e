// The shelf: twelve places for programs and the works of recent runs, each one file in the
// user's data folder, and the file operations on them. Every run keeps its own work in a
// file of its own, so that no run (nor a second window) replaces another's. Every write goes
// to a temporary file in the same folder, flushed, then renamed over the old one, on a
// background writer so that a slow disk never holds a frame. Depends on ProgramFile,
// BackgroundWriter and the platform's file operations (UserFiles.h).
#pragma once

#include <chrono>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "storage/BackgroundWriter.h"
#include "storage/ProgramFile.h"

class ProgramShelf {
public:
    static constexpr int kPlaceCount = 12;
    // The works of this many recent runs are shown; older ones stay until more than
    // kKeptWorks are kept.
    static constexpr int kShownWorks = 5;
    static constexpr int kKeptWorks = 10;

    // folder: where the files lie; empty means the platform's data folder for programs
    // ($XDG_DATA_HOME/zundlecards/programs, %APPDATA%\ZundleCards\programs).
    // write: how the background writer writes a file; empty means makeFolder and
    // replaceAtomically (tests slow it down).
    explicit ProgramShelf(const CatalogueSize& catalogue, std::string folder = {},
                          BackgroundWriter::Write write = {});
    ~ProgramShelf();

    // The folder of the files (made on the first write, not before).
    const std::string& folder() const { return _folder; }
    // The file of place 0..11, and of this run's own work.
    std::string placePath(int place) const;
    const std::string& ownWorkPath() const { return _ownWork; }

    struct Entry {
        // A readable program lies there.
        std::optional<FieldContents> contents;
        // When it was written (seconds since the epoch), when there is a file.
        std::optional<std::time_t> savedAt;
        // A file that is there but cannot be read: what is wrong and what to do.
        std::string problem;
        // Something other than a file (a folder, a socket) lies there.
        bool notAFile = false;
    };
    // What lies in a place; an empty Entry when there is no file.
    Entry readPlace(int place) const;
    // This run's own work as it was last written.
    Entry readOwnWork() const;
    struct Work {
        std::string path;
        Entry entry;
    };
    // The works other runs kept, newest first, at most kShownWorks.
    std::vector<Work> recentWorks() const;

    // Start: a temporary left by a run that ended mid-write replaces its file when it is
    // whole and newer; any other is removed. Temporaries of runs still going are left.
    void recoverTemporaries() const;

    // Writes the contents now, into a place or this run's work; false with a notice naming
    // the file and what to do in `problem`. The old file stays as it was on any failure.
    bool savePlace(int place, const FieldContents& contents, std::string& problem) const;
    bool saveOwnWork(const FieldContents& contents, std::string& problem) const;

    // The same through the background writer: returns the request's ticket at once; its
    // answer comes from takeFinished().
    unsigned long keepOwnWork(const FieldContents& contents);
    unsigned long keepInPlace(int place, const FieldContents& contents);
    struct Finished {
        unsigned long ticket = 0;
        bool written = false;
        // The notice for a failed write, naming the file and what to do.
        std::string problem;
    };
    std::vector<Finished> takeFinished();
    // Whether a write is waiting, under way, or its answer not taken yet.
    bool writing() const;
    // Waits for the writes asked so far; false when the limit came first.
    bool waitForWrites(std::chrono::milliseconds limit);

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
    // Every run's work in the folder (this run's included), newest first.
    std::vector<std::string> worksNewestFirst() const;

    CatalogueSize _catalogue;
    std::string _folder;
    // Why there is no folder, when the system did not say where it is.
    std::string _folderProblem;
    std::string _ownWork;
    std::unique_ptr<BackgroundWriter> _writer;
};
