#include "simulator/Console.h"
#include "lang/Translate.h"

#include <algorithm>

const char* boardStateName(BoardState state) {
    switch (state) {
        case BoardState::Waiting:
            return lang::mark("waiting");
        case BoardState::Receiving:
            return lang::mark("receiving");
        case BoardState::Running:
            return lang::mark("running");
        case BoardState::Stopped:
            return lang::mark("stopped");
        case BoardState::Error:
            return lang::mark("error");
    }
    return "";
}

Console::Console(BoardIo& io, std::int64_t startMs) : _io(io), _now(startMs), _wakeAt(startMs) {}

Console::~Console() = default;

void Console::receive(std::string_view bytes) {
    for (char byte : bytes) {
        if (_running && byte == breakKey()) {
            onBreak();
        } else if (_input.size() < kInputLimit) {
            _input.push_back(byte);
        }
        // The board reacts to each byte as it arrives: a command line ends, a program
        // starts, and the next byte may already be the key that stops it.
        advanceTo(_now);
    }
}

void Console::step(std::int64_t ms, const OutOfTime& outOfTime) {
    advanceTo(_now + std::max<std::int64_t>(ms, 0), outOfTime);
}

void Console::advanceTo(std::int64_t target, const OutOfTime& outOfTime) {
    for (;;) {
        if (outOfTime && outOfTime()) {
            return;  // virtual time stays where the work got to
        }
        if (!_running) {
            interpretInput();
            if (!_running) {
                break;
            }
        }
        if (_wakeAt > target) {
            break;
        }
        if (_wakeAt > _now) {
            setNow(_wakeAt);
        }
        const int left = kOperationsPerMs - _spentThisMs;
        if (left <= 0) {
            if (_now >= target) {
                break;
            }
            setNow(_now + 1);
            continue;
        }
        _spentThisMs += std::max(1, execute(left));
    }
    if (target > _now) {
        setNow(target);
    }
}

void Console::setNow(std::int64_t ms) {
    if (ms != _now) {
        _now = ms;
        _spentThisMs = 0;
    }
}

void Console::beginRun(bool program) {
    _running = true;
    _program = program;
    _wakeAt = _now;
    if (program) {
        ++_programStarts;
        // Each program drives at full speed until it sets a PWM channel itself.
        _io.pwmSet = {false, false};
        setState(BoardState::Running);
    }
}

void Console::endRun(const std::string& message) {
    if (_running && _program) {
        setState(BoardState::Stopped, message);
        const std::string said = message.empty() ? std::string() : endAnswer(message);
        if (!said.empty()) {
            _answers += said + "\n";
        }
    }
    _running = false;
    _program = false;
    _wakeAt = _now;
}

void Console::interpretInput() {
    while (!_running) {
        const int byte = takeInput();
        if (byte < 0) {
            return;
        }
        const char c = static_cast<char>(byte);
        if (takeByte(c)) {
            continue;
        }
        if (c == '\n') {
            std::string text;
            text.swap(_line);
            if (_lineTooLong) {
                _lineTooLong = false;
                fail("line too long: \"" + text.substr(0, 40) + "...\"", -1, "Line too long");
            } else {
                enterLine(text);
            }
        } else if (c == '\b' || c == '\x7f') {
            if (!_line.empty()) {
                _line.pop_back();
            }
        } else if (c != '\r') {
            if (_line.size() < maxLineLength()) {
                _line.push_back(c);
            } else {
                _lineTooLong = true;
            }
        }
    }
}

void Console::clearLine() {
    _line.clear();
    _lineTooLong = false;
}

std::string Console::trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

void Console::fail(const std::string& what, int line, const char* word) {
    _failedLine = line;
    _running = false;
    _program = false;
    _wakeAt = _now;
    setState(BoardState::Error, line > 0 ? "line " + std::to_string(line) + ": " + what : what);
    _answers += errorAnswer(what, line, word) + "\n";
}

std::string Console::endAnswer(const std::string& message) const {
    std::string said = message;
    if (!said.empty() && said[0] >= 'a' && said[0] <= 'z') {
        said[0] = static_cast<char>(said[0] - 'a' + 'A');
    }
    return said;
}

void Console::setState(BoardState state, const std::string& message) {
    _state = state;
    _message = message;
}

int Console::takeInput() {
    if (_input.empty()) {
        return -1;
    }
    const auto byte = static_cast<unsigned char>(_input.front());
    _input.pop_front();
    return byte;
}
