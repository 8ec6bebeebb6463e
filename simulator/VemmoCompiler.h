// Translates the vemmo board's C-like script (var, if, else, while, blocks, assignments,
// | & ~ comparisons and the board's functions) into instructions for a small stack machine.
// Pure; depends on the standard library only.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// The board's functions a script may call.
enum class VemmoBuiltin : std::int32_t { Led, Sleep, Out, Pwm, Beep, Btn, Uart, Exit };

struct VemmoInstruction {
    enum class Op : std::uint8_t {
        Push,   // arg: the value
        Load,   // arg: variable slot
        Store,  // arg: variable slot; the value stays on the stack
        Pop,
        Negate,
        Invert,  // ~
        Not,     // !
        Add,
        Subtract,
        BitOr,
        BitAnd,
        Equal,
        NotEqual,
        Less,
        Greater,
        LessEqual,
        GreaterEqual,
        Jump,        // arg: instruction index
        JumpIfZero,  // arg: instruction index; pops the condition
        Call,        // arg: VemmoBuiltin; pops its arguments, pushes its result
    };
    Op op;
    std::int32_t arg;
    int line;  // 1-based line of the script
};

// Variable names and their slots; kept across compilations of one interactive session.
struct VemmoSymbols {
    std::map<std::string, int> slots;
    int count() const { return static_cast<int>(slots.size()); }
};

struct VemmoCompilation {
    std::vector<VemmoInstruction> code;
    // Empty when the script was understood; otherwise what was not, on line errorLine
    // (1-based; 0 when no line is to blame).
    std::string error;
    int errorLine = 0;
};

class VemmoCompiler {
public:
    // Longest script the board stores, in bytes.
    static constexpr std::size_t kMaxScript = 64 * 1024;

    // Compiles a script (or one typed line); variables it declares are added to symbols.
    static VemmoCompilation compile(std::string_view source, VemmoSymbols& symbols);
};
