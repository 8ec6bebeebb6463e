#include "storage/ProgramShelf.h"

#include <cassert>
#include <cstdio>

#include "storage/UserFiles.h"

namespace {

constexpr char kLastWorkName[] = "last-work.json";
constexpr char kAskTeacher[] = "Ask your teacher to check the folder.";

std::string fileName(const std::string& path) {
    const auto separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string saveNotice(const std::string& path, const std::string& reason) {
    const char* advice =
        reason == userfiles::kDiskFull ? "Make room on the disk, then save again." : kAskTeacher;
    return "Could not save into " + fileName(path) + ": " + reason + ". " + advice;
}

}  // namespace

ProgramShelf::ProgramShelf(const CatalogueSize& catalogue, std::string folder)
    : _catalogue(catalogue), _folder(std::move(folder)) {
    if (_folder.empty()) {
        _folder = userfiles::programsFolder(_folderProblem);
    }
}

std::string ProgramShelf::placePath(int place) const {
    assert(place >= 0 && place < kPlaceCount);
    char name[32];
    std::snprintf(name, sizeof(name), "place-%02d.json", place + 1);
    return userfiles::join(_folder, name);
}

std::string ProgramShelf::lastWorkPath() const {
    return userfiles::join(_folder, kLastWorkName);
}

ProgramShelf::Entry ProgramShelf::readPlace(int place) const {
    return readEntry(placePath(place), "The program in ",
                     "Save a program into this place again to replace it.");
}

ProgramShelf::Entry ProgramShelf::readLastWork() const {
    return readEntry(lastWorkPath(), "The last work in ",
                     "It is replaced the next time your work is kept.");
}

ProgramShelf::Entry ProgramShelf::readEntry(const std::string& path, const char* opening,
                                            const char* advice) const {
    Entry entry;
    // With no folder there is nothing saved yet: the notice comes with the first save.
    if (_folder.empty()) {
        return entry;
    }
    bool missing = false;
    std::string error;
    const auto text = userfiles::readWhole(path, kMaxProgramFileBytes, missing, error);
    if (missing) {
        return entry;
    }
    entry.savedAt = userfiles::modifiedAt(path);
    if (!text && error != userfiles::kFileTooBig) {
        entry.problem = "Could not read " + fileName(path) + ": " + error + ". " + kAskTeacher;
        return entry;
    }
    ProgramReading reading;
    if (text) {
        reading = readProgramText(*text, _catalogue);
    } else {
        reading.problem = kProgramTooBig;
    }
    entry.contents = std::move(reading.contents);
    if (!entry.contents) {
        entry.problem = opening + fileName(path) + " " + reading.problem + ". " + advice;
    }
    return entry;
}

bool ProgramShelf::savePlace(int place, const FieldContents& contents, std::string& problem) const {
    return saveFile(placePath(place), contents, problem);
}

bool ProgramShelf::saveLastWork(const FieldContents& contents, std::string& problem) const {
    return saveFile(lastWorkPath(), contents, problem);
}

bool ProgramShelf::saveFile(const std::string& path, const FieldContents& contents,
                            std::string& problem) const {
    std::string error;
    if (_folder.empty()) {
        problem = saveNotice(path, _folderProblem);
        return false;
    }
    if (!userfiles::makeFolder(_folder, error) ||
        !userfiles::replaceAtomically(path, writeProgramText(contents), error)) {
        problem = saveNotice(path, error);
        return false;
    }
    return true;
}

std::optional<FieldContents> ProgramShelf::readFile(const std::string& path,
                                                    std::string& problem) const {
    bool missing = false;
    std::string error;
    const auto text = userfiles::readWhole(path, kMaxProgramFileBytes, missing, error);
    ProgramReading reading;
    if (text) {
        reading = readProgramText(*text, _catalogue);
    } else if (error == userfiles::kFileTooBig) {
        reading.problem = kProgramTooBig;
    } else {
        problem = "Could not read " + fileName(path) + ": " + error + ".";
        return std::nullopt;
    }
    if (!reading.contents) {
        problem = "The file " + fileName(path) + " " + reading.problem + ". Try another file.";
    }
    return std::move(reading.contents);
}

bool ProgramShelf::showFolder(std::string& problem) const {
    std::string error = _folderProblem;
    if (_folder.empty() || !userfiles::makeFolder(_folder, error) ||
        !userfiles::openInFileManager(_folder, error)) {
        problem = "Could not show the folder of programs: " + error + ". " + kAskTeacher;
        return false;
    }
    return true;
}
