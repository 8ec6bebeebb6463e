#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "StorageTestSupport.h"
#include "storage/ProgramShelf.h"
#include "storage/UserFiles.h"

namespace {

using storagetest::bytesOf;
using storagetest::namesIn;
using Names = std::vector<std::string>;

TEST(UserFilesWin32Test, ProgramsFolderIsInTheRoamingApplicationData) {
    std::string error;
    const std::string folder = userfiles::programsFolder(error);
    const char* appData = std::getenv("APPDATA");
    ASSERT_NE(appData, nullptr);
    EXPECT_EQ(folder, std::string(appData) + "\\ZundleCards\\programs") << error;
}

// Another program holding the file without letting it be replaced stops the rename, the
// last step: the old file stays and the temporary goes.
TEST(UserFilesWin32Test, FileHeldByAnotherProgramKeepsItsBytes) {
    storagetest::ScratchFolder scratch;
    ProgramShelf shelf(storagetest::realCatalogue(), scratch.path().u8string());
    std::string problem;
    ASSERT_TRUE(shelf.savePlace(0, FieldContents{}, problem)) << problem;
    const std::string before = bytesOf(shelf.placePath(0));

    const HANDLE held =
        ::CreateFileW(storagetest::fs::u8path(shelf.placePath(0)).c_str(), GENERIC_READ,
                      FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    FieldContents changed;
    changed.rows[0][0] = CardId{0, 0};
    const bool saved = shelf.savePlace(0, changed, problem);
    ::CloseHandle(held);

    EXPECT_FALSE(saved);
    EXPECT_EQ(problem.rfind("Could not save into place-01.json: ", 0), 0u) << problem;
    EXPECT_EQ(bytesOf(shelf.placePath(0)), before);
    EXPECT_EQ(namesIn(scratch.path()), (Names{"place-01.json"}));
}

}  // namespace
