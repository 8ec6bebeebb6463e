// The kib board: a BASIC console that stores numbered lines, runs them on RUN, carries out
// other lines at once (OUT0 after a stop), and stops a running program on the escape key.
// Pure: no engine, no system calls; time passes only through Console::step.
#pragma once

#include <array>
#include <map>
#include <string>
#include <unordered_map>

#include "simulator/Console.h"
#include "simulator/KibParser.h"

class KibInterpreter : public Console {
public:
    // Full duty of the PWM command.
    static constexpr int kPwmFullScale = 255;
    // FOR loops that may be open at once.
    static constexpr std::size_t kMaxForDepth = 16;

    KibInterpreter(BoardIo& io, std::int64_t startMs);

    // Whether a whole transfer begins with this dialect's opening of a program.
    static bool opensProgram(std::string_view transfer);

    std::vector<std::string> listing() const override;
    int currentLine() const override;
    int runningLineNumber() const override;
    void prepareForProgram() override;

protected:
    char breakKey() const override { return '\033'; }
    bool takeByte(char byte) override;
    void enterLine(const std::string& text) override;
    std::size_t maxLineLength() const override { return KibParser::kMaxLineLength; }
    int execute(int budget) override;
    void onBreak() override;
    std::string errorAnswer(const std::string& what, int line, const char* word) const override;
    std::string endAnswer(const std::string& message) const override;

private:
    struct StoredLine {
        int number = -1;   // -1 for a typed command
        std::string text;  // as typed after the number
        KibLine parsed;
    };
    // Where the program goes on: a line of `_code` and a statement within it.
    struct Position {
        std::size_t line = 0;
        std::size_t statement = 0;
    };
    struct ForLoop {
        int variable;
        int limit;
        Position body;
    };

    void startDirect(const std::string& text);
    void startProgram();
    // Carries out the statement at the position; false when the run is over.
    bool run(const KibStatement& statement);
    bool evaluate(const KibExpression& expression, int& out);
    bool jumpToLabel(const std::string& label);
    bool jumpToLine(int number);
    // Fails in the line that runs; word: the board's name for the error.
    void failHere(const std::string& what, const char* word);
    // Index in the listing of a stored line's number; -1 when there is none.
    int indexOfLine(int number) const;
    // Makes the line order and the indexes match the stored program.
    void refreshIndex();
    // What runs: the stored lines, then the typed command (if one runs).
    const StoredLine& codeAt(std::size_t line) const {
        return line < _lines.size() ? *_lines[line] : _direct;
    }
    std::size_t codeSize() const { return _lines.size() + (_directRuns ? 1 : 0); }

    std::map<int, StoredLine> _program;

    // The stored lines in order, and where each line number and label leads. Rebuilt only
    // after the program changed (nothing changes it while code runs, NEW aside), so a RUN
    // inside a program copies nothing and every jump costs the same at any length.
    std::vector<const StoredLine*> _lines;
    std::unordered_map<int, std::size_t> _lineIndex;
    std::unordered_map<std::string, Position> _labels;
    bool _indexStale = true;
    StoredLine _direct;
    bool _directRuns = false;
    std::size_t _programLines = 0;
    Position _pc;
    std::vector<ForLoop> _loops;
    std::array<int, 26> _variables{};
};
