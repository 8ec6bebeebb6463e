// The chosen language: kept across a restart, replaced whole, and a damaged file told apart
// from a missing one, so the workspace can say so rather than quietly forget.
#include <gtest/gtest.h>

#include <string>

#include "StorageTestSupport.h"
#include "storage/LanguageSetting.h"

using storagetest::ScratchFolder;

TEST(LanguageSetting, KeptAcrossARestartAndReplacedWhole) {
    ScratchFolder scratch;
    const std::string folder = scratch / "data";
    const LanguageSetting nothing = loadLanguageSetting(folder);
    EXPECT_FALSE(nothing.language.has_value());
    EXPECT_TRUE(nothing.problem.empty()) << "a first start is no problem";
    std::string error;
    ASSERT_TRUE(saveLanguageSetting("ja", error, folder)) << error;
    EXPECT_EQ(loadLanguageSetting(folder).language, "ja");
    ASSERT_TRUE(saveLanguageSetting("de", error, folder)) << error;
    const LanguageSetting kept = loadLanguageSetting(folder);
    EXPECT_EQ(kept.language, "de");
    EXPECT_TRUE(kept.problem.empty());
    EXPECT_EQ(storagetest::namesIn(folder), std::vector<std::string>{kSettingsFile})
        << "no temporary left";
}

TEST(LanguageSetting, ADamagedFileIsNoLanguageAndSaysWhere) {
    ScratchFolder scratch;
    const char* const damaged[] = {
        "",
        "{",
        "not json at all",
        R"({"format": "zundlecards-settings", "version": 1})",
        R"({"format": "zundlecards-settings", "version": 1, "language": 7})",
        R"({"format": "zundlecards-settings", "version": 1, "language": ""})",
        R"({"format": "zundlecards-settings", "version": 1, "language": "../../etc/x"})",
        R"({"format": "zundlecards-settings", "version": 2, "language": "de"})",
        R"({"format": "zundlecards-board", "version": 1, "language": "de"})",
        R"(["zundlecards-settings", 1, "de"])",
    };
    int n = 0;
    for (const char* text : damaged) {
        const std::string folder = scratch / ("case" + std::to_string(n++));
        std::string error;
        ASSERT_TRUE(saveLanguageSetting("fr", error, folder)) << error;
        storagetest::writeBytes(folder + "/" + kSettingsFile, text);
        const LanguageSetting read = loadLanguageSetting(folder);
        EXPECT_FALSE(read.language.has_value()) << text;
        EXPECT_NE(read.problem.find(kSettingsFile), std::string::npos) << text;
    }
}

TEST(LanguageSetting, AFolderThatCannotBeMadeIsAReason) {
    ScratchFolder scratch;
    storagetest::writeBytes(scratch / "plain", "a file, not a folder");
    std::string error;
    EXPECT_FALSE(saveLanguageSetting("de", error, scratch / "plain/data"));
    EXPECT_FALSE(error.empty());
}
