// The simulated board as a whole: takes whole transfers, tells the dialect from how they
// begin (a kib or vemmo program, or that dialect's stop key), and hands them to that
// dialect's interpreter. Pure: no engine, no system calls; time passes only through step().
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "catalogue/Dialect.h"
#include "simulator/BoardIo.h"
#include "simulator/Console.h"

class Board {
public:
    Board();
    ~Board();
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    // One whole transfer, as a transfer tool receives it. A transfer that opens a program
    // replaces whatever runs (the user pressed play); one that begins with the stop key
    // leaves the LED dark as well as the outputs (the user pressed stop).
    void receiveTransfer(std::string_view bytes);
    // The same transfer taken in over several calls, so that a long one need not hold the
    // caller: begin with the whole transfer (its beginning tells the dialect), then its
    // bytes in order through receive(), then end.
    void beginTransfer(std::string_view whole);
    void endTransfer();
    // Bytes of the serial line, to the board of the current dialect.
    void receive(std::string_view bytes);
    // Lets ms milliseconds of virtual time pass, or less when outOfTime says so first.
    void step(std::int64_t ms, const Console::OutOfTime& outOfTime = Console::OutOfTime());
    // The user holds or lets go of the push button.
    void setButton(bool pressed);

    // The dialect of the last transfer that named one (kib until then).
    Dialect dialect() const { return _dialect; }
    // LED, outputs, PWM, buzzer and button as they are now.
    const BoardIo& io() const { return _io; }
    // The interpreter of the current dialect: state, message, program and running line.
    const Console& console() const { return *_console; }
    // What the board has printed since last taken (see Console::takeAnswers), also across
    // a change of dialect.
    std::string takeAnswers();
    // Virtual time in milliseconds.
    std::int64_t now() const { return _console->now(); }

private:
    void switchTo(Dialect dialect);

    BoardIo _io;
    Dialect _dialect = Dialect::Kib;
    bool _stopping = false;  // the transfer being taken in began with the stop key
    std::unique_ptr<Console> _console;
    std::string _answersBefore;  // printed by the board of the dialect before
};
