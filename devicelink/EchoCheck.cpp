#include "devicelink/EchoCheck.h"

#include <algorithm>

#include "devicelink/AnswerLines.h"

namespace {

// The sent line as it would come back through AnswerLines, so both sides compare alike.
std::vector<std::string> shownLines(const std::string& text) {
    AnswerLines splitter;
    std::vector<std::string> lines = splitter.feed(text);
    if (!splitter.partial().empty()) {
        lines.push_back(splitter.partial());
    }
    return lines;
}

std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] =
                std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// A line that is neither the expected echo nor a plain answer: bytes that are no text, or
// the expected line with a few characters changed, as a wrong speed or noise leaves it.
bool looksGarbled(const std::string& line, const std::string& expected) {
    if (line.find("\xEF\xBF\xBD") != std::string::npos) {
        return true;
    }
    const std::size_t longer = std::max(line.size(), expected.size());
    return longer >= 4 && editDistance(line, expected) * 3 <= longer;
}

}  // namespace

EchoCheck::EchoCheck(bool boardEchoes) : _echoes(boardEchoes) {}

void EchoCheck::sent(const std::string& chunkText, double at) {
    for (std::string& line : shownLines(chunkText)) {
        _sent.push_back(std::move(line));
    }
    if (_firstSentAt < 0.0 && !_sent.empty()) {
        _firstSentAt = at;
    }
    _lastEvent = std::max(_lastEvent, at);
}

void EchoCheck::sendingEnded(double at) {
    _ended = true;
    _lastEvent = std::max(_lastEvent, at);
}

void EchoCheck::heardBytes(std::size_t count, double at) {
    if (count > 0) {
        _heardAnything = true;
        _lastEvent = std::max(_lastEvent, at);
    }
}

bool EchoCheck::isEcho(const std::string& line, double at) {
    _heardAnything = true;
    _lastEvent = std::max(_lastEvent, at);
    if (!_echoes || _next >= _sent.size()) {
        return false;
    }
    if (line == _sent[_next]) {
        ++_next;
        ++_echoed;
        return true;
    }
    // The board's own answers (OK, an error) come between the echoed lines; anything
    // else in their place is the echo gone wrong, and stands for the line expected.
    if (looksGarbled(line, _sent[_next])) {
        _garbled = true;
        ++_next;
    }
    return false;
}

EchoCheck::Verdict EchoCheck::verdict(double now) const {
    if (!_echoes || _sent.empty()) {
        return Verdict::NotChecked;
    }
    if (_garbled) {
        return Verdict::Garbled;
    }
    if (_echoed == _sent.size()) {
        return Verdict::AllEchoed;
    }
    if (!_heardAnything) {
        return now - _firstSentAt >= kAnswerWithin ? Verdict::Silent : Verdict::Waiting;
    }
    // Something came back, but not the whole echo, and the board has gone quiet.
    return _ended && now - _lastEvent >= kQuietAfterEnd ? Verdict::Garbled : Verdict::Waiting;
}

std::string EchoCheck::words(double now) const {
    switch (verdict(now)) {
        case Verdict::AllEchoed:
            return _sent.size() == 1
                       ? std::string("The board got the line.")
                       : "The board got all " + std::to_string(_sent.size()) + " lines.";
        case Verdict::Silent:
            return "The board did not answer. Is it switched on, and is this its port?";
        case Verdict::Garbled:
            return "The board's answer is garbled: check the cable and the port.";
        case Verdict::NotChecked:
        case Verdict::Waiting:
            return "";
    }
    return "";
}
