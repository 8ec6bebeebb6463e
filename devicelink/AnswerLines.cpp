#include "devicelink/AnswerLines.h"

#include <cctype>

namespace {

// U+FFFD, shown for every byte that is not text.
constexpr char kReplacement[] = "\xEF\xBF\xBD";
constexpr char kEllipsis[] = "\xE2\x80\xA6";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string lowered(const std::string& text) {
    std::string low = text;
    for (char& c : low) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return low;
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A number of at most six digits, so that no board's text overflows it.
std::optional<int> numberAt(const std::string& text, std::size_t from, std::size_t& end) {
    end = from;
    while (end < text.size() && isDigit(text[end]) && end - from < 7) {
        ++end;
    }
    if (end == from || end - from > 6) {
        return std::nullopt;
    }
    return std::stoi(text.substr(from, end - from));
}

// "<words> in <N>": words that begin with a letter, so that the echo of a numbered line
// ("20 PRINT ...") is never one. An interruption by the stop key names its line the same
// way but is no error of the program.
std::optional<BoardError> numberedError(const std::string& line) {
    const std::string text = trimmed(line);
    const std::size_t in = text.rfind(" in ");
    if (in == std::string::npos || in == 0 || !std::isalpha(static_cast<unsigned char>(text[0]))) {
        return std::nullopt;
    }
    std::size_t end = 0;
    const std::optional<int> number = numberAt(text, in + 4, end);
    if (!number || end != text.size()) {
        return std::nullopt;
    }
    const std::string words = trimmed(text.substr(0, in));
    const std::string low = lowered(words);
    if (low == "break" || low == "stop" || low == "stopped") {
        return std::nullopt;
    }
    return BoardError{*number, words};
}

// "line 12" as a word, or ":12:".
std::optional<BoardError> scriptError(const std::string& line) {
    const std::string low = lowered(line);
    for (std::size_t at = low.find("line"); at != std::string::npos;
         at = low.find("line", at + 1)) {
        const bool wordStart = at == 0 || !std::isalnum(static_cast<unsigned char>(low[at - 1]));
        std::size_t from = at + 4;
        if (!wordStart || from >= low.size() || low[from] != ' ') {
            continue;
        }
        while (from < low.size() && low[from] == ' ') {
            ++from;
        }
        std::size_t end = 0;
        const std::optional<int> number = numberAt(low, from, end);
        if (number && (end == low.size() || !std::isalnum(static_cast<unsigned char>(low[end])))) {
            return BoardError{*number, trimmed(line)};
        }
    }
    for (std::size_t at = low.find(':'); at != std::string::npos; at = low.find(':', at + 1)) {
        std::size_t end = 0;
        const std::optional<int> number = numberAt(low, at + 1, end);
        if (number && end < low.size() && low[end] == ':') {
            return BoardError{*number, trimmed(line)};
        }
    }
    return std::nullopt;
}

// How many bytes a UTF-8 character that starts with `lead` has; 0 when it starts none.
std::size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

// Whether `next` may follow the bytes so far: overlong forms, surrogates and code points
// past U+10FFFF are refused at their second byte, as a strict decoder does.
bool mayContinue(const std::string& sequence, unsigned char next) {
    if ((next & 0xC0) != 0x80) {
        return false;
    }
    if (sequence.size() != 1) {
        return true;
    }
    const auto lead = static_cast<unsigned char>(sequence[0]);
    switch (lead) {
        case 0xE0:
            return next >= 0xA0;
        case 0xED:
            return next <= 0x9F;
        case 0xF0:
            return next >= 0x90;
        case 0xF4:
            return next <= 0x8F;
        default:
            return true;
    }
}

// The C1 controls (U+0080 to U+009F) move a terminal's cursor as the C0 ones do.
bool isC1Control(const std::string& utf8) {
    return utf8.size() == 2 && static_cast<unsigned char>(utf8[0]) == 0xC2 &&
           static_cast<unsigned char>(utf8[1]) <= 0x9F;
}

}  // namespace

std::optional<BoardError> findBoardError(const std::string& line, AnswerStyle style) {
    return style == AnswerStyle::LineNumbered ? numberedError(line) : scriptError(line);
}

std::vector<std::string> AnswerLines::feed(const std::string& bytes) {
    std::vector<std::string> done;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (!_sequence.empty()) {
            if (mayContinue(_sequence, byte)) {
                _sequence.push_back(c);
                if (_sequence.size() == _sequenceLength) {
                    putCharacter(_sequence);
                    _sequence.clear();
                }
                continue;
            }
            // Cut short: the bytes so far stand for one broken character; this byte
            // starts afresh.
            _sequence.clear();
            putCharacter(kReplacement);
        }
        if (byte == '\n' || byte == '\r') {
            if (!(byte == '\n' && _afterCr)) {
                endLine(done);
            }
            _afterCr = byte == '\r';
            continue;
        }
        _afterCr = false;
        putByte(byte);
    }
    return done;
}

void AnswerLines::putByte(unsigned char byte) {
    if (byte == '\t') {
        putCharacter(" ");
    } else if (byte < 0x20 || byte == 0x7F) {
        putCharacter(kReplacement);
    } else if (byte < 0x80) {
        putCharacter(std::string(1, static_cast<char>(byte)));
    } else if (const std::size_t length = sequenceLength(byte); length > 0) {
        _sequence.assign(1, static_cast<char>(byte));
        _sequenceLength = length;
    } else {
        putCharacter(kReplacement);
    }
}

void AnswerLines::putCharacter(const std::string& utf8) {
    if (_cut) {
        return;
    }
    if (_characters == kLongestLine) {
        _line += kEllipsis;
        _cut = true;
        return;
    }
    _line += isC1Control(utf8) ? std::string(kReplacement) : utf8;
    ++_characters;
}

void AnswerLines::endLine(std::vector<std::string>& done) {
    if (!_sequence.empty()) {
        _sequence.clear();
        putCharacter(kReplacement);
    }
    if (!trimmed(_line).empty()) {
        done.push_back(_line);
    }
    _line.clear();
    _characters = 0;
    _cut = false;
}

void AnswerLines::clear() {
    _line.clear();
    _characters = 0;
    _cut = false;
    _afterCr = false;
    _sequence.clear();
}

void AnswerLog::add(const std::string& line) {
    _lines.push_back(line);
    if (_lines.size() > kKeptLines) {
        _lines.pop_front();
    }
    ++_unseen;
}

void AnswerLog::clear() {
    _lines.clear();
    _unseen = 0;
}
