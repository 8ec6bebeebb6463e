// What the two dialect interpreters share: the serial input as the board buffers it, the
// break key, the virtual clock with its work budget, and the state the window shows.
// Pure: no engine, no system calls; time only passes through step().
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "simulator/BoardIo.h"

enum class BoardState { Waiting, Receiving, Running, Stopped, Error };

// The word the window shows for a state.
const char* boardStateName(BoardState state);

class Console {
public:
    // Operations a program may run within one millisecond of virtual time; a program
    // that never waits uses them up and time moves on, so nothing can hang the caller.
    static constexpr int kOperationsPerMs = 200;
    // Bytes the board holds while a program runs and does not read them.
    static constexpr std::size_t kInputLimit = 64 * 1024;

    Console(BoardIo& io, std::int64_t startMs);
    virtual ~Console();
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // Bytes as they arrive over the serial line, acted on at the current virtual time.
    void receive(std::string_view bytes);
    // Whether the caller needs its thread back now (its frame's time is up, say).
    using OutOfTime = std::function<bool()>;
    // Lets ms milliseconds of virtual time pass, or less when outOfTime says so first: a
    // program that costs more than the caller can give falls behind instead of holding it.
    void step(std::int64_t ms, const OutOfTime& outOfTime = OutOfTime());

    // Virtual time in milliseconds since the board was switched on.
    std::int64_t now() const { return _now; }
    // What the window shows of the board: waiting, receiving, running, stopped, error.
    BoardState state() const { return _state; }
    // What the board last said: the error, or how the program ended; empty for none.
    const std::string& message() const { return _message; }
    // Virtual time at which running code acts next: now while it runs, later while it
    // sleeps.
    std::int64_t wakeAt() const { return std::max(_wakeAt, _now); }
    // Programs started so far (commands typed at the prompt do not count).
    int programStarts() const { return _programStarts; }
    // What the board has printed on its serial line since last taken, in its own words, a
    // line each: its errors (with the line they happened in) and how a program ended.
    std::string takeAnswers() { return std::exchange(_answers, std::string()); }

    // The program as the board holds it, one entry per line.
    virtual std::vector<std::string> listing() const = 0;
    // Index into listing() of the line that runs now (or failed); -1 for none.
    virtual int currentLine() const = 0;
    // The line of a running program, in the board's own numbering (kib's line numbers, the
    // script's lines from 1 in vemmo); 0 while no program runs.
    virtual int runningLineNumber() const = 0;
    // Leaves whatever runs or is half received, so that a new program is read afresh.
    virtual void prepareForProgram() = 0;

protected:
    // The byte that stops a running program.
    virtual char breakKey() const = 0;
    // A byte the dialect takes before the line editor sees it (the board's own keys,
    // a script being stored); true when it took it.
    virtual bool takeByte(char byte) = 0;
    // A whole line typed at the board's prompt, without its end; may start running code.
    virtual void enterLine(const std::string& text) = 0;
    // Longest line the board's prompt takes.
    virtual std::size_t maxLineLength() const = 0;
    // Runs at most `budget` (> 0) operations at the current time; returns how many it ran,
    // at least one while running. Stops early when the program waits or ends.
    virtual int execute(int budget) = 0;
    // The break key arrived while something ran.
    virtual void onBreak() = 0;
    // The line the board prints for an error: what went wrong, in the line of its own
    // numbering (above 0) or in a typed command (0 or less), called `word` where the board
    // has a name for it.
    virtual std::string errorAnswer(const std::string& what, int line, const char* word) const = 0;
    // The line the board prints when a program ends with the message; empty for none.
    virtual std::string endAnswer(const std::string& message) const;

    bool running() const { return _running; }
    // Starts running code; a program (not a typed command) shows as running.
    void beginRun(bool program);
    // Nothing runs any more; a program's end shows as stopped with the message.
    void endRun(const std::string& message);
    // Nothing runs any more; the board shows the error, blaming a line of its own
    // numbering (above 0), or none, and prints it (named `word`, see errorAnswer).
    void fail(const std::string& what, int line = -1, const char* word = nullptr);
    // The line the last error blamed, or -1.
    int failedLine() const { return _failedLine; }
    // Drops a half-typed line.
    void clearLine();
    // The text without spaces and tabs at either end.
    static std::string trimmed(const std::string& text);
    // The running code sleeps until the virtual time.
    void sleepUntil(std::int64_t ms) { _wakeAt = ms; }
    // Whether the code that runs was started as a program.
    bool runningProgram() const { return _running && _program; }
    void setState(BoardState state, const std::string& message = std::string());

    // Queued input: the next byte (or -1 when none) and whether any waits.
    int takeInput();
    bool hasInput() const { return !_input.empty(); }
    void clearInput() { _input.clear(); }

    BoardIo& _io;

private:
    // Reads queued input while nothing runs: the dialect's own bytes, then lines.
    void interpretInput();
    void advanceTo(std::int64_t target, const OutOfTime& outOfTime = OutOfTime());
    void setNow(std::int64_t ms);

    std::deque<char> _input;
    std::string _line;
    bool _lineTooLong = false;
    int _failedLine = -1;
    std::int64_t _now = 0;
    std::int64_t _wakeAt = 0;
    int _spentThisMs = 0;
    bool _running = false;
    bool _program = false;
    int _programStarts = 0;
    BoardState _state = BoardState::Waiting;
    std::string _message;
    std::string _answers;
};
