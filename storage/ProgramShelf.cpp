#include "storage/ProgramShelf.h"

#include <algorithm>
#include <cassert>
#include <cstdio>

#include "lang/Translate.h"
#include "storage/UserFiles.h"

namespace {

constexpr char kWorkStem[] = "last-work";
constexpr char kJson[] = ".json";
constexpr const char* kAskTeacher = lang::mark("Ask your teacher to check the folder.");

std::string fileName(const std::string& path) {
    const auto separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A run's work, this version's ("last-work-<start>-<process>.json") or the one file of
// earlier versions ("last-work.json").
bool isWorkName(const std::string& name) {
    return name.rfind(kWorkStem, 0) == 0 && endsWith(name, kJson);
}

bool isPlaceName(const std::string& name) {
    return name.size() == 13 && name.rfind("place-", 0) == 0 && endsWith(name, kJson);
}

std::string saveNotice(const std::string& path, const std::string& reason) {
    const std::string advice = reason == userfiles::kDiskFull
                                   ? lang::tr("Make room on the disk, then save again.")
                                   : lang::tr(kAskTeacher);
    return lang::fill(lang::tr("Could not save into {file}: {reason}. {advice}"),
                      {{"file", fileName(path)}, {"reason", lang::tr(reason)}, {"advice", advice}});
}

// The name of this run's work: when it started and which process it is, so that windows
// started in the same second (or two workspaces in one process) still differ.
std::string ownWorkName() {
    static unsigned s_runs = 0;
    const std::time_t now = std::time(nullptr);
    char stamp[32] = "";
    if (const std::tm* utc = std::gmtime(&now)) {
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", utc);
    }
    std::string name =
        std::string(kWorkStem) + "-" + stamp + "-" + std::to_string(userfiles::currentProcess());
    if (s_runs++ > 0) {
        name += "-" + std::to_string(s_runs);
    }
    return name + kJson;
}

std::vector<std::string> worksIn(const std::string& folder) {
    struct Found {
        std::string path;
        std::time_t savedAt;
    };
    std::vector<Found> found;
    for (const std::string& name : userfiles::namesIn(folder)) {
        if (isWorkName(name)) {
            const std::string path = userfiles::join(folder, name);
            found.push_back(Found{path, userfiles::modifiedAt(path).value_or(0)});
        }
    }
    // Within one second the later start comes first: names hold the start.
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.savedAt != b.savedAt ? a.savedAt > b.savedAt : a.path > b.path;
    });
    std::vector<std::string> paths;
    for (Found& work : found) {
        paths.push_back(std::move(work.path));
    }
    return paths;
}

// Works past the newest kKeptWorks go, never this run's own.
void ageOutWorks(const std::string& folder, const std::string& own) {
    const std::vector<std::string> works = worksIn(folder);
    for (std::size_t i = ProgramShelf::kKeptWorks; i < works.size(); ++i) {
        if (works[i] != own) {
            userfiles::removeFile(works[i]);
        }
    }
}

}  // namespace

ProgramShelf::ProgramShelf(const CatalogueSize& catalogue, std::string folder,
                           BackgroundWriter::Write write)
    : _catalogue(catalogue), _folder(std::move(folder)) {
    if (_folder.empty()) {
        _folder = userfiles::programsFolder(_folderProblem);
    }
    _ownWork = userfiles::join(_folder, ownWorkName());
    if (!write) {
        write = [folder = _folder, folderProblem = _folderProblem](
                    const std::string& path, const std::string& text, std::string& error) {
            if (folder.empty()) {
                error = folderProblem;
                return false;
            }
            return userfiles::makeFolder(folder, error) &&
                   userfiles::replaceAtomically(path, text, error);
        };
    }
    // Copies only: a slow write may outlive the shelf at the program's end.
    _writer = std::make_unique<BackgroundWriter>(
        [write = std::move(write), folder = _folder, own = _ownWork](
            const std::string& path, const std::string& text, std::string& error) {
            const bool written = write(path, text, error);
            if (written && path == own) {
                ageOutWorks(folder, own);
            }
            return written;
        });
}

ProgramShelf::~ProgramShelf() = default;

std::string ProgramShelf::placePath(int place) const {
    assert(place >= 0 && place < kPlaceCount);
    char name[32];
    std::snprintf(name, sizeof(name), "place-%02d.json", place + 1);
    return userfiles::join(_folder, name);
}

ProgramShelf::Entry ProgramShelf::readPlace(int place) const {
    return readEntry(placePath(place), lang::mark("The program in {file} {problem}. {advice}"),
                     lang::mark("Save a program into this place again to replace it."));
}

ProgramShelf::Entry ProgramShelf::readOwnWork() const {
    return readEntry(_ownWork, lang::mark("The work in {file} {problem}. {advice}"),
                     lang::mark("Open another one from the shelf."));
}

std::vector<ProgramShelf::Work> ProgramShelf::recentWorks() const {
    std::vector<Work> works;
    if (_folder.empty()) {
        return works;
    }
    for (const std::string& path : worksIn(_folder)) {
        if (path == _ownWork) {
            continue;
        }
        works.push_back(
            Work{path, readEntry(path, lang::mark("The work in {file} {problem}. {advice}"),
                                 lang::mark("Open another one from the shelf."))});
        if (works.size() == static_cast<std::size_t>(kShownWorks)) {
            break;
        }
    }
    return works;
}

void ProgramShelf::recoverTemporaries() const {
    if (_folder.empty()) {
        return;
    }
    for (const std::string& name : userfiles::namesIn(_folder)) {
        std::string target;
        long process = 0;
        if (!userfiles::parseTemporaryName(name, target, process) ||
            !(isWorkName(target) || isPlaceName(target)) ||
            process == userfiles::currentProcess() || userfiles::processRuns(process)) {
            continue;
        }
        const std::string temporary = userfiles::join(_folder, name);
        const std::string file = userfiles::join(_folder, target);
        bool missing = false;
        std::string error;
        const auto text = userfiles::readWhole(temporary, kMaxProgramFileBytes, missing, error);
        const bool whole = text && readProgramText(*text, _catalogue).contents.has_value();
        const auto fileAt = userfiles::modifiedAt(file);
        const bool newer = !fileAt || userfiles::modifiedAt(temporary).value_or(0) >= *fileAt;
        if (!(whole && newer && userfiles::moveOver(temporary, file))) {
            userfiles::removeFile(temporary);
        }
    }
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
        entry.notAFile = error == userfiles::kNotAFile;
        entry.problem = lang::fill(lang::tr("Could not read {file}: {reason}. {advice}"),
                                   {{"file", fileName(path)},
                                    {"reason", lang::tr(error)},
                                    {"advice", lang::tr(kAskTeacher)}});
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
        // Saving over a newer version's program would lose what that version put there.
        if (reading.problem == kProgramFromNewerVersion) {
            advice = lang::mark("Update ZundleCards to open it.");
        }
        entry.problem = lang::fill(lang::tr(opening), {{"file", fileName(path)},
                                                       {"problem", lang::tr(reading.problem)},
                                                       {"advice", lang::tr(advice)}});
    }
    return entry;
}

bool ProgramShelf::savePlace(int place, const FieldContents& contents, std::string& problem) const {
    return saveFile(placePath(place), contents, problem);
}

bool ProgramShelf::saveOwnWork(const FieldContents& contents, std::string& problem) const {
    return saveFile(_ownWork, contents, problem);
}

unsigned long ProgramShelf::keepOwnWork(const FieldContents& contents) {
    return _writer->submit(_ownWork, writeProgramText(contents));
}

unsigned long ProgramShelf::keepInPlace(int place, const FieldContents& contents) {
    return _writer->submit(placePath(place), writeProgramText(contents));
}

std::vector<ProgramShelf::Finished> ProgramShelf::takeFinished() {
    std::vector<Finished> finished;
    for (const BackgroundWriter::Result& result : _writer->takeResults()) {
        finished.push_back(Finished{result.ticket, result.written,
                                    result.written ? "" : saveNotice(result.path, result.error)});
    }
    return finished;
}

bool ProgramShelf::writing() const {
    return _writer->busy();
}

bool ProgramShelf::waitForWrites(std::chrono::milliseconds limit) {
    return _writer->waitUntilWritten(limit);
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
        problem = lang::fill(lang::tr("Could not read {file}: {reason}."),
                             {{"file", fileName(path)}, {"reason", lang::tr(error)}});
        return std::nullopt;
    }
    if (!reading.contents) {
        problem = lang::fill(lang::tr("The file {file} {problem}. Try another file."),
                             {{"file", fileName(path)}, {"problem", lang::tr(reading.problem)}});
    }
    return std::move(reading.contents);
}

bool ProgramShelf::showFolder(std::string& problem) const {
    std::string error = _folderProblem;
    if (_folder.empty() || !userfiles::makeFolder(_folder, error) ||
        !userfiles::openInFileManager(_folder, error)) {
        problem = lang::fill(lang::tr("Could not show the folder of programs: {reason}. {advice}"),
                             {{"reason", lang::tr(error)}, {"advice", lang::tr(kAskTeacher)}});
        return false;
    }
    return true;
}
