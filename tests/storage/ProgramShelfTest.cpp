#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "StorageTestSupport.h"
#include "storage/ProgramShelf.h"
#include "storage/UserFiles.h"

namespace {

using storagetest::bytesOf;
using storagetest::namesIn;
using storagetest::writeBytes;
using Names = std::vector<std::string>;

std::string fileNameOf(const std::string& path) {
    return storagetest::fs::u8path(path).filename().u8string();
}

FieldContents sample(int variant) {
    FieldContents contents;
    contents.dialect = variant % 2 == 0 ? Dialect::Kib : Dialect::Vemmo;
    contents.rows[static_cast<std::size_t>(variant)][1] = CardId{2, variant};
    contents.loose.push_back(LooseCard{CardId{1, 4}, 40.5f, -12.f});
    return contents;
}

class ProgramShelfTest : public ::testing::Test {
protected:
    storagetest::ScratchFolder scratch;
    // Not there yet: the first save makes it.
    std::string folder = scratch / "data/programs";
    ProgramShelf shelf{storagetest::realCatalogue(), folder};
};

TEST_F(ProgramShelfTest, SavedPlaceReadsBackAndTheOthersStayEmpty) {
    EXPECT_FALSE(shelf.readPlace(2).savedAt);
    EXPECT_FALSE(storagetest::fs::exists(folder)) << "reading made the folder";

    std::string problem;
    // Saving again replaces the program.
    ASSERT_TRUE(shelf.savePlace(2, sample(1), problem)) << problem;
    ASSERT_TRUE(shelf.savePlace(2, sample(3), problem)) << problem;
    ASSERT_TRUE(shelf.saveOwnWork(sample(4), problem)) << problem;

    const ProgramShelf::Entry entry = shelf.readPlace(2);
    ASSERT_TRUE(entry.contents) << entry.problem;
    EXPECT_TRUE(*entry.contents == sample(3));
    EXPECT_EQ(entry.problem, "");
    ASSERT_TRUE(entry.savedAt);
    EXPECT_LT(std::abs(std::difftime(*entry.savedAt, std::time(nullptr))), 60.0);
    const ProgramShelf::Entry ownWork = shelf.readOwnWork();
    ASSERT_TRUE(ownWork.contents) << ownWork.problem;
    EXPECT_TRUE(*ownWork.contents == sample(4));

    for (int place : {0, 1, 3, 11}) {
        const ProgramShelf::Entry empty = shelf.readPlace(place);
        EXPECT_FALSE(empty.contents || empty.savedAt || !empty.problem.empty()) << place;
    }
    // The names a teacher sees and shares.
    const Names names = namesIn(folder);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].rfind("last-work-", 0), 0u) << names[0];
    EXPECT_EQ(names[1], "place-03.json");
}

TEST_F(ProgramShelfTest, UnreadableFileGivesANoticeNamingIt) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string problem;
    };
    const std::string again = ". Save a program into this place again to replace it.";
    std::string newer = writeProgramText(sample(2));
    newer.replace(newer.find("\"version\": ") + 11, 1, "99");
    const std::vector<Case> cases = {
        {"place-05.json", "{\"format\": \"zundlecards-pro",
         "The program in place-05.json is damaged" + again},
        // Saving over a later version's program would lose it: the notice never says to.
        {"place-06.json", newer,
         "The program in place-06.json was made by a newer version of this program. Update "
         "ZundleCards to open it."},
        // The one file of earlier versions is an earlier run's work like any other.
        {"last-work.json", "",
         "The work in last-work.json is damaged. Open another one from the shelf."},
    };
    storagetest::fs::create_directories(folder);
    for (const Case& c : cases) {
        writeBytes(folder + "/" + c.name, c.bytes);
    }
    const std::vector<ProgramShelf::Work> works = shelf.recentWorks();
    ASSERT_EQ(works.size(), 1u);
    std::vector<ProgramShelf::Entry> entries = {shelf.readPlace(4), shelf.readPlace(5),
                                                works[0].entry};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_FALSE(entries[i].contents) << cases[i].name;
        EXPECT_TRUE(entries[i].savedAt) << cases[i].name;
        EXPECT_EQ(entries[i].problem, cases[i].problem);
    }
    // A folder in a place's stead is told in plain words, not the system's.
    storagetest::fs::create_directories(folder + "/place-07.json");
    const ProgramShelf::Entry folderThere = shelf.readPlace(6);
    EXPECT_TRUE(folderThere.notAFile);
    EXPECT_EQ(folderThere.problem,
              "Could not read place-07.json: it is not a file. Ask your teacher to check the "
              "folder.");
}

TEST_F(ProgramShelfTest, FolderThatCannotBeMadeIsToldAndTouchesNothing) {
    // A file where a folder should be stops mkdir even for root.
    const std::string blocker = scratch / "blocker";
    writeBytes(blocker, "mine");
    const ProgramShelf blocked(storagetest::realCatalogue(), blocker + "/programs");
    std::string problem;
    EXPECT_FALSE(blocked.savePlace(0, sample(1), problem));
    EXPECT_EQ(problem.rfind("Could not save into place-01.json: ", 0), 0u) << problem;
    EXPECT_NE(problem.find("Ask your teacher to check the folder."), std::string::npos) << problem;
    problem.clear();
    EXPECT_FALSE(blocked.showFolder(problem));
    EXPECT_NE(problem, "");
    EXPECT_EQ(bytesOf(blocker), "mine");
    const ProgramShelf::Entry entry = blocked.readPlace(0);
    EXPECT_FALSE(entry.contents || entry.savedAt);
}

TEST_F(ProgramShelfTest, FailedRenameLeavesNoTemporaryBehind) {
    // A folder in the file's place cannot be replaced by a file on any system.
    const std::string inTheWay = folder + "/place-01.json";
    storagetest::fs::create_directories(inTheWay);
    writeBytes(inTheWay + "/keep", "kept");
    std::string problem;
    EXPECT_FALSE(shelf.savePlace(0, sample(1), problem));
    EXPECT_EQ(problem.rfind("Could not save into place-01.json: ", 0), 0u) << problem;
    EXPECT_EQ(namesIn(folder), (Names{"place-01.json"}));
    EXPECT_EQ(bytesOf(inTheWay + "/keep"), "kept");
}

TEST_F(ProgramShelfTest, DroppedFileIsReadOrRefusedWithItsName) {
    const std::string good = scratch / "robot dance.json";
    const std::string bad = scratch / "holiday.json";
    writeBytes(good, writeProgramText(sample(5)));
    writeBytes(bad, "{\"pictures\": []}");
    std::string problem;
    const auto read = shelf.readFile(good, problem);
    ASSERT_TRUE(read) << problem;
    EXPECT_TRUE(*read == sample(5));
    EXPECT_FALSE(shelf.readFile(bad, problem));
    EXPECT_EQ(problem,
              "The file holiday.json is not a program of this workspace. Try another file.");
    EXPECT_FALSE(shelf.readFile(scratch / "gone.json", problem));
    EXPECT_EQ(problem.rfind("Could not read gone.json: ", 0), 0u) << problem;
}

// Paths are UTF-8 everywhere; the Windows side turns them into wide names.
TEST_F(ProgramShelfTest, FolderWithLettersBeyondAsciiWorks) {
    const ProgramShelf own(storagetest::realCatalogue(), scratch / u8"Zoë's programmes ✓");
    std::string problem;
    ASSERT_TRUE(own.savePlace(7, sample(6), problem)) << problem;
    const ProgramShelf::Entry entry = own.readPlace(7);
    ASSERT_TRUE(entry.contents) << entry.problem;
    EXPECT_TRUE(*entry.contents == sample(6));
}

TEST_F(ProgramShelfTest, EveryRunKeepsItsOwnWorkAndOnlyTheOldestBeyondTenGo) {
    // Twelve earlier runs, an hour apart, the oldest being the one file of older versions.
    storagetest::fs::create_directories(folder);
    const auto hourAgo = [](int hours) {
        return storagetest::fs::file_time_type::clock::now() - std::chrono::hours(hours);
    };
    std::vector<std::string> earlier;
    for (int run = 0; run < 12; ++run) {
        const std::string name = run == 11 ? "last-work.json"
                                           : "last-work-2026010" + std::to_string(run % 9) + "-" +
                                                 std::to_string(run) + ".json";
        writeBytes(folder + "/" + name, writeProgramText(sample(run)));
        storagetest::fs::last_write_time(storagetest::fs::u8path(folder + "/" + name),
                                         hourAgo(run + 1));
        earlier.push_back(name);
    }
    // Another window of this moment keeps its own work beside this one.
    ProgramShelf otherWindow(storagetest::realCatalogue(), folder);
    std::string problem;
    ASSERT_TRUE(otherWindow.saveOwnWork(sample(20), problem)) << problem;
    ASSERT_NE(shelf.ownWorkPath(), otherWindow.ownWorkPath());

    // Shown: the newest five of the others, newest first; this run's own is not among them.
    std::vector<ProgramShelf::Work> works = shelf.recentWorks();
    ASSERT_EQ(works.size(), 5u);
    EXPECT_EQ(works[0].path, otherWindow.ownWorkPath());
    for (std::size_t i = 1; i < works.size(); ++i) {
        ASSERT_TRUE(works[i].entry.contents) << works[i].entry.problem;
        EXPECT_EQ(*works[i].entry.contents, sample(static_cast<int>(i) - 1)) << i;
    }

    // Keeping this run's work ages out the oldest past ten, and touches no other run's.
    shelf.keepOwnWork(sample(7));
    ASSERT_TRUE(shelf.waitForWrites(std::chrono::seconds(5)));
    const std::vector<ProgramShelf::Finished> finished = shelf.takeFinished();
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_TRUE(finished[0].written) << finished[0].problem;
    Names expected = {fileNameOf(shelf.ownWorkPath()), fileNameOf(otherWindow.ownWorkPath())};
    expected.insert(expected.end(), earlier.begin(), earlier.begin() + 8);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(folder), expected);
    EXPECT_EQ(*otherWindow.readOwnWork().contents, sample(20));
    EXPECT_EQ(*shelf.readOwnWork().contents, sample(7));
}

TEST_F(ProgramShelfTest, TemporariesOfEndedRunsAreRecoveredOrRemovedAtStart) {
    storagetest::fs::create_directories(folder);
    const std::string whole = writeProgramText(sample(3));
    const std::string older = writeProgramText(sample(1));
    const auto temporary = [](const std::string& name, long process) {
        return userfiles::temporaryPrefix(name, process) + "0";
    };
    constexpr long kEnded = 999999999;
    const long running = userfiles::currentProcess();
    struct Case {
        std::string name;
        std::string bytes;
        bool older;
    };
    // The work of a run killed mid-write lies only in its temporary.
    const std::string lostWork = "last-work-20261201-080000-4242.json";
    const std::vector<Case> files = {
        {"place-01.json", older, true},
        {temporary("place-01.json", kEnded), whole, false},
        {"place-02.json", older, false},
        {temporary("place-02.json", kEnded), whole.substr(0, whole.size() / 2), false},
        {"place-03.json", whole, false},
        {temporary("place-03.json", kEnded), older, true},
        {temporary(lostWork, kEnded), whole, false},
        // Still being written by a run that goes on, and a file that is none of ours.
        {temporary("place-04.json", running), whole, false},
        {temporary("holiday.json", kEnded), whole, false},
    };
    for (const Case& file : files) {
        writeBytes(folder + "/" + file.name, file.bytes);
        if (file.older) {
            storagetest::fs::last_write_time(
                storagetest::fs::u8path(folder + "/" + file.name),
                storagetest::fs::file_time_type::clock::now() - std::chrono::hours(2));
        }
    }
    shelf.recoverTemporaries();

    EXPECT_EQ(*shelf.readPlace(0).contents, sample(3)) << "the whole, newer temporary is lost";
    EXPECT_EQ(*shelf.readPlace(1).contents, sample(1)) << "a cut-short temporary was used";
    EXPECT_EQ(*shelf.readPlace(2).contents, sample(3)) << "an older temporary replaced the file";
    const std::vector<ProgramShelf::Work> works = shelf.recentWorks();
    ASSERT_EQ(works.size(), 1u);
    EXPECT_EQ(fileNameOf(works[0].path), lostWork);
    EXPECT_EQ(namesIn(folder),
              (Names{temporary("holiday.json", kEnded), temporary("place-04.json", running),
                     lostWork, "place-01.json", "place-02.json", "place-03.json"}));
}

TEST(BackgroundWriterTest, OnlyTheNewestTextWaitingForAFileIsWrittenInTheOrderAsked) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::mutex mutex;
    std::vector<std::string> written;
    BackgroundWriter writer([&](const std::string& path, const std::string& text, std::string&) {
        released.wait();
        std::lock_guard<std::mutex> lock(mutex);
        written.push_back(path + "=" + text);
        return path != "full";
    });
    const unsigned long first = writer.submit("a", "1");
    // While "a" is being written, the next texts wait; newer ones replace them.
    for (int wait = 0; wait < 500 && !writer.busy(); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    writer.submit("b", "1");
    writer.submit("a", "2");
    writer.submit("full", "x");
    const unsigned long last = writer.submit("b", "2");
    EXPECT_FALSE(writer.waitUntilWritten(std::chrono::milliseconds(20)));
    release.set_value();
    ASSERT_TRUE(writer.waitUntilWritten(std::chrono::seconds(5)));
    EXPECT_EQ(written, (Names{"a=1", "b=2", "a=2", "full=x"}));
    const std::vector<BackgroundWriter::Result> results = writer.takeResults();
    ASSERT_EQ(results.size(), 5u);
    EXPECT_EQ(results[0].ticket, first);
    // Both requests for "b" are answered by the one write.
    EXPECT_EQ(results[1].ticket + 3, last);
    EXPECT_EQ(results[2].ticket, last);
    EXPECT_FALSE(results[4].written);
    EXPECT_FALSE(writer.busy());
}

}  // namespace
