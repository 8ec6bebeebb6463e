// Turns the rows of the field, given as card identities, into the paced chunks of program
// text for the current dialect, and the stop. Depends on the catalogue and the pacing rules;
// knows nothing of nodes, scenes or the device link.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

struct CardId {
    int cardSet;
    int cardIndex;
};

struct ProgramChunk {
    std::string text;
    int waitMs;
    // The row (0 is the top) whose cards made the chunk; -1 for the dialect's own items.
    int row = -1;
};

// The line number a numbered dialect gives a row (0 is the top row), as the row's head
// shows it.
int lineNumberOfRow(int row);

// The row that made the line a board's answer names: in a numbered dialect the line of that
// number, otherwise the program text's line of that count from 1; none when no row made it.
std::optional<int> rowOfAnswerLine(const std::vector<ProgramChunk>& program, int lineNumber,
                                   bool numbered);

// Whether two chunks carry the same text and pause.
bool operator==(const ProgramChunk& a, const ProgramChunk& b);
// Whether two chunks differ in text or pause.
bool operator!=(const ProgramChunk& a, const ProgramChunk& b);
// Writes a chunk with its control characters escaped, for test failure messages.
void PrintTo(const ProgramChunk& chunk, std::ostream* os);

// The chunks of a whole program for the dialect DeviceManager holds now: opening items,
// one line per row that holds a card (numbered by lineNumberOfRow), closing items.
std::vector<ProgramChunk> buildProgram(const std::vector<std::vector<std::optional<CardId>>>& rows);
// The chunks that stop the board's program and reset its outputs, each with the pause the
// board needs after it; none when the dialect has no stop key.
std::vector<ProgramChunk> buildStopProgram();
