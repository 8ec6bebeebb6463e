// Mutated program files: none may crash the reader, and whatever it accepts must be a field
// the workspace can lay as it is. ZC_FUZZ_PROGRAM_FILES sets how many variants to try (a long
// run on demand); ZC_FUZZ_SEED starts them elsewhere.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "StorageTestSupport.h"
#include "storage/ProgramFile.h"

namespace {

constexpr unsigned long kSuiteVariants = 2000;

unsigned long numberFromEnvironment(const char* name, unsigned long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtoul(value, nullptr, 10) : fallback;
}

// Seeds: files this program writes, so that mutations start from what is really shared.
std::vector<std::string> seedTexts(const CatalogueSize& catalogue) {
    FieldContents full;
    full.dialect = 1;
    for (std::size_t row = 0; row < full.rows.size(); ++row) {
        const int set = static_cast<int>(row % 3);
        const int count = catalogue.cardsPerSet[static_cast<std::size_t>(set)];
        full.rows[row][0] = CardId{set, static_cast<int>(row) % count};
        if (row % 2 == 0) {
            full.rows[row][1] = CardId{set, count - 1};
        }
    }
    for (int i = 0; i < 12; ++i) {
        full.loose.push_back(LooseCard{CardId{i % 3, i}, 17.25f * static_cast<float>(i),
                                       -99999.5f + static_cast<float>(i)});
    }
    FieldContents small;
    small.rows[29][1] = CardId{2, 0};
    return {writeProgramText(full), writeProgramText(small), writeProgramText(FieldContents{})};
}

class Mutator {
public:
    explicit Mutator(unsigned long seed) : _random(static_cast<std::mt19937::result_type>(seed)) {}

    std::string mutate(std::string text) {
        const int steps = pick(1, 3);
        for (int i = 0; i < steps && !text.empty(); ++i) {
            switch (pick(0, 4)) {
                case 0:
                    text[at(text)] = static_cast<char>(pick(0, 255));
                    break;
                case 1:
                    text.resize(at(text));
                    break;
                case 2:
                    text.insert(at(text), pickFrom(kJunk));
                    break;
                case 3:
                    text.erase(at(text), static_cast<std::size_t>(pick(1, 40)));
                    break;
                default:
                    replaceNumber(text);
                    break;
            }
        }
        return text;
    }

private:
    static inline const std::vector<std::string> kJunk = {"{",
                                                          "}",
                                                          "[",
                                                          "]",
                                                          ",",
                                                          ":",
                                                          "\"",
                                                          "null",
                                                          "true",
                                                          "\"slot\": 1",
                                                          "{\"row\": 5}",
                                                          "\\u0000",
                                                          "\xc3",
                                                          "\xf0\x9f\x98\x80",
                                                          "-",
                                                          "1e999",
                                                          "[[[[[[[[",
                                                          "\"rows\": [],"};
    static inline const std::vector<std::string> kNumbers = {"0",
                                                             "-1",
                                                             "1",
                                                             "2",
                                                             "3",
                                                             "29",
                                                             "30",
                                                             "31",
                                                             "11",
                                                             "12",
                                                             "13",
                                                             "-0",
                                                             "2147483647",
                                                             "2147483648",
                                                             "4294967296",
                                                             "1e5",
                                                             "1e-5",
                                                             "0.5",
                                                             "1.0",
                                                             "100000",
                                                             "100000.01",
                                                             "-100001",
                                                             "9223372036854775807",
                                                             "9223372036854775808",
                                                             "18446744073709551616"};

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(_random); }
    std::size_t at(const std::string& text) {
        return std::uniform_int_distribution<std::size_t>(0, text.size() - 1)(_random);
    }
    const std::string& pickFrom(const std::vector<std::string>& list) {
        return list[static_cast<std::size_t>(pick(0, static_cast<int>(list.size()) - 1))];
    }
    // One number of the text, or one next to it, becomes an edge of some limit.
    void replaceNumber(std::string& text) {
        const std::size_t start = text.find_first_of("-0123456789", at(text));
        if (start == std::string::npos) {
            return;
        }
        const std::size_t end = text.find_first_not_of("-0123456789.e", start);
        text.replace(start, (end == std::string::npos ? text.size() : end) - start,
                     pickFrom(kNumbers));
    }

    std::mt19937 _random;
};

bool isCard(const CardId& card, const CatalogueSize& catalogue) {
    return card.cardSet >= 0 && card.cardSet < static_cast<int>(catalogue.cardsPerSet.size()) &&
           card.cardIndex >= 0 &&
           card.cardIndex < catalogue.cardsPerSet[static_cast<std::size_t>(card.cardSet)];
}

// Why the workspace could not lay these contents as they are; empty when it can.
std::string unlayable(const FieldContents& contents, const CatalogueSize& catalogue) {
    if (contents.dialect < 0 || contents.dialect >= catalogue.dialects) {
        return "dialect " + std::to_string(contents.dialect);
    }
    for (const FieldContents::Row& row : contents.rows) {
        for (const auto& slot : row) {
            if (slot && !isCard(*slot, catalogue)) {
                return "a seated card outside the catalogue";
            }
        }
    }
    if (contents.loose.size() > 1000) {
        return "too many loose cards";
    }
    for (const LooseCard& card : contents.loose) {
        if (!isCard(card.card, catalogue)) {
            return "a loose card outside the catalogue";
        }
        if (!std::isfinite(card.x) || !std::isfinite(card.y) || std::fabs(card.x) > 100000.f ||
            std::fabs(card.y) > 100000.f) {
            return "a loose card far away";
        }
    }
    return {};
}

TEST(ProgramFileFuzzTest, MutatedFilesAreRefusedOrLayable) {
    const CatalogueSize catalogue = storagetest::realCatalogue();
    const std::vector<std::string> seeds = seedTexts(catalogue);
    const unsigned long variants = numberFromEnvironment("ZC_FUZZ_PROGRAM_FILES", kSuiteVariants);
    const unsigned long firstSeed = numberFromEnvironment("ZC_FUZZ_SEED", 1);
    unsigned long accepted = 0;
    for (unsigned long n = 0; n < variants; ++n) {
        const unsigned long seed = firstSeed + n;
        Mutator mutator(seed);
        const std::string text = mutator.mutate(seeds[seed % seeds.size()]);
        const ProgramReading reading = readProgramText(text, catalogue);
        if (!reading.contents) {
            ASSERT_FALSE(reading.problem.empty()) << "seed " << seed << ":\n" << text;
            continue;
        }
        ++accepted;
        ASSERT_EQ(unlayable(*reading.contents, catalogue), "") << "seed " << seed << ":\n" << text;
        // What was accepted is saved again as the same field.
        const ProgramReading again =
            readProgramText(writeProgramText(*reading.contents), catalogue);
        ASSERT_TRUE(again.contents && *again.contents == *reading.contents)
            << "seed " << seed << ":\n"
            << text;
    }
    // Mutations that keep a file readable must occur, or the check above checks nothing (a
    // single seed rerun alone may well be refused).
    if (variants >= 100) {
        EXPECT_GT(accepted, variants / 100);
    }
    RecordProperty("accepted", static_cast<int>(accepted));
}

}  // namespace
