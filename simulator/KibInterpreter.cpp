#include "simulator/KibInterpreter.h"

#include <algorithm>

namespace {

using Kind = KibStatement::Kind;

// WAIT counts sixtieths of a second.
std::int64_t waitMs(int ticks) {
    return (static_cast<std::int64_t>(std::max(ticks, 0)) * 1000 + 30) / 60;
}

}  // namespace

KibInterpreter::KibInterpreter(BoardIo& io, std::int64_t startMs) : Console(io, startMs) {
    _io.pwmFullScale = kPwmFullScale;
}

std::vector<std::string> KibInterpreter::listing() const {
    std::vector<std::string> lines;
    lines.reserve(_program.size());
    for (const auto& entry : _program) {
        lines.push_back(std::to_string(entry.first) + " " + entry.second.text);
    }
    return lines;
}

int KibInterpreter::currentLine() const {
    if (running() && _pc.line < _programLines) {
        return static_cast<int>(_pc.line);
    }
    if (state() == BoardState::Error) {
        return indexOfLine(failedLine());
    }
    return -1;
}

int KibInterpreter::runningLineNumber() const {
    return runningProgram() && _pc.line < _programLines ? _lines[_pc.line]->number : 0;
}

int KibInterpreter::indexOfLine(int number) const {
    const auto found = _program.find(number);
    return found == _program.end() ? -1 : static_cast<int>(std::distance(_program.begin(), found));
}

bool KibInterpreter::opensProgram(std::string_view transfer) {
    const std::size_t start = transfer.find_first_not_of("\r\n ");
    if (start == std::string_view::npos || transfer.compare(start, 3, "NEW") != 0) {
        return false;
    }
    const std::size_t after = start + 3;
    return after == transfer.size() || transfer[after] == '\r' || transfer[after] == '\n';
}

void KibInterpreter::prepareForProgram() {
    endRun(std::string());
    clearInput();
    clearLine();
}

bool KibInterpreter::takeByte(char byte) {
    if (byte == '\033') {
        clearLine();  // the escape key drops a half-typed line
        return true;
    }
    return false;
}

void KibInterpreter::enterLine(const std::string& raw) {
    const std::string text = trimmed(raw);
    if (text.empty()) {
        return;
    }
    if (text[0] < '0' || text[0] > '9') {
        startDirect(text);
        return;
    }
    std::size_t digits = 0;
    long number = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        number = std::min<long>(number * 10 + (text[digits] - '0'), KibParser::kMaxNumber + 1L);
        ++digits;
    }
    if (number < 1 || number > KibParser::kMaxNumber) {
        fail("line number " + text.substr(0, digits) + " is out of range", -1,
             "Line number out of range");
        return;
    }
    const std::string body = trimmed(text.substr(digits));
    const int key = static_cast<int>(number);
    _indexStale = true;
    if (body.empty()) {
        _program.erase(key);
    } else {
        _program[key] = StoredLine{key, body, KibParser::parse(body)};
    }
    setState(BoardState::Receiving);
}

void KibInterpreter::startDirect(const std::string& text) {
    KibLine parsed = KibParser::parse(text);
    if (!parsed.error.empty()) {
        fail(parsed.error, -1, "Syntax error");
        return;
    }
    refreshIndex();
    _programLines = _lines.size();
    _direct = StoredLine{-1, text, std::move(parsed)};
    _directRuns = true;
    _pc = {_programLines, 0};
    _loops.clear();
    beginRun(false);
}

void KibInterpreter::startProgram() {
    refreshIndex();
    _programLines = _lines.size();
    _directRuns = false;
    _pc = {0, 0};
    _loops.clear();
    _variables.fill(0);
    beginRun(true);
    if (_lines.empty()) {
        endRun("there is no program to run");
    }
}

void KibInterpreter::onBreak() {
    const bool inProgram = _pc.line < _programLines;
    endRun(inProgram ? "stopped in line " + std::to_string(codeAt(_pc.line).number)
                     : std::string("stopped"));
}

int KibInterpreter::execute(int budget) {
    int done = 0;
    while (running() && done < budget) {
        ++done;
        if (_pc.line >= codeSize()) {
            endRun("program ended");
            break;
        }
        const StoredLine& line = codeAt(_pc.line);
        if (_pc.statement >= line.parsed.statements.size()) {
            if (!line.parsed.error.empty()) {
                failHere(line.parsed.error, "Syntax error");
            } else if (_pc.line + 1 < _programLines) {
                _pc = {_pc.line + 1, 0};
            } else {
                endRun("program ended");
            }
            continue;
        }
        // `run` may replace the code (RUN, NEW): nothing here reads the line after it.
        if (!run(line.parsed.statements[_pc.statement++])) {
            break;
        }
    }
    return done;
}

bool KibInterpreter::run(const KibStatement& statement) {
    std::array<int, 2> value{};
    for (std::size_t i = 0; i < statement.arguments.size() && i < value.size(); ++i) {
        if (!evaluate(statement.arguments[i], value[i])) {
            return false;
        }
    }
    switch (statement.kind) {
        case Kind::Empty:
        case Kind::Label:
        case Kind::List:
        case Kind::Save:
            return true;
        case Kind::Led:
            _io.led = value[0] != 0;
            return true;
        case Kind::Wait:
            sleepUntil(now() + waitMs(value[0]));
            return false;
        case Kind::Out:
            _io.outputs = value[0] & 0x3F;
            return true;
        case Kind::OutOne:
            if (value[0] < 1 || value[0] > 6) {
                failHere("there is no output " + std::to_string(value[0]), "Illegal argument");
                return false;
            }
            _io.outputs = value[1] != 0 ? _io.outputs | 1 << (value[0] - 1)
                                        : _io.outputs & ~(1 << (value[0] - 1));
            return true;
        case Kind::Pwm:
            _io.pwmFullScale = kPwmFullScale;
            if (!_io.setPwm(value[0], value[1])) {
                failHere("there is no PWM channel " + std::to_string(value[0]), "Illegal argument");
                return false;
            }
            return true;
        case Kind::Beep:
            _io.beep(now());
            return true;
        case Kind::For: {
            // A FOR on a variable that already loops restarts that loop, as in BASIC.
            auto same = std::find_if(_loops.begin(), _loops.end(), [&](const ForLoop& loop) {
                return loop.variable == statement.variable;
            });
            _loops.erase(same, _loops.end());
            if (_loops.size() >= kMaxForDepth) {
                failHere("too many FOR loops inside each other", "Too many FOR loops");
                return false;
            }
            _variables[statement.variable] = value[0];
            _loops.push_back({statement.variable, value[1], _pc});
            return true;
        }
        case Kind::Next: {
            auto loop = _loops.rbegin();
            while (statement.variable >= 0 && loop != _loops.rend() &&
                   loop->variable != statement.variable) {
                ++loop;
            }
            if (loop == _loops.rend()) {
                failHere("NEXT without FOR", "NEXT without FOR");
                return false;
            }
            _loops.erase(loop.base(), _loops.end());
            int& counter = _variables[_loops.back().variable];
            counter = KibParser::wrap(counter + 1);
            if (counter <= _loops.back().limit) {
                _pc = _loops.back().body;
            } else {
                _loops.pop_back();
            }
            return true;
        }
        case Kind::GotoLabel:
            return jumpToLabel(statement.label);
        case Kind::GotoLine:
            return jumpToLine(value[0]);
        case Kind::If:
            if (value[0] == 0) {
                // The rest of the line belongs to the condition.
                _pc.statement = codeAt(_pc.line).parsed.statements.size();
                if (!codeAt(_pc.line).parsed.error.empty()) {
                    _pc = {_pc.line + 1, 0};
                    if (_pc.line >= _programLines) {
                        endRun("program ended");
                        return false;
                    }
                }
            }
            return true;
        case Kind::End:
            endRun("program ended");
            return false;
        case Kind::New:
            _program.clear();
            _lines.clear();
            _indexStale = true;
            endRun(std::string());
            setState(BoardState::Receiving);
            return false;
        case Kind::Run:
            startProgram();
            return false;
    }
    return true;
}

bool KibInterpreter::evaluate(const KibExpression& expression, int& out) {
    std::vector<int> stack;
    for (const KibTerm& term : expression) {
        switch (term.kind) {
            case KibTerm::Kind::Number:
                stack.push_back(term.value);
                continue;
            case KibTerm::Kind::Variable:
                stack.push_back(_variables[term.value]);
                continue;
            case KibTerm::Kind::Button:
                stack.push_back(_io.button ? 1 : 0);
                continue;
            default:
                break;
        }
        if (stack.size() < 2) {
            failHere("not understood", "Syntax error");
            return false;
        }
        const int right = stack.back();
        stack.pop_back();
        int& left = stack.back();
        switch (term.kind) {
            case KibTerm::Kind::Add:
                left = KibParser::wrap(static_cast<std::int64_t>(left) + right);
                break;
            case KibTerm::Kind::Subtract:
                left = KibParser::wrap(static_cast<std::int64_t>(left) - right);
                break;
            case KibTerm::Kind::Equal:
                left = left == right;
                break;
            case KibTerm::Kind::NotEqual:
                left = left != right;
                break;
            case KibTerm::Kind::Less:
                left = left < right;
                break;
            case KibTerm::Kind::Greater:
                left = left > right;
                break;
            case KibTerm::Kind::LessEqual:
                left = left <= right;
                break;
            default:
                left = left >= right;
                break;
        }
    }
    if (stack.size() != 1) {
        failHere("not understood", "Syntax error");
        return false;
    }
    out = stack.back();
    return true;
}

bool KibInterpreter::jumpToLabel(const std::string& label) {
    const auto found = _labels.find(label);
    if (found == _labels.end()) {
        failHere("no line has the label " + label, "Undefined label");
        return false;
    }
    _pc = found->second;
    return true;
}

bool KibInterpreter::jumpToLine(int number) {
    const auto found = _lineIndex.find(number);
    if (found == _lineIndex.end()) {
        failHere("there is no line " + std::to_string(number), "Undefined line number");
        return false;
    }
    _pc = {found->second, 0};
    return true;
}

void KibInterpreter::refreshIndex() {
    if (!_indexStale) {
        return;
    }
    _lines.clear();
    _lineIndex.clear();
    _labels.clear();
    for (const auto& entry : _program) {
        const std::size_t line = _lines.size();
        _lines.push_back(&entry.second);
        _lineIndex.emplace(entry.first, line);
        const auto& statements = entry.second.parsed.statements;
        for (std::size_t i = 0; i < statements.size(); ++i) {
            if (statements[i].kind == Kind::Label) {
                _labels.emplace(statements[i].label, Position{line, i + 1});  // the first wins
            }
        }
    }
    _indexStale = false;
}

void KibInterpreter::failHere(const std::string& what, const char* word) {
    fail(what, _pc.line < codeSize() ? codeAt(_pc.line).number : -1, word);
}

std::string KibInterpreter::errorAnswer(const std::string&, int line, const char* word) const {
    // The board names the error and where it happened, and nothing more.
    const std::string name = word != nullptr ? word : "Syntax error";
    return line > 0 ? name + " in " + std::to_string(line) : name;
}

std::string KibInterpreter::endAnswer(const std::string& message) const {
    // A break is the board's own word for the escape key's stop.
    const std::string stoppedIn = "stopped in line ";
    if (message.compare(0, stoppedIn.size(), stoppedIn) == 0) {
        return "Break in " + message.substr(stoppedIn.size());
    }
    return message == "stopped" ? "Break" : Console::endAnswer(message);
}
