#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StorageTestSupport.h"
#include "storage/ProgramFile.h"

namespace {

using storagetest::realCatalogue;

// Every card of every set, seated in turn and loose at places a float cannot hold as a short
// decimal and at the field's edges.
FieldContents everyCard(const CatalogueSize& catalogue, Dialect dialect) {
    FieldContents field;
    field.dialect = dialect;
    std::size_t place = 0;
    for (int set = 0; set < static_cast<int>(catalogue.cardsPerSet.size()); ++set) {
        for (int index = 0; index < catalogue.cardsPerSet[static_cast<std::size_t>(set)]; ++index) {
            field.rows[place / 2][place % 2] = CardId{set, index};
            ++place;
            const float x = static_cast<float>(index) / 3.f - 1000.f * static_cast<float>(set);
            const float y = index % 2 == 0 ? 100000.f : -0.1f * static_cast<float>(index);
            field.loose.push_back(LooseCard{CardId{set, index}, x, y});
        }
    }
    return field;
}

TEST(ProgramFileTest, EveryCardOfEverySetReadsBackInBothDialects) {
    const CatalogueSize catalogue = realCatalogue();
    ASSERT_EQ(catalogue.dialects, 2);
    for (int dialect = 0; dialect < catalogue.dialects; ++dialect) {
        const FieldContents field = everyCard(catalogue, static_cast<Dialect>(dialect));
        const std::string text = writeProgramText(field);
        const ProgramReading reading = readProgramText(text, catalogue);
        ASSERT_TRUE(reading.contents) << reading.problem << "\n" << text;
        EXPECT_TRUE(*reading.contents == field) << text;
        // The same contents always give the same text, so a saved file does not change
        // when nothing on the field did.
        EXPECT_EQ(writeProgramText(*reading.contents), text);
    }
}

// Three seated cards and two loose ones.
FieldContents smallProgram() {
    FieldContents contents;
    contents.dialect = Dialect::Vemmo;
    contents.rows[0][1] = CardId{0, 3};
    contents.rows[3][0] = CardId{2, 10};
    contents.rows[3][1] = CardId{2, 11};
    contents.loose.push_back(LooseCard{CardId{0, 2}, 512.5f, 300.f});
    contents.loose.push_back(LooseCard{CardId{1, 0}, 0.1f, -7.25f});
    return contents;
}

// The text a teacher shares: it must not change unnoticed, and names each card by its key,
// so a card added to a set in a later version changes no saved program.
const std::string kSmallProgramText = R"({
  "format": "zundlecards-program",
  "version": 2,
  "dialect": "vemmo",
  "rows": [
    {"row": 1, "slots": [{"slot": 2, "card": "wait3"}]},
    {"row": 4, "slots": [{"slot": 1, "card": "out1_off"}, {"slot": 2, "card": "out2_on"}]}
  ],
  "loose": [
    {"card": "wait1", "x": 512.5, "y": 300.0},
    {"card": "out33", "x": 0.1, "y": -7.25}
  ]
}
)";

TEST(ProgramFileTest, SmallProgramHasItsKnownText) {
    EXPECT_EQ(writeProgramText(smallProgram()), kSmallProgramText);
    const ProgramReading reading = readProgramText(kSmallProgramText, realCatalogue());
    ASSERT_TRUE(reading.contents) << reading.problem;
    EXPECT_TRUE(*reading.contents == smallProgram());
}

// Files saved before cards had keys name them by set and place in the palette: the same
// cards as then, so saved again they name the same keys.
TEST(ProgramFileTest, VersionOneFileOpensAsBefore) {
    const ProgramReading reading = readProgramText(R"({
  "format": "zundlecards-program",
  "version": 1,
  "dialect": "vemmo",
  "rows": [
    {"row": 1, "slots": [{"slot": 2, "set": 0, "card": 3}]},
    {"row": 4, "slots": [{"slot": 1, "set": 2, "card": 10}, {"slot": 2, "set": 2, "card": 11}]}
  ],
  "loose": [
    {"set": 0, "card": 2, "x": 512.5, "y": 300.0},
    {"set": 1, "card": 0, "x": 0.1, "y": -7.25}
  ]
}
)",
                                                   realCatalogue());
    ASSERT_TRUE(reading.contents) << reading.problem;
    EXPECT_TRUE(*reading.contents == smallProgram());
    EXPECT_EQ(writeProgramText(*reading.contents), kSmallProgramText);
}

// What a teacher editing a file by hand may leave out or add still reads.
TEST(ProgramFileTest, HandEditedFileWithoutListsAndWithOwnNotesReads) {
    const ProgramReading reading = readProgramText(
        R"({"format": "zundlecards-program", "version": 1, "dialect": "vemmo",
            "note": "for Tuesday", "loose": [{"set": 1, "card": 0, "x": 3, "y": -4}]})",
        realCatalogue());
    ASSERT_TRUE(reading.contents) << reading.problem;
    EXPECT_EQ(reading.contents->dialect, Dialect::Vemmo);
    ASSERT_EQ(reading.contents->loose.size(), 1u);
    EXPECT_TRUE(reading.contents->loose[0] == (LooseCard{CardId{1, 0}, 3.f, -4.f}));
}

struct BadFile {
    const char* what;
    std::string text;
    std::string problem;
};

std::string program(const std::string& dialect, const std::string& rows,
                    const std::string& loose = "[]", const std::string& version = "1") {
    return R"({"format": "zundlecards-program", "version": )" + version + R"(, "dialect": )" +
           dialect + R"(, "rows": )" + rows + R"(, "loose": )" + loose + "}";
}

std::string withCard(const std::string& row, const std::string& slot, const std::string& set,
                     const std::string& card, const std::string& version = "1") {
    return program(R"("kib")",
                   R"([{"row": )" + row + R"(, "slots": [{"slot": )" + slot + R"(, "set": )" + set +
                       R"(, "card": )" + card + "}]}]",
                   "[]", version);
}

std::string withKey(const std::string& key, const std::string& version = "2") {
    return program(R"("kib")", R"([{"row": 1, "slots": [{"slot": 1, "card": )" + key + "}]}]", "[]",
                   version);
}

std::string looseAt(const std::string& x, const std::string& y) {
    return program(R"("kib")", "[]",
                   R"([{"set": 0, "card": 0, "x": )" + x + R"(, "y": )" + y + "}]");
}

std::string manyLoose(int count) {
    std::string loose = "[";
    for (int i = 0; i < count; ++i) {
        loose += std::string(i == 0 ? "" : ",") + R"({"set": 0, "card": 0, "x": 1, "y": 2})";
    }
    return program(R"("kib")", "[]", loose + "]");
}

TEST(ProgramFileTest, EveryKindOfBadFileIsRefusedWithItsProblem) {
    const CatalogueSize catalogue = realCatalogue();
    const std::string pastSet0 = std::to_string(catalogue.cardsPerSet[0]);
    const std::string good = writeProgramText(everyCard(catalogue, Dialect::Kib));
    const std::string damaged = "is damaged";
    const std::string notOurs = "is not a program of this workspace";
    const std::string unknownCard = "names a card this program does not have";
    const std::string noSuchPlace = "puts a card in a place the field does not have";
    const std::string twice = "puts two cards in one place";
    const std::string farAway = "puts a card far outside the field";
    const std::vector<BadFile> files = {
        {"empty", "", damaged},
        {"not JSON", "row 1: forward", damaged},
        {"cut short", good.substr(0, good.size() / 2), damaged},
        {"broken UTF-8", program("\"k\xff\xfe\"", "[]"), damaged},
        {"deeply nested list", std::string(100000, '[') + std::string(100000, ']'), notOurs},
        {"another format", R"({"format": "picture", "version": 1})", notOurs},
        {"newer version", program(R"("kib")", "[]", "[]", "3"),
         "was made by a newer version of this program"},
        {"version as text", program(R"("kib")", "[]", "[]", R"("1")"), damaged},
        {"unknown dialect", program(R"("logo")", "[]"),
         "is for a board this program does not know"},
        {"slot not an object", program(R"("kib")", R"([{"row": 1, "slots": [3]}])"), damaged},
        {"card with a fraction", withCard("1", "1", "0", "3.0"), damaged},
        {"card set past the sets", withCard("1", "1", "3", "0"), unknownCard},
        {"card past its set", withCard("1", "1", "0", pastSet0), unknownCard},
        {"card past every integer", withCard("1", "1", "0", "18446744073709551615"), unknownCard},
        {"unknown key", withKey(R"("led7")"), unknownCard},
        {"key in capitals", withKey(R"("LED1")"), unknownCard},
        {"loose card with an unknown key",
         program(R"("kib")", "[]", R"([{"card": "jump", "x": 1, "y": 2}])", "2"), unknownCard},
        {"place in the palette in version 2", withCard("1", "1", "0", "0", "2"), damaged},
        {"key in version 1", withKey(R"("led1")", "1"), damaged},
        {"row zero", withCard("0", "1", "0", "0"), noSuchPlace},
        {"row past the field", withCard("31", "1", "0", "0"), noSuchPlace},
        {"third slot", withCard("1", "3", "0", "0"), noSuchPlace},
        {"slot given twice",
         program(R"("kib")", R"([{"row": 2, "slots": [{"slot": 1, "set": 0, "card": 0},
                                                      {"slot": 1, "set": 0, "card": 1}]}])"),
         twice},
        {"loose far up", looseAt("0", "-1e6"), farAway},
        {"loose past any float", looseAt("1e300", "0"), farAway},
        {"loose beyond a double", looseAt("1e999", "0"), damaged},
        {"too many loose cards", manyLoose(1001), "has too many loose cards"},
        {"larger than a program can be", good + std::string(kMaxProgramFileBytes, ' '),
         "is too big to be a program"},
        {"NUL bytes after the program", good + std::string(64, '\0'), damaged},
        {"a key given twice", program(R"("kib")", "[]", "[]", "1, \"version\": 1"), damaged},
        {"a key given twice in a row",
         program(R"("kib")", R"([{"row": 2, "row": 3, "slots": []}])"), damaged},
    };
    for (const BadFile& file : files) {
        const ProgramReading reading = readProgramText(file.text, catalogue);
        EXPECT_FALSE(reading.contents) << file.what;
        EXPECT_EQ(reading.problem, file.problem) << file.what;
    }
    // The limits themselves are still a program.
    EXPECT_TRUE(readProgramText(manyLoose(1000), catalogue).contents);
    EXPECT_TRUE(readProgramText(looseAt("-100000", "100000"), catalogue).contents);
}

}  // namespace
