// The plural rule of a catalogue: the C expression of n from its Plural-Forms header
// ("nplurals=2; plural=(n != 1);"), parsed once and evaluated for each count. Depends on
// nothing but the standard library.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lang {

class PluralRule {
public:
    // English's rule: one form for 1, the other for every other count.
    PluralRule();

    // The rule of a Plural-Forms value; none when it does not parse or names no forms.
    static std::optional<PluralRule> parse(const std::string& pluralForms);

    // How many forms a message of this language has.
    unsigned forms() const { return _forms; }
    // The form for a count, always below forms().
    unsigned formFor(std::uint64_t n) const;

private:
    // One node of the expression; operands are indices into _nodes.
    struct Node {
        enum class Kind { Number, N, Not, Binary, Choice } kind;
        std::string op;
        std::uint64_t value = 0;
        int a = -1, b = -1, c = -1;
    };
    std::uint64_t evaluate(int node, std::uint64_t n) const;

    unsigned _forms = 2;
    std::vector<Node> _nodes;
    int _root = -1;

    friend class PluralParser;
};

}  // namespace lang
