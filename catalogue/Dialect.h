// The two board languages: kib, line-numbered BASIC, and vemmo, a small C-like script.
// Header only and plain, so the board simulator, which uses nothing else of the workspace,
// tells them apart with the same names.
#pragma once

enum class Dialect { Kib, Vemmo, Count };

// The dialect's position in per-dialect tables.
constexpr int dialectIndex(Dialect dialect) {
    return static_cast<int>(dialect);
}
