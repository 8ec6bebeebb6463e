// Reads one line of the kib board's BASIC into statements: the commands the cards make
// (LED, WAIT, OUT, PWM, BEEP, FOR/NEXT, @labels and GOTO, IF ... THEN) and the console's
// own (NEW, RUN, SAVE, LIST, END). Pure; depends on the standard library only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One element of an expression in postfix order.
struct KibTerm {
    enum class Kind {
        Number,
        Variable,
        Button,
        Add,
        Subtract,
        Equal,
        NotEqual,
        Less,
        Greater,
        LessEqual,
        GreaterEqual
    };
    Kind kind;
    int value = 0;  // the number, or the variable's index (A = 0)
};

using KibExpression = std::vector<KibTerm>;

struct KibStatement {
    enum class Kind {
        Empty,
        Led,
        Wait,
        Out,
        OutOne,
        Pwm,
        Beep,
        For,
        Next,
        Label,
        GotoLabel,
        GotoLine,
        If,
        End,
        New,
        Run,
        Save,
        List
    };
    Kind kind = Kind::Empty;
    std::vector<KibExpression> arguments;
    int variable = -1;  // FOR, NEXT with a variable
    std::string label;  // Label, GotoLabel: upper case, with its @
};

struct KibLine {
    std::vector<KibStatement> statements;
    // Empty when the whole line was understood; otherwise what was not.
    std::string error;
};

class KibParser {
public:
    // Longest line the board takes, in characters.
    static constexpr std::size_t kMaxLineLength = 200;
    // Largest number the board's 16-bit integers hold.
    static constexpr int kMaxNumber = 32767;

    // The statements of a line (without its line number); stops at the first statement
    // that is not understood and names it in `error`.
    static KibLine parse(std::string_view text);
    // The board's 16-bit arithmetic.
    static int wrap(std::int64_t value);
};
