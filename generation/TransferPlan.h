// What a press on play or stop sends: the chunks of text with the pause after each, the kind
// of target they go to, and which row of the field (and which of its slots) made each line.
// Program generation makes it, the device link sends it, the progress line and the board's
// answers read it. Plain data over the pacing rules; no catalogue, node or port.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// Where a transfer goes: a serial port, written chunk by chunk with the pauses, or a
// transfer tool, fed the whole text on its standard input.
enum class TargetKind { SerialPort, Tool, Count };

// One piece of a transfer: its bytes, the quiet after them on a serial port, and its source.
struct ProgramChunk {
    std::string text;  // written as it stands, control bytes included
    int waitMs = 0;    // milliseconds of quiet after the chunk on a port; 0 or less: none
    // The row (0 is the top) whose cards made the chunk, and the slot of the row's first
    // card; -1 for the dialect's own items and the stop.
    int row = -1;
    int slot = -1;
};

// Whether two chunks carry the same text and pause.
bool operator==(const ProgramChunk& a, const ProgramChunk& b);
// Whether two chunks differ in text or pause.
bool operator!=(const ProgramChunk& a, const ProgramChunk& b);
// Writes a chunk with its control characters escaped, for test failure messages.
void PrintTo(const ProgramChunk& chunk, std::ostream* os);

// The field the rows and slots of a plan index: 30 rows of two slots.
constexpr int kFieldRowCount = 30;
constexpr int kFieldSlotCount = 2;

// The line number a numbered dialect gives a row (0 is the top row), as the row's head
// shows it.
int lineNumberOfRow(int row);

// The row and slot a line sent came from.
struct LineSource {
    int row;
    int slot;
};

struct TransferPlan {
    std::vector<ProgramChunk> chunks;
    TargetKind target = TargetKind::SerialPort;
    // Whether the board names a line by its number (a numbered dialect) rather than by
    // counting the program's text lines from 1.
    bool numbered = false;

    // The quiet after each chunk on this target: the chunks' own pauses on a port; for a
    // tool none between chunks and its settle time after the last (also when none is sent).
    std::vector<int> quietAfterChunks() const;
    // The row and slot that made the line a board's answer names; none when no row made it.
    std::optional<LineSource> sourceOfLine(int lineNumber) const;
    // The row alone.
    std::optional<int> rowOfLine(int lineNumber) const;
};
