// Turns the rows of the field, given as card identities, into the paced chunks of program
// text for the current dialect, and the stop. Depends on the catalogue and the pacing rules;
// knows nothing of nodes, scenes or the device link.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "generation/TransferPlan.h"

struct CardId {
    int cardSet;
    int cardIndex;
};

// The plan of a whole program to `target` for the dialect DeviceManager holds now: opening
// items, one line per row that holds a card (numbered by lineNumberOfRow), closing items.
TransferPlan buildProgram(const std::vector<std::vector<std::optional<CardId>>>& rows,
                          TargetKind target);
// The plan that stops the board's program and resets its outputs, each chunk with the pause
// the board needs after it; no chunks when the dialect has no stop key.
TransferPlan buildStopProgram(TargetKind target);
