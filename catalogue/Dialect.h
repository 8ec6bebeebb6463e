// The two board languages: kib, line-numbered BASIC, and vemmo, a small C-like script.
// Header only and plain, so the board simulator, which uses nothing else of the workspace,
// tells them apart with the same names.
#pragma once

#include <array>
#include <cstddef>

enum class Dialect { Kib, Vemmo, Count };

// The dialect's position in per-dialect tables.
constexpr int dialectIndex(Dialect dialect) {
    return static_cast<int>(dialect);
}

// The dialects' names, in their order: what a saved program and the simulator call them.
inline constexpr std::array<const char*, static_cast<std::size_t>(Dialect::Count)> kDialectNames{
    "kib", "vemmo"};

constexpr const char* dialectName(Dialect dialect) {
    return kDialectNames[static_cast<std::size_t>(dialectIndex(dialect))];
}
