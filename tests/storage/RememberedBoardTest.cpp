// The remembered board: kept whole across a restart, replaced whole, and forgotten rather
// than misread when its file is damaged.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "StorageTestSupport.h"
#include "storage/RememberedBoard.h"

using storagetest::ScratchFolder;

TEST(RememberedBoard, KeptAcrossARestartAndReplacedWhole) {
    ScratchFolder scratch;
    const std::string folder = scratch / "data";
    EXPECT_FALSE(loadRememberedBoard(folder).has_value()) << "nothing remembered yet";
    std::string error;
    const RememberedBoard first{"2341", "0043", "85736323838351F0F1B1"};
    ASSERT_TRUE(saveRememberedBoard(first, error, folder)) << error;
    EXPECT_EQ(loadRememberedBoard(folder), first);
    const RememberedBoard second{"1a86", "7523", ""};
    ASSERT_TRUE(saveRememberedBoard(second, error, folder)) << error;
    EXPECT_EQ(loadRememberedBoard(folder), second);
    EXPECT_EQ(storagetest::namesIn(folder), std::vector<std::string>{kRememberedBoardFile})
        << "no temporary left";
}

TEST(RememberedBoard, ADamagedOrForeignFileIsNoBoard) {
    ScratchFolder scratch;
    const std::string good =
        R"({"format": "zundlecards-board", "version": 1, "vendor": "2341", "product": "0043",
            "serial": "A1"})";
    const char* const damaged[] = {
        R"({"format": "zundlecards-board", "version": 1, "vendor": "2341", "product": "0043")",
        R"({"format": "zundlecards-board", "version": 2, "vendor": "2341", "product": "0043",
            "serial": "A1"})",
        R"({"format": "zundlecards-program", "version": 1, "vendor": "2341", "product": "0043",
            "serial": "A1"})",
        R"({"format": "zundlecards-board", "version": 1, "vendor": 2341, "product": "0043",
            "serial": "A1"})",
        R"({"format": "zundlecards-board", "version": 1, "vendor": "", "product": "0043",
            "serial": "A1"})",
        R"([1, 2, 3])",
        "\xff\xfe",
    };
    storagetest::writeBytes(scratch / kRememberedBoardFile, good);
    ASSERT_TRUE(loadRememberedBoard(scratch / "").has_value());
    for (const char* text : damaged) {
        storagetest::writeBytes(scratch / kRememberedBoardFile, text);
        EXPECT_FALSE(loadRememberedBoard(scratch / "").has_value()) << text;
    }
}
