#include "simulator/KibParser.h"

#include <algorithm>
#include <cctype>

namespace {

using Kind = KibStatement::Kind;
using Term = KibTerm::Kind;

// Parentheses deeper than this are refused rather than followed.
constexpr int kMaxNesting = 16;
// Characters of a statement quoted in an error.
constexpr std::size_t kQuoteLength = 40;

bool isLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Walks an upper-cased line. BASIC keywords need no space after them ("OUT0", "LED1").
class Cursor {
public:
    explicit Cursor(std::string text) : _text(std::move(text)) {}

    std::size_t position() const { return _pos; }
    void skipSpaces() {
        while (_pos < _text.size() && (_text[_pos] == ' ' || _text[_pos] == '\t')) {
            ++_pos;
        }
    }
    char peek() {
        skipSpaces();
        return _pos < _text.size() ? _text[_pos] : '\0';
    }
    // By position, not by peek(): a NUL byte in the text is not its end.
    bool atEnd() {
        skipSpaces();
        return _pos >= _text.size();
    }
    bool accept(char c) {
        if (peek() != c || c == '\0') {
            return false;
        }
        ++_pos;
        return true;
    }
    bool acceptWord(std::string_view word) {
        skipSpaces();
        if (_text.compare(_pos, word.size(), word) != 0) {
            return false;
        }
        _pos += word.size();
        return true;
    }
    // A decimal number up to the board's largest.
    bool number(int& out) {
        skipSpaces();
        if (_pos >= _text.size() || !isDigit(_text[_pos])) {
            return false;
        }
        long value = 0;
        while (_pos < _text.size() && isDigit(_text[_pos])) {
            value = value * 10 + (_text[_pos++] - '0');
            if (value > KibParser::kMaxNumber) {
                return false;
            }
        }
        out = static_cast<int>(value);
        return true;
    }
    // A one-letter variable (a letter followed by no other letter).
    bool variable(int& out) {
        skipSpaces();
        if (_pos >= _text.size() || !isLetter(_text[_pos]) ||
            (_pos + 1 < _text.size() && isLetter(_text[_pos + 1]))) {
            return false;
        }
        out = _text[_pos++] - 'A';
        return true;
    }
    // An @label: letters, digits and underscores after the @.
    bool label(std::string& out) {
        if (!accept('@')) {
            return false;
        }
        const std::size_t start = _pos;
        while (_pos < _text.size() &&
               (isLetter(_text[_pos]) || isDigit(_text[_pos]) || _text[_pos] == '_')) {
            ++_pos;
        }
        out = "@" + _text.substr(start, _pos - start);
        return _pos > start;
    }

private:
    std::string _text;
    std::size_t _pos = 0;
};

bool expression(Cursor& in, KibExpression& out, int depth);

bool primary(Cursor& in, KibExpression& out, int depth) {
    int value = 0;
    if (in.number(value)) {
        out.push_back({Term::Number, value});
        return true;
    }
    if (in.acceptWord("BTN")) {
        if (in.accept('(') && !in.accept(')')) {
            return false;
        }
        out.push_back({Term::Button, 0});
        return true;
    }
    if (in.variable(value)) {
        out.push_back({Term::Variable, value});
        return true;
    }
    if (in.accept('-')) {
        out.push_back({Term::Number, 0});
        if (!primary(in, out, depth)) {
            return false;
        }
        out.push_back({Term::Subtract, 0});
        return true;
    }
    if (depth < kMaxNesting && in.accept('(')) {
        return expression(in, out, depth + 1) && in.accept(')');
    }
    return false;
}

bool additive(Cursor& in, KibExpression& out, int depth) {
    if (!primary(in, out, depth)) {
        return false;
    }
    for (;;) {
        Term op;
        if (in.accept('+')) {
            op = Term::Add;
        } else if (in.accept('-')) {
            op = Term::Subtract;
        } else {
            return true;
        }
        if (!primary(in, out, depth)) {
            return false;
        }
        out.push_back({op, 0});
    }
}

bool expression(Cursor& in, KibExpression& out, int depth) {
    if (!additive(in, out, depth)) {
        return false;
    }
    Term op;
    if (in.acceptWord("<>")) {
        op = Term::NotEqual;
    } else if (in.acceptWord("<=")) {
        op = Term::LessEqual;
    } else if (in.acceptWord(">=")) {
        op = Term::GreaterEqual;
    } else if (in.accept('=')) {
        op = Term::Equal;
    } else if (in.accept('<')) {
        op = Term::Less;
    } else if (in.accept('>')) {
        op = Term::Greater;
    } else {
        return true;
    }
    if (!additive(in, out, depth)) {
        return false;
    }
    out.push_back({op, 0});
    return true;
}

// Reads from `least` to `most` comma-separated expressions into the statement.
bool arguments(Cursor& in, KibStatement& statement, int least, int most) {
    for (int i = 0; i < most; ++i) {
        const bool optional = i >= least;
        if (i == 0 ? optional && (in.atEnd() || in.peek() == ':') : !in.accept(',')) {
            return optional;
        }
        statement.arguments.emplace_back();
        if (!expression(in, statement.arguments.back(), 0)) {
            return false;
        }
    }
    return true;
}

bool arguments(Cursor& in, KibStatement& statement, int count) {
    return arguments(in, statement, count, count);
}

// One statement; `chained` is set when the next one may follow without a colon (THEN).
bool statement(Cursor& in, KibStatement& out, bool& chained) {
    chained = false;
    if (in.atEnd() || in.peek() == ':') {
        out.kind = Kind::Empty;
        return true;
    }
    if (in.peek() == '@') {
        out.kind = Kind::Label;
        return in.label(out.label);
    }
    struct Simple {
        const char* word;
        Kind kind;
        int arguments;
    };
    static const Simple kSimple[] = {
        {"LED", Kind::Led, 1},   {"WAIT", Kind::Wait, 1}, {"PWM", Kind::Pwm, 2},
        {"END", Kind::End, 0},   {"NEW", Kind::New, 0},   {"RUN", Kind::Run, 0},
        {"LIST", Kind::List, 0},
    };
    for (const Simple& simple : kSimple) {
        if (in.acceptWord(simple.word)) {
            out.kind = simple.kind;
            return arguments(in, out, simple.arguments);
        }
    }
    if (in.acceptWord("OUT")) {
        if (!arguments(in, out, 1)) {
            return false;
        }
        out.kind = Kind::Out;
        if (in.accept(',')) {
            out.kind = Kind::OutOne;
            out.arguments.emplace_back();
            return expression(in, out.arguments.back(), 0);
        }
        return true;
    }
    if (in.acceptWord("BEEP")) {
        out.kind = Kind::Beep;
        return arguments(in, out, 0, 2);
    }
    if (in.acceptWord("SAVE")) {
        out.kind = Kind::Save;
        return arguments(in, out, 0, 1);
    }
    if (in.acceptWord("FOR")) {
        out.kind = Kind::For;
        return in.variable(out.variable) && in.accept('=') && arguments(in, out, 1) &&
               in.acceptWord("TO") && arguments(in, out, 1);
    }
    if (in.acceptWord("NEXT")) {
        out.kind = Kind::Next;
        in.variable(out.variable);
        return true;
    }
    if (in.acceptWord("GOTO")) {
        out.kind = Kind::GotoLabel;
        if (in.peek() == '@') {
            return in.label(out.label);
        }
        out.kind = Kind::GotoLine;
        return arguments(in, out, 1);
    }
    if (in.acceptWord("IF")) {
        out.kind = Kind::If;
        if (!arguments(in, out, 1)) {
            return false;
        }
        in.acceptWord("THEN");
        chained = true;
        return true;
    }
    return false;
}

std::string quote(std::string_view text) {
    std::string part(text.substr(0, kQuoteLength));
    // A control byte would garble the message the window shows; it still counts as one.
    std::replace_if(
        part.begin(), part.end(),
        [](char c) { return static_cast<unsigned char>(c) < ' ' && c != '\t'; }, '?');
    while (!part.empty() && (part.back() == ' ' || part.back() == '\t')) {
        part.pop_back();
    }
    return "not understood: \"" + part + (text.size() > kQuoteLength ? "...\"" : "\"");
}

}  // namespace

KibLine KibParser::parse(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    Cursor in(upper);
    KibLine line;
    for (;;) {
        in.skipSpaces();
        const std::size_t start = in.position();
        KibStatement next;
        bool chained = false;
        bool understood = statement(in, next, chained);
        if (understood && !chained && !in.atEnd() && !in.accept(':')) {
            understood = false;
        }
        if (!understood) {
            line.error = quote(text.substr(std::min(start, text.size())));
            return line;
        }
        const bool last = in.atEnd() && !chained;
        line.statements.push_back(std::move(next));
        if (last || (chained && in.atEnd())) {
            return line;
        }
    }
}

int KibParser::wrap(std::int64_t value) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
}
