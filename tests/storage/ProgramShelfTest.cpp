#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "StorageTestSupport.h"
#include "storage/ProgramShelf.h"

namespace {

using storagetest::bytesOf;
using storagetest::namesIn;
using storagetest::writeBytes;
using Names = std::vector<std::string>;

FieldContents sample(int variant) {
    FieldContents contents;
    contents.dialect = variant % 2;
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
    ASSERT_TRUE(shelf.saveLastWork(sample(4), problem)) << problem;

    const ProgramShelf::Entry entry = shelf.readPlace(2);
    ASSERT_TRUE(entry.contents) << entry.problem;
    EXPECT_TRUE(*entry.contents == sample(3));
    EXPECT_EQ(entry.problem, "");
    ASSERT_TRUE(entry.savedAt);
    EXPECT_LT(std::abs(std::difftime(*entry.savedAt, std::time(nullptr))), 60.0);
    const ProgramShelf::Entry lastWork = shelf.readLastWork();
    ASSERT_TRUE(lastWork.contents) << lastWork.problem;
    EXPECT_TRUE(*lastWork.contents == sample(4));

    for (int place : {0, 1, 3, 11}) {
        const ProgramShelf::Entry empty = shelf.readPlace(place);
        EXPECT_FALSE(empty.contents || empty.savedAt || !empty.problem.empty()) << place;
    }
    // The names a teacher sees and shares.
    EXPECT_EQ(namesIn(folder), (Names{"last-work.json", "place-03.json"}));
}

TEST_F(ProgramShelfTest, UnreadableFileGivesANoticeNamingIt) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string problem;
    };
    const std::string again = ". Save a program into this place again to replace it.";
    const std::vector<Case> cases = {
        {"place-05.json", "{\"format\": \"zundlecards-pro",
         "The program in place-05.json is damaged" + again},
        {"last-work.json", "",
         "The last work in last-work.json is damaged. It is replaced the next time your work is "
         "kept."},
    };
    storagetest::fs::create_directories(folder);
    for (const Case& c : cases) {
        writeBytes(folder + "/" + c.name, c.bytes);
    }
    std::vector<ProgramShelf::Entry> entries = {shelf.readPlace(4), shelf.readLastWork()};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_FALSE(entries[i].contents) << cases[i].name;
        EXPECT_TRUE(entries[i].savedAt) << cases[i].name;
        EXPECT_EQ(entries[i].problem, cases[i].problem);
    }
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

}  // namespace
