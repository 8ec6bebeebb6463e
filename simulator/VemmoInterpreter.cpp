#include "simulator/VemmoInterpreter.h"

#include <algorithm>
#include <sstream>

namespace {

using Op = VemmoInstruction::Op;

constexpr char kEndOfTransmission = '\x04';

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string word; in >> word;) {
        out.push_back(word);
    }
    return out;
}

// The script's 32-bit arithmetic wraps around instead of overflowing.
std::int32_t wrapped(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value & 0xFFFFFFFF));
}

}  // namespace

VemmoInterpreter::VemmoInterpreter(BoardIo& io, std::int64_t startMs) : Console(io, startMs) {
    _io.pwmFullScale = kPwmFullScale;
}

std::vector<std::string> VemmoInterpreter::listing() const {
    std::vector<std::string> lines;
    std::istringstream in(_capturing ? _captured : _script);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

int VemmoInterpreter::currentLine() const {
    if (running() && _runningScript) {
        return _lastLine - 1;
    }
    if (state() == BoardState::Error) {
        return failedLine() > 0 ? failedLine() - 1 : -1;
    }
    return -1;
}

int VemmoInterpreter::runningLineNumber() const {
    return runningProgram() && _runningScript ? std::max(_lastLine, 1) : 0;
}

bool VemmoInterpreter::opensProgram(std::string_view transfer) {
    const std::size_t start = transfer.find_first_not_of("\r\n");
    return start != std::string_view::npos && transfer.compare(start, 12, "cat uart > .") == 0;
}

void VemmoInterpreter::prepareForProgram() {
    endRun(std::string());
    clearInput();
    clearLine();
    _capturing = false;
    _captured.clear();
    _typing = false;
}

bool VemmoInterpreter::takeByte(char byte) {
    if (_capturing) {
        if (byte == kEndOfTransmission) {
            finishCapture();
        } else if (_captured.size() < VemmoCompiler::kMaxScript) {
            _captured.push_back(byte);
        } else {
            _captureTooLong = true;
        }
        return true;
    }
    return byte == kEndOfTransmission;  // ends nothing at the prompt
}

void VemmoInterpreter::enterLine(const std::string& text) {
    if (_typing) {
        enterTypedLine(text);
    } else {
        enterShellLine(text);
    }
}

void VemmoInterpreter::enterShellLine(const std::string& text) {
    const std::vector<std::string> command = words(text);
    if (command.empty()) {
        return;
    }
    if (command == std::vector<std::string>{"cat", "uart", ">", "."}) {
        _capturing = true;
        _captureTooLong = false;
        _captured.clear();
        setState(BoardState::Receiving);
    } else if (command == std::vector<std::string>{"ms", "."}) {
        runScript();
    } else if (command == std::vector<std::string>{"ms"}) {
        _typing = true;
    } else {
        fail("not understood: \"" + trimmed(text).substr(0, 40) + "\"");
    }
}

void VemmoInterpreter::enterTypedLine(const std::string& text) {
    if (trimmed(text).empty()) {
        return;
    }
    // A typed line is a statement of its own: its end may stand for the semicolon.
    VemmoCompilation compiled = VemmoCompiler::compile(text + ";", _typedSymbols);
    if (!compiled.error.empty()) {
        fail(compiled.error);
        return;
    }
    start(std::move(compiled), false);
}

void VemmoInterpreter::finishCapture() {
    _capturing = false;
    if (_captureTooLong) {
        _captured.clear();
        fail("the script is too long");
        return;
    }
    _script.swap(_captured);
    _captured.clear();
    _hasScript = true;
    setState(BoardState::Waiting);
}

void VemmoInterpreter::runScript() {
    if (!_hasScript) {
        fail("there is no script to run");
        return;
    }
    VemmoSymbols symbols;
    VemmoCompilation compiled = VemmoCompiler::compile(_script, symbols);
    if (!compiled.error.empty()) {
        fail(compiled.error, compiled.errorLine);
        return;
    }
    _variables.assign(static_cast<std::size_t>(symbols.count()), 0);
    start(std::move(compiled), true);
}

void VemmoInterpreter::start(VemmoCompilation&& compiled, bool script) {
    _code = std::move(compiled.code);
    _pc = 0;
    _stack.clear();
    _runningScript = script;
    _lastLine = 0;
    if (script) {
        _vars = &_variables;
    } else {
        _typedVariables.resize(static_cast<std::size_t>(_typedSymbols.count()), 0);
        _vars = &_typedVariables;
    }
    beginRun(script);
}

void VemmoInterpreter::onBreak() {
    endRun(_runningScript && _lastLine > 0 ? "stopped in line " + std::to_string(_lastLine)
                                           : std::string("stopped"));
}

int VemmoInterpreter::execute(int budget) {
    int done = 0;
    while (running() && done < budget) {
        ++done;
        if (_pc >= _code.size()) {
            endRun("program ended");
            break;
        }
        const VemmoInstruction& instruction = _code[_pc++];
        _lastLine = instruction.line;
        if (!perform(instruction)) {
            break;
        }
    }
    return done;
}

bool VemmoInterpreter::perform(const VemmoInstruction& instruction) {
    const std::int32_t arg = instruction.arg;
    switch (instruction.op) {
        case Op::Push:
            return push(arg);
        case Op::Load:
            return push(static_cast<std::size_t>(arg) < _vars->size() ? (*_vars)[arg] : 0);
        case Op::Store:
            if (!_stack.empty() && static_cast<std::size_t>(arg) < _vars->size()) {
                (*_vars)[arg] = _stack.back();
            }
            return true;
        case Op::Pop:
            pop();
            return true;
        case Op::Negate:
            return push(wrapped(-static_cast<std::int64_t>(pop())));
        case Op::Invert:
            return push(~pop());
        case Op::Not:
            return push(pop() == 0 ? 1 : 0);
        case Op::Jump:
            _pc = static_cast<std::size_t>(arg);
            return true;
        case Op::JumpIfZero:
            if (pop() == 0) {
                _pc = static_cast<std::size_t>(arg);
            }
            return true;
        case Op::Call:
            return call(static_cast<VemmoBuiltin>(arg));
        default:
            break;
    }
    const std::int64_t right = pop();
    const std::int64_t left = pop();
    switch (instruction.op) {
        case Op::Add:
            return push(wrapped(left + right));
        case Op::Subtract:
            return push(wrapped(left - right));
        case Op::BitOr:
            return push(wrapped(left | right));
        case Op::BitAnd:
            return push(wrapped(left & right));
        case Op::Equal:
            return push(left == right);
        case Op::NotEqual:
            return push(left != right);
        case Op::Less:
            return push(left < right);
        case Op::Greater:
            return push(left > right);
        case Op::LessEqual:
            return push(left <= right);
        default:
            return push(left >= right);
    }
}

bool VemmoInterpreter::call(VemmoBuiltin builtin) {
    switch (builtin) {
        case VemmoBuiltin::Led:
            _io.led = pop() != 0;
            break;
        case VemmoBuiltin::Sleep: {
            const std::int32_t ms = pop();
            sleepUntil(now() + std::max<std::int32_t>(ms, 0));
            push(0);
            return false;
        }
        case VemmoBuiltin::Out:
            _io.outputs = pop() & 0x3F;
            break;
        case VemmoBuiltin::Pwm: {
            const std::int32_t value = pop();
            const std::int32_t channel = pop();
            _io.pwmFullScale = kPwmFullScale;
            if (!_io.setPwm(channel, value)) {
                failHere("there is no PWM channel " + std::to_string(channel));
                return false;
            }
            break;
        }
        case VemmoBuiltin::Beep:
            _io.beep(now());
            break;
        case VemmoBuiltin::Btn:
            return push(_io.button ? 1 : 0);
        case VemmoBuiltin::Uart:
            return push(takeInput());
        case VemmoBuiltin::Exit:
            if (!_runningScript) {
                _typing = false;
            }
            endRun("program ended");
            return false;
    }
    return push(0);
}

bool VemmoInterpreter::push(std::int32_t value) {
    if (_stack.size() >= kMaxStack) {
        failHere("the script is too complex");
        return false;
    }
    _stack.push_back(value);
    return true;
}

std::int32_t VemmoInterpreter::pop() {
    if (_stack.empty()) {
        return 0;
    }
    const std::int32_t value = _stack.back();
    _stack.pop_back();
    return value;
}

void VemmoInterpreter::failHere(const std::string& what) {
    fail(what, _runningScript ? _lastLine : -1);
}

std::string VemmoInterpreter::errorAnswer(const std::string& what, int line, const char*) const {
    return (line > 0 ? "Error in line " + std::to_string(line) + ": " : std::string("Error: ")) +
           what;
}
