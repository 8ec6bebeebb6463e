#include "devicelink/EchoCheck.h"

#include <algorithm>

#include "devicelink/AnswerLines.h"
#include "lang/Translate.h"

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";

// Control bytes sent (a stop key, an end-of-script byte) come back, if at all, as marks
// the shown line has in their place: both sides are compared without them.
std::string withoutControls(const std::string& text) {
    std::string kept;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 || c == '\r' || c == '\n' || c == '\t') {
            kept.push_back(c);
        }
    }
    return kept;
}

std::string withoutReplacements(std::string line) {
    for (std::size_t at = line.find(kReplacement); at != std::string::npos;
         at = line.find(kReplacement, at)) {
        line.erase(at, sizeof(kReplacement) - 1);
    }
    return line;
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
    if (line.find(kReplacement) != std::string::npos) {
        return true;
    }
    const std::size_t longer = std::max(line.size(), expected.size());
    return longer >= 4 && editDistance(line, expected) * 3 <= longer;
}

}  // namespace

EchoCheck::EchoCheck(bool boardEchoes, bool judged) : _echoes(boardEchoes), _judged(judged) {}

void EchoCheck::sent(const std::string& chunkText, double at) {
    // A line may be sent over several chunks: the splitter keeps its beginning.
    for (std::string& line : _sentLines.feed(withoutControls(chunkText))) {
        _sent.push_back(std::move(line));
    }
    if (_firstSentAt < 0.0 && !_sent.empty()) {
        _firstSentAt = at;
    }
    _lastEvent = std::max(_lastEvent, at);
}

void EchoCheck::sendingEnded(double at) {
    // A last line without its line end is typed all the same, and echoed.
    if (!_sentLines.partial().empty()) {
        _sent.push_back(_sentLines.partial());
        _sentLines.clear();
    }
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
    if (line == _sent[_next] || withoutReplacements(line) == _sent[_next]) {
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
    if (!_echoes || !_judged || _sent.empty()) {
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
            return lang::trn("The board got the line.", "The board got all {count} lines.",
                             _sent.size());
        case Verdict::Silent:
            return lang::tr("The board did not answer. Is it switched on, and is this its port?");
        case Verdict::Garbled:
            return lang::tr("The board's answer is garbled: check the cable and the port.");
        case Verdict::NotChecked:
        case Verdict::Waiting:
            return "";
    }
    return "";
}
