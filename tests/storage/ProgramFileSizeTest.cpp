// The size at which a program file a child opens (from the shelf or dropped on the window)
// is refused: a mebibyte is still a program, one byte more is not. Written out here rather
// than taken from the header, so that a changed limit is noticed.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "StorageTestSupport.h"
#include "storage/ProgramShelf.h"

namespace {

using storagetest::ScratchFolder;

TEST(ProgramFileSize, AMebibyteOpensAndOneByteMoreIsRefusedWithItsReason) {
    constexpr std::size_t kMebibyte = 1024 * 1024;
    const ScratchFolder folder;
    const ProgramShelf shelf(storagetest::realCatalogue(), folder.path().u8string());
    FieldContents contents;
    contents.rows[2][0] = CardId{0, 1};
    const std::string program = writeProgramText(contents);
    for (const std::size_t size : {kMebibyte, kMebibyte + 1}) {
        SCOPED_TRACE(size);
        // Spaces after the program are still a program, as far as the text goes.
        const std::string path = folder / "shared.json";
        {
            std::ofstream file(path, std::ios::binary);
            file << program << std::string(size - program.size(), ' ');
        }
        std::string problem;
        const auto opened = shelf.readFile(path, problem);
        if (size == kMebibyte) {
            ASSERT_TRUE(opened) << problem;
            EXPECT_EQ(opened->rows[2][0], contents.rows[2][0]);
        } else {
            EXPECT_FALSE(opened);
            EXPECT_NE(problem.find("shared.json is too big to be a program"), std::string::npos)
                << problem;
        }
    }
}

}  // namespace
