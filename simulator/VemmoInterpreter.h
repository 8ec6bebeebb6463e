// The vemmo board: a shell that stores a script sent after "cat uart > ." up to the
// end-of-transmission character, runs it on "ms .", and carries out typed lines after "ms"
// until exit(); a space stops what runs. Pure: no engine, no system calls.
#pragma once

#include "simulator/Console.h"
#include "simulator/VemmoCompiler.h"

class VemmoInterpreter : public Console {
public:
    // Full duty of pwm().
    static constexpr int kPwmFullScale = 2550;
    // Values a running script may keep on its stack.
    static constexpr std::size_t kMaxStack = 256;

    VemmoInterpreter(BoardIo& io, std::int64_t startMs);

    // Whether a whole transfer begins with this dialect's opening of a program.
    static bool opensProgram(std::string_view transfer);

    std::vector<std::string> listing() const override;
    int currentLine() const override;
    int runningLineNumber() const override;
    void prepareForProgram() override;

protected:
    char breakKey() const override { return ' '; }
    bool takeByte(char byte) override;
    void enterLine(const std::string& text) override;
    std::size_t maxLineLength() const override { return 1024; }
    int execute(int budget) override;
    void onBreak() override;
    std::string errorAnswer(const std::string& what, int line, const char* word) const override;

private:
    void enterShellLine(const std::string& text);
    void enterTypedLine(const std::string& text);
    void finishCapture();
    void runScript();
    void start(VemmoCompilation&& compiled, bool script);
    // Carries out one instruction; false when the run pauses or is over.
    bool perform(const VemmoInstruction& instruction);
    // Carries out one call; false when the run pauses or is over.
    bool call(VemmoBuiltin builtin);
    bool push(std::int32_t value);
    std::int32_t pop();
    void failHere(const std::string& what);

    bool _capturing = false;
    bool _captureTooLong = false;
    std::string _captured;
    std::string _script;
    bool _hasScript = false;
    bool _typing = false;  // after "ms": lines are carried out as they come
    VemmoSymbols _typedSymbols;
    std::vector<std::int32_t> _typedVariables;

    std::vector<VemmoInstruction> _code;
    std::size_t _pc = 0;
    std::vector<std::int32_t> _stack;
    std::vector<std::int32_t> _variables;
    std::vector<std::int32_t>* _vars = &_variables;  // the script's or the typed lines'
    bool _runningScript = false;
    int _lastLine = 0;
};
