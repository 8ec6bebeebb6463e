#include "simulator/Board.h"

#include "simulator/KibInterpreter.h"
#include "simulator/VemmoInterpreter.h"

#include <utility>

namespace {

std::unique_ptr<Console> makeConsole(Dialect dialect, BoardIo& io, std::int64_t startMs) {
    if (dialect == Dialect::Vemmo) {
        return std::make_unique<VemmoInterpreter>(io, startMs);
    }
    return std::make_unique<KibInterpreter>(io, startMs);
}

}  // namespace

Board::Board() : _console(makeConsole(Dialect::Kib, _io, 0)) {}

Board::~Board() = default;

void Board::receiveTransfer(std::string_view bytes) {
    if (bytes.empty()) {
        return;
    }
    beginTransfer(bytes);
    receive(bytes);
    endTransfer();
}

void Board::beginTransfer(std::string_view whole) {
    _stopping = false;
    if (whole.empty()) {
        return;
    }
    // Each dialect's stop key comes first in its stop transfer.
    _stopping = whole.front() == '\033' || whole.front() == ' ';
    if (whole.front() == '\033') {
        switchTo(Dialect::Kib);
    } else if (whole.front() == ' ') {
        switchTo(Dialect::Vemmo);
    } else if (KibInterpreter::opensProgram(whole)) {
        switchTo(Dialect::Kib);
        _console->prepareForProgram();
    } else if (VemmoInterpreter::opensProgram(whole)) {
        switchTo(Dialect::Vemmo);
        _console->prepareForProgram();
    }
}

void Board::endTransfer() {
    if (_stopping) {
        // The reset text switches the outputs off; a board left with its LED lit would
        // look as if it still ran, so stop leaves it dark too.
        _io.led = false;
    }
    _stopping = false;
}

void Board::receive(std::string_view bytes) {
    _console->receive(bytes);
}

void Board::step(std::int64_t ms, const Console::OutOfTime& outOfTime) {
    _console->step(ms, outOfTime);
}

void Board::setButton(bool pressed) {
    _io.button = pressed;
}

void Board::switchTo(Dialect dialect) {
    if (dialect == _dialect) {
        return;
    }
    // Another board was plugged in: it starts with everything off.
    const std::int64_t now = _console->now();
    _answersBefore += _console->takeAnswers();
    _io.reset();
    _dialect = dialect;
    _console = makeConsole(dialect, _io, now);
}

std::string Board::takeAnswers() {
    return std::exchange(_answersBefore, std::string()) + _console->takeAnswers();
}
