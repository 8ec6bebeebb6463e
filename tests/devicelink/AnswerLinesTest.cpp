// Received bytes to lines a beginner may be shown, and the line numbers of the board's
// errors: what the workspace marks a row by.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "devicelink/AnswerLines.h"

namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

std::vector<std::string> linesOf(const std::vector<std::string>& pieces) {
    AnswerLines reader;
    std::vector<std::string> all;
    for (const std::string& piece : pieces) {
        for (const std::string& line : reader.feed(piece))
            all.push_back(line);
    }
    return all;
}

}  // namespace

// However the bytes are cut into pieces, the same lines come out.
TEST(AnswerLines, LineEndsAndHarmlessTextWhateverThePieces) {
    const std::string e9 = "\xC3\xA9";  // é
    const struct {
        std::vector<std::string> pieces;
        std::vector<std::string> lines;
    } cases[] = {
        {{"OK\r\nSyntax error in 20\r\n"}, {"OK", "Syntax error in 20"}},
        {{"OK\r", "\nNext\r", "\n"}, {"OK", "Next"}},
        {{"a\rb\nc\n\n\r\n"}, {"a", "b", "c"}},
        {{"no end yet"}, {}},
        {{std::string("N\0U\x1b[2JL\x7f", 9), "\n"},
         {"N" + kReplacement + "U" + kReplacement + "[2JL" + kReplacement}},
        {{"caf\xC3", "\xA9\n"}, {"caf" + e9}},
        {{"\xC3\n"}, {kReplacement}},
        {{"\xC3(\n"}, {kReplacement + "("}},
        {{"\xFF\xC0\xAF\n"}, {kReplacement + kReplacement + kReplacement}},
        {{"\xED\xA0\x80x\n"}, {kReplacement + kReplacement + kReplacement + "x"}},
        {{"\xC2\x9B"
          "2J\n"},
         {kReplacement + "2J"}},
        {{"\tindent\n"}, {" indent"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(linesOf(c.pieces), c.lines) << testing::PrintToString(c.pieces);
    }
}

// A board that floods without a line end costs one cut line; the next line is whole again.
TEST(AnswerLines, FloodWithoutLineEndIsCutAndBounded) {
    AnswerLines reader;
    const std::string megabyte(1 << 20, 'x');
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(reader.feed(megabyte).empty());
    EXPECT_LE(reader.partial().size(), AnswerLines::kLongestLine + 3);
    const std::vector<std::string> lines = reader.feed("\nOK\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(AnswerLines::kLongestLine, 'x') + "\xE2\x80\xA6");
    EXPECT_EQ(lines[1], "OK");
    EXPECT_EQ(linesOf({std::string(AnswerLines::kLongestLine, 'y') + "\n"})[0],
              std::string(AnswerLines::kLongestLine, 'y'))
        << "a line of the longest length is not cut";
    const std::string nuls(1 << 20, '\0');
    reader.feed(nuls);
    EXPECT_LE(reader.partial().size(), 3 * AnswerLines::kLongestLine + 3);
}

TEST(AnswerLog, KeepsTheLastLinesAndCountsTheUnseen) {
    AnswerLog log;
    for (int i = 0; i < 1000; ++i)
        log.add(std::to_string(i));
    ASSERT_EQ(log.lines().size(), AnswerLog::kKeptLines);
    EXPECT_GE(AnswerLog::kKeptLines, 200u);
    EXPECT_EQ(log.lines().back(), "999");
    EXPECT_EQ(log.lines().front(), std::to_string(1000 - AnswerLog::kKeptLines));
    EXPECT_EQ(log.unseen(), 1000u);
    log.markSeen();
    log.add("new");
    EXPECT_EQ(log.unseen(), 1u);
    log.clear();
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(log.unseen(), 0u);
}

TEST(BoardErrors, TheLineNumberOfAnErrorAsTheBoardNamesIt) {
    using S = AnswerStyle;
    const struct {
        const char* line;
        AnswerStyle style;
        std::optional<int> number;
        const char* message;
    } cases[] = {
        {"Syntax error in 20", S::LineNumbered, 20, "Syntax error"},
        {"Illegal argument in 30", S::LineNumbered, 30, "Illegal argument"},
        {"  Out of memory in 1000  ", S::LineNumbered, 1000, "Out of memory"},
        {"Syntax error", S::LineNumbered, std::nullopt, ""},
        {"OK", S::LineNumbered, std::nullopt, ""},
        {"20 PRINT x in 30", S::LineNumbered, std::nullopt, ""},
        {"Break in 40", S::LineNumbered, std::nullopt, ""},
        {"Syntax error in 20x", S::LineNumbered, std::nullopt, ""},
        {"Syntax error in 99999999", S::LineNumbered, std::nullopt, ""},
        {"line 12", S::LineNumbered, std::nullopt, ""},
        {"error: line 12: unknown name", S::Script, 12, "error: line 12: unknown name"},
        {"Line  7 bad", S::Script, 7, "Line  7 bad"},
        {"script.v:12: expected ;", S::Script, 12, "script.v:12: expected ;"},
        {"baseline 12", S::Script, std::nullopt, ""},
        {"line 3a", S::Script, std::nullopt, ""},
        {"ready", S::Script, std::nullopt, ""},
        {"at 10:30 ok", S::Script, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        const std::optional<BoardError> found = findBoardError(c.line, c.style);
        ASSERT_EQ(found.has_value(), c.number.has_value()) << c.line;
        if (found) {
            EXPECT_EQ(found->lineNumber, *c.number) << c.line;
            EXPECT_EQ(found->message, c.message) << c.line;
        }
    }
}
