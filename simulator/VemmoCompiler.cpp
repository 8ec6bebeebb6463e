#include "simulator/VemmoCompiler.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace {

using Op = VemmoInstruction::Op;

// Blocks and parentheses deeper than this are refused rather than followed.
constexpr int kMaxNesting = 64;
// Characters of a line quoted in an error.
constexpr std::size_t kQuoteLength = 40;

struct Token {
    enum class Kind { Number, Name, Symbol, End };
    Kind kind = Kind::End;
    std::string text;
    std::int32_t value = 0;
    int line = 1;
    std::size_t offset = 0;  // in the source
};

struct Builtin {
    const char* name;
    VemmoBuiltin id;
    int arguments;
};

const Builtin kBuiltins[] = {
    {"led", VemmoBuiltin::Led, 1},   {"sleep", VemmoBuiltin::Sleep, 1},
    {"out", VemmoBuiltin::Out, 1},   {"pwm", VemmoBuiltin::Pwm, 2},
    {"beep", VemmoBuiltin::Beep, 0}, {"btn", VemmoBuiltin::Btn, 0},
    {"uart", VemmoBuiltin::Uart, 0}, {"exit", VemmoBuiltin::Exit, 0},
};

// Thrown inside the compiler only, and caught by compile().
struct CompileError {
    std::string message;
    int line;
};

class Compiler {
public:
    Compiler(std::string_view source, VemmoSymbols& symbols) : _source(source), _symbols(symbols) {}

    std::vector<VemmoInstruction> run() {
        tokenize();
        while (peek().kind != Token::Kind::End) {
            statement(0);
        }
        return std::move(_code);
    }

private:
    // ---- tokens

    void tokenize() {
        int line = 1;
        std::size_t i = 0;
        while (i < _source.size()) {
            const char c = _source[i];
            if (c == '\n') {
                ++line;
                ++i;
                continue;
            }
            if (c == ' ' || c == '\t' || c == '\r') {
                ++i;
                continue;
            }
            Token token;
            token.line = line;
            token.offset = i;
            if (std::isdigit(static_cast<unsigned char>(c))) {
                std::int64_t value = 0;
                while (i < _source.size() && std::isdigit(static_cast<unsigned char>(_source[i]))) {
                    value = value * 10 + (_source[i++] - '0');
                    if (value > std::numeric_limits<std::int32_t>::max()) {
                        throw CompileError{quoteFrom(token.offset), line};
                    }
                }
                token.kind = Token::Kind::Number;
                token.value = static_cast<std::int32_t>(value);
            } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
                while (
                    i < _source.size() &&
                    (std::isalnum(static_cast<unsigned char>(_source[i])) || _source[i] == '_')) {
                    ++i;
                }
                token.kind = Token::Kind::Name;
                token.text = std::string(_source.substr(token.offset, i - token.offset));
            } else {
                static const char* const kPairs[] = {"==", "!=", "<=", ">="};
                token.kind = Token::Kind::Symbol;
                for (const char* pair : kPairs) {
                    if (_source.compare(i, 2, pair) == 0) {
                        token.text = pair;
                    }
                }
                if (token.text.empty()) {
                    if (std::string_view("=<>+-|&~!(){};,").find(c) == std::string_view::npos) {
                        throw CompileError{quoteFrom(i), line};
                    }
                    token.text = std::string(1, c);
                }
                i += token.text.size();
            }
            _tokens.push_back(std::move(token));
        }
        // A script that ends too early is blamed on its last line that holds anything.
        Token end;
        end.line = _tokens.empty() ? 1 : _tokens.back().line;
        end.offset = _source.size();
        _tokens.push_back(end);
    }

    const Token& peek(std::size_t ahead = 0) const {
        return _tokens[std::min(_next + ahead, _tokens.size() - 1)];
    }
    const Token& take() {
        const Token& token = peek();
        if (_next < _tokens.size() - 1) {
            ++_next;
        }
        return token;
    }
    bool isSymbol(const char* text, std::size_t ahead = 0) const {
        return peek(ahead).kind == Token::Kind::Symbol && peek(ahead).text == text;
    }
    bool isName(const char* text) const {
        return peek().kind == Token::Kind::Name && peek().text == text;
    }
    void expect(const char* symbol) {
        if (!isSymbol(symbol)) {
            notUnderstood();
        }
        take();
    }
    [[noreturn]] void notUnderstood() const {
        throw CompileError{quoteFrom(peek().offset), peek().line};
    }
    // The rest of the line from an offset, as the error names it.
    std::string quoteFrom(std::size_t offset) const {
        std::size_t end = _source.find('\n', offset);
        if (end == std::string_view::npos) {
            end = _source.size();
        }
        std::string text(_source.substr(offset, std::min(end - offset, kQuoteLength)));
        while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) {
            text.pop_back();
        }
        if (text.empty()) {
            return "the script ends too early";
        }
        // A control byte (a NUL, say) would garble the message the window shows.
        std::replace_if(
            text.begin(), text.end(),
            [](char c) { return static_cast<unsigned char>(c) < ' ' && c != '\t'; }, '?');
        return "not understood: \"" + text + (end - offset > kQuoteLength ? "...\"" : "\"");
    }

    // ---- code

    std::size_t emit(Op op, std::int32_t arg, int line) {
        _code.push_back({op, arg, line});
        return _code.size() - 1;
    }
    void patch(std::size_t at) { _code[at].arg = static_cast<std::int32_t>(_code.size()); }
    void nest(int depth) const {
        if (depth > kMaxNesting) {
            throw CompileError{"nested too deeply", peek().line};
        }
    }

    // ---- statements

    void statement(int depth) {
        nest(depth);
        const int line = peek().line;
        if (isSymbol(";")) {
            take();
        } else if (isSymbol("{")) {
            take();
            while (!isSymbol("}")) {
                if (peek().kind == Token::Kind::End) {
                    notUnderstood();
                }
                statement(depth + 1);
            }
            take();
        } else if (isName("var")) {
            take();
            declaration(line);
            while (isSymbol(",")) {
                take();
                declaration(line);
            }
            expect(";");
        } else if (isName("if")) {
            take();
            condition(depth);
            const std::size_t skip = emit(Op::JumpIfZero, 0, line);
            statement(depth + 1);
            if (isName("else")) {
                take();
                const std::size_t over = emit(Op::Jump, 0, line);
                patch(skip);
                statement(depth + 1);
                patch(over);
            } else {
                patch(skip);
            }
        } else if (isName("while")) {
            take();
            const auto top = static_cast<std::int32_t>(_code.size());
            condition(depth);
            const std::size_t leave = emit(Op::JumpIfZero, 0, line);
            statement(depth + 1);
            emit(Op::Jump, top, line);
            patch(leave);
        } else {
            expression(depth);
            expect(";");
            emit(Op::Pop, 0, line);
        }
    }

    void declaration(int line) {
        if (peek().kind != Token::Kind::Name) {
            notUnderstood();
        }
        const std::string name = take().text;
        const int slot = _symbols.slots.emplace(name, _symbols.count()).first->second;
        if (isSymbol("=")) {
            take();
            expression(0);
        } else {
            emit(Op::Push, 0, line);
        }
        emit(Op::Store, slot, line);
        emit(Op::Pop, 0, line);
    }

    void condition(int depth) {
        expect("(");
        expression(depth + 1);
        expect(")");
    }

    // ---- expressions, lowest precedence first

    void expression(int depth) {
        nest(depth);
        if (peek().kind == Token::Kind::Name && isSymbol("=", 1)) {
            const Token& name = take();
            const int slot = slotOf(name);
            take();
            expression(depth + 1);
            emit(Op::Store, slot, name.line);
            return;
        }
        binary(0, depth);
    }

    // Binary operators by level, loosest first: | then & then equality, order, sums.
    void binary(int level, int depth) {
        struct Level {
            const char* symbols[4];
            Op ops[4];
        };
        static const Level kLevels[] = {
            {{"|"}, {Op::BitOr}},
            {{"&"}, {Op::BitAnd}},
            {{"==", "!="}, {Op::Equal, Op::NotEqual}},
            {{"<", ">", "<=", ">="}, {Op::Less, Op::Greater, Op::LessEqual, Op::GreaterEqual}},
            {{"+", "-"}, {Op::Add, Op::Subtract}},
        };
        if (level == static_cast<int>(std::size(kLevels))) {
            unary(depth);
            return;
        }
        binary(level + 1, depth);
        for (;;) {
            const Level& current = kLevels[level];
            int found = -1;
            for (int i = 0; i < 4 && current.symbols[i] != nullptr; ++i) {
                if (isSymbol(current.symbols[i])) {
                    found = i;
                }
            }
            if (found < 0) {
                return;
            }
            const int line = take().line;
            binary(level + 1, depth);
            emit(current.ops[found], 0, line);
        }
    }

    void unary(int depth) {
        nest(depth);
        static const std::pair<const char*, Op> kUnary[] = {
            {"-", Op::Negate}, {"~", Op::Invert}, {"!", Op::Not}};
        for (const auto& entry : kUnary) {
            if (isSymbol(entry.first)) {
                const int line = take().line;
                unary(depth + 1);
                emit(entry.second, 0, line);
                return;
            }
        }
        primary(depth);
    }

    void primary(int depth) {
        const Token& token = peek();
        if (token.kind == Token::Kind::Number) {
            take();
            emit(Op::Push, token.value, token.line);
        } else if (isSymbol("(")) {
            take();
            expression(depth + 1);
            expect(")");
        } else if (token.kind == Token::Kind::Name && isSymbol("(", 1)) {
            call(depth);
        } else if (token.kind == Token::Kind::Name) {
            take();
            emit(Op::Load, slotOf(token), token.line);
        } else {
            notUnderstood();
        }
    }

    void call(int depth) {
        const Token& name = take();
        const Builtin* builtin = nullptr;
        for (const Builtin& candidate : kBuiltins) {
            if (name.text == candidate.name) {
                builtin = &candidate;
            }
        }
        if (builtin == nullptr) {
            throw CompileError{"unknown function \"" + name.text + "\"", name.line};
        }
        take();  // (
        int count = 0;
        if (!isSymbol(")")) {
            expression(depth + 1);
            ++count;
            while (isSymbol(",")) {
                take();
                expression(depth + 1);
                ++count;
            }
        }
        expect(")");
        if (count != builtin->arguments) {
            throw CompileError{name.text + "() takes " + std::to_string(builtin->arguments) +
                                   (builtin->arguments == 1 ? " value" : " values"),
                               name.line};
        }
        emit(Op::Call, static_cast<std::int32_t>(builtin->id), name.line);
    }

    int slotOf(const Token& name) const {
        const auto found = _symbols.slots.find(name.text);
        if (found == _symbols.slots.end()) {
            throw CompileError{"unknown name \"" + name.text + "\"", name.line};
        }
        return found->second;
    }

    std::string_view _source;
    VemmoSymbols& _symbols;
    std::vector<Token> _tokens;
    std::size_t _next = 0;
    std::vector<VemmoInstruction> _code;
};

}  // namespace

VemmoCompilation VemmoCompiler::compile(std::string_view source, VemmoSymbols& symbols) {
    VemmoCompilation result;
    if (source.size() > kMaxScript) {
        result.error = "the script is too long";
        result.errorLine = 0;
        return result;
    }
    // Names declared by a script that fails are not kept.
    VemmoSymbols attempt = symbols;
    try {
        result.code = Compiler(source, attempt).run();
        symbols = std::move(attempt);
    } catch (const CompileError& error) {
        result.error = error.message;
        result.errorLine = error.line;
    }
    return result;
}
