#include "lang/PluralRule.h"

#include <cctype>
#include <cstdlib>

namespace lang {

// Recursive descent over C's precedence: ?: below ||, &&, equality, comparison, + -, * / %,
// and unary !. Anything else in the text makes the rule unreadable.
class PluralParser {
public:
    PluralParser(const std::string& text, PluralRule& rule) : _text(text), _rule(rule) {}

    bool parseAll(int& root) {
        root = choice();
        skipSpace();
        if (root >= 0 && _at < _text.size() && _text[_at] == ';') {
            ++_at;
        }
        skipSpace();
        return root >= 0 && _at == _text.size();
    }

private:
    using Kind = PluralRule::Node::Kind;

    void skipSpace() {
        while (_at < _text.size() && std::isspace(static_cast<unsigned char>(_text[_at]))) {
            ++_at;
        }
    }
    bool take(const char* token) {
        skipSpace();
        const std::string t(token);
        if (_text.compare(_at, t.size(), t) != 0) {
            return false;
        }
        // "<" must not swallow the first half of "<=", nor "!" that of "!=".
        const std::size_t after = _at + t.size();
        if ((t == "<" || t == ">" || t == "!") && after < _text.size() && _text[after] == '=') {
            return false;
        }
        _at = after;
        return true;
    }
    int add(PluralRule::Node node) {
        if (_rule._nodes.size() > 500) {
            return -1;
        }
        _rule._nodes.push_back(std::move(node));
        return static_cast<int>(_rule._nodes.size()) - 1;
    }
    int binary(const std::string& op, int a, int b) {
        if (a < 0 || b < 0) {
            return -1;
        }
        return add({Kind::Binary, op, 0, a, b, -1});
    }

    int choice() {
        const int test = orExpr();
        if (test < 0 || !take("?")) {
            return test;
        }
        const int yes = choice();
        if (yes < 0 || !take(":")) {
            return -1;
        }
        const int no = choice();
        return no < 0 ? -1 : add({Kind::Choice, "", 0, test, yes, no});
    }
    int orExpr() {
        int left = andExpr();
        while (left >= 0 && take("||")) {
            left = binary("||", left, andExpr());
        }
        return left;
    }
    int andExpr() {
        int left = equality();
        while (left >= 0 && take("&&")) {
            left = binary("&&", left, equality());
        }
        return left;
    }
    int equality() {
        int left = comparison();
        for (;;) {
            if (left < 0) {
                return left;
            }
            if (take("==")) {
                left = binary("==", left, comparison());
            } else if (take("!=")) {
                left = binary("!=", left, comparison());
            } else {
                return left;
            }
        }
    }
    int comparison() {
        int left = sum();
        for (;;) {
            if (left < 0) {
                return left;
            }
            if (take("<=")) {
                left = binary("<=", left, sum());
            } else if (take(">=")) {
                left = binary(">=", left, sum());
            } else if (take("<")) {
                left = binary("<", left, sum());
            } else if (take(">")) {
                left = binary(">", left, sum());
            } else {
                return left;
            }
        }
    }
    int sum() {
        int left = product();
        for (;;) {
            if (left < 0) {
                return left;
            }
            if (take("+")) {
                left = binary("+", left, product());
            } else if (take("-")) {
                left = binary("-", left, product());
            } else {
                return left;
            }
        }
    }
    int product() {
        int left = unary();
        for (;;) {
            if (left < 0) {
                return left;
            }
            if (take("*")) {
                left = binary("*", left, unary());
            } else if (take("/")) {
                left = binary("/", left, unary());
            } else if (take("%")) {
                left = binary("%", left, unary());
            } else {
                return left;
            }
        }
    }
    int unary() {
        if (take("!")) {
            const int operand = unary();
            return operand < 0 ? -1 : add({Kind::Not, "", 0, operand, -1, -1});
        }
        if (take("(")) {
            const int inner = choice();
            return inner >= 0 && take(")") ? inner : -1;
        }
        skipSpace();
        if (_at < _text.size() && _text[_at] == 'n') {
            ++_at;
            return add({Kind::N, "", 0, -1, -1, -1});
        }
        if (_at < _text.size() && std::isdigit(static_cast<unsigned char>(_text[_at]))) {
            std::uint64_t value = 0;
            while (_at < _text.size() && std::isdigit(static_cast<unsigned char>(_text[_at]))) {
                value = value * 10 + static_cast<unsigned>(_text[_at] - '0');
                ++_at;
            }
            return add({Kind::Number, "", value, -1, -1, -1});
        }
        return -1;
    }

    const std::string& _text;
    PluralRule& _rule;
    std::size_t _at = 0;
};

namespace {

// The value after `name=` up to the next ';' (or the end), from a header line.
std::optional<std::string> field(const std::string& text, const std::string& name) {
    std::size_t at = text.find(name);
    while (at != std::string::npos) {
        std::size_t after = at + name.size();
        while (after < text.size() && text[after] == ' ') {
            ++after;
        }
        const bool wordStart = at == 0 || !std::isalnum(static_cast<unsigned char>(text[at - 1]));
        if (wordStart && after < text.size() && text[after] == '=') {
            const std::size_t end = text.find(';', after);
            return text.substr(after + 1,
                               end == std::string::npos ? std::string::npos : end - after - 1);
        }
        at = text.find(name, at + 1);
    }
    return std::nullopt;
}

}  // namespace

PluralRule::PluralRule() {
    _nodes.push_back({Node::Kind::N, "", 0, -1, -1, -1});
    _nodes.push_back({Node::Kind::Number, "", 1, -1, -1, -1});
    _nodes.push_back({Node::Kind::Binary, "!=", 0, 0, 1, -1});
    _root = 2;
}

std::optional<PluralRule> PluralRule::parse(const std::string& pluralForms) {
    const std::optional<std::string> count = field(pluralForms, "nplurals");
    const std::size_t ruleAt = pluralForms.find("plural=");
    if (!count || ruleAt == std::string::npos) {
        return std::nullopt;
    }
    char* end = nullptr;
    const long forms = std::strtol(count->c_str(), &end, 10);
    if (end == count->c_str() || forms < 1 || forms > 6) {
        return std::nullopt;
    }
    PluralRule rule;
    rule._forms = static_cast<unsigned>(forms);
    rule._nodes.clear();
    std::string expression = pluralForms.substr(ruleAt + 7);
    // The header line may go on after the rule's closing ';'.
    const std::size_t stop = expression.find(';');
    if (stop != std::string::npos) {
        expression.erase(stop);
    }
    PluralParser parser(expression, rule);
    if (!parser.parseAll(rule._root)) {
        return std::nullopt;
    }
    return rule;
}

std::uint64_t PluralRule::evaluate(int index, std::uint64_t n) const {
    const Node& node = _nodes[static_cast<std::size_t>(index)];
    switch (node.kind) {
        case Node::Kind::Number:
            return node.value;
        case Node::Kind::N:
            return n;
        case Node::Kind::Not:
            return evaluate(node.a, n) == 0 ? 1 : 0;
        case Node::Kind::Choice:
            return evaluate(node.a, n) != 0 ? evaluate(node.b, n) : evaluate(node.c, n);
        case Node::Kind::Binary:
            break;
    }
    const std::uint64_t a = evaluate(node.a, n);
    // Both sides of && and || are plain values without effects, so no short cut is needed
    // for meaning, only to spare a division by zero on the other side.
    if (node.op == "&&") {
        return a != 0 && evaluate(node.b, n) != 0 ? 1 : 0;
    }
    if (node.op == "||") {
        return a != 0 || evaluate(node.b, n) != 0 ? 1 : 0;
    }
    const std::uint64_t b = evaluate(node.b, n);
    if (node.op == "==")
        return a == b ? 1 : 0;
    if (node.op == "!=")
        return a != b ? 1 : 0;
    if (node.op == "<")
        return a < b ? 1 : 0;
    if (node.op == ">")
        return a > b ? 1 : 0;
    if (node.op == "<=")
        return a <= b ? 1 : 0;
    if (node.op == ">=")
        return a >= b ? 1 : 0;
    if (node.op == "+")
        return a + b;
    if (node.op == "-")
        return a - b;
    if (node.op == "*")
        return a * b;
    // A catalogue that divides by zero has a broken rule; form 0 rather than a crash.
    if (node.op == "/")
        return b == 0 ? 0 : a / b;
    if (node.op == "%")
        return b == 0 ? 0 : a % b;
    return 0;
}

unsigned PluralRule::formFor(std::uint64_t n) const {
    const std::uint64_t form = evaluate(_root, n);
    // A rule that names a form the catalogue does not have falls back to the first.
    return form < _forms ? static_cast<unsigned>(form) : 0u;
}

}  // namespace lang
