// findUnmatchedLoops: which repeat cards have no end card after them and which end cards
// have no repeat before them, in the order the board runs the rows.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <tuple>
#include <vector>

#include "generation/LoopCheck.h"
#include "tests/support/FreshSelection.h"

// Found by the comparison and the failure messages beside the type.
bool operator==(const LoopProblem& a, const LoopProblem& b) {
    return std::tie(a.row, a.strayEnd) == std::tie(b.row, b.strayEnd);
}

void PrintTo(const LoopProblem& p, std::ostream* os) {
    *os << (p.strayEnd ? "stray end in row " : "open repeat in row ") << p.row;
}

namespace {

using Rows = std::vector<std::vector<std::optional<CardId>>>;

constexpr CardId kLed{0, 0};
constexpr CardId kForever{0, 4};
constexpr CardId kForeverEnd{0, 5};
constexpr CardId kThreeTimes{2, 5};
constexpr CardId kThreeTimesEnd{2, 6};
constexpr CardId kFiveTimesEnd{2, 8};

struct Placed {
    int row;
    int column;
    CardId card;
};

TEST(LoopCheckTest, RepeatsWithoutEndsAndEndsWithoutRepeatsAreFoundByRow) {
    FreshSelection selection;
    struct Case {
        const char* name;
        std::vector<Placed> cards;
        std::vector<LoopProblem> expected;
    };
    const std::vector<Case> cases{
        {"blink", {{0, 0, kForever}, {1, 0, kLed}, {3, 0, kForeverEnd}}, {}},
        {"repeat left open", {{2, 0, kForever}, {3, 1, kLed}}, {{2, false}}},
        {"end with nothing before it", {{4, 1, kForeverEnd}}, {{4, true}}},
        {"end above its repeat", {{1, 0, kForeverEnd}, {3, 0, kForever}}, {{1, true}, {3, false}}},
        {"both in one row, in reading order", {{5, 0, kThreeTimes}, {5, 1, kThreeTimesEnd}}, {}},
        {"the same row the wrong way round",
         {{5, 0, kThreeTimesEnd}, {5, 1, kThreeTimes}},
         {{5, true}, {5, false}}},
        {"counted ends close any counted repeat, nested in a forever one",
         {{0, 0, kForever}, {1, 0, kThreeTimes}, {2, 0, kFiveTimesEnd}, {3, 0, kForeverEnd}},
         {}},
        {"a forever end does not close a counted repeat",
         {{0, 0, kThreeTimes}, {1, 0, kForeverEnd}},
         {{0, false}, {1, true}}},
        {"two repeats, one end: the outer one stays open",
         {{0, 0, kForever}, {1, 0, kForever}, {2, 0, kForeverEnd}},
         {{0, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rows rows(kFieldRowCount, std::vector<std::optional<CardId>>(kFieldSlotCount));
        for (const Placed& p : c.cards) {
            rows[static_cast<std::size_t>(p.row)][static_cast<std::size_t>(p.column)] = p.card;
        }
        EXPECT_EQ(findUnmatchedLoops(rows), c.expected);
    }
}

}  // namespace
