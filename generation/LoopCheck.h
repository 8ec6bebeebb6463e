// Repeats that will not run as the rows suggest: a repeat card with no end card after it,
// an end card with no repeat card before it. Read in the order the board runs the rows.
// Depends on the catalogue only; knows nothing of nodes or scenes.
#pragma once

#include <optional>
#include <vector>

#include "generation/ProgramBuilder.h"

struct LoopProblem {
    // Index of the row, top row 0.
    int row;
    // True for an end card that closes nothing, false for a repeat card left open.
    bool strayEnd;
};

// The problems of the rows, by row.
std::vector<LoopProblem> findUnmatchedLoops(
    const std::vector<std::vector<std::optional<CardId>>>& rows);
