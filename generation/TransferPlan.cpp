#include "generation/TransferPlan.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

#include "generation/Pauses.h"

bool operator==(const ProgramChunk& a, const ProgramChunk& b) {
    return a.waitMs == b.waitMs && a.text == b.text;
}

bool operator!=(const ProgramChunk& a, const ProgramChunk& b) {
    return !(a == b);
}

void PrintTo(const ProgramChunk& chunk, std::ostream* os) {
    *os << "{\"";
    for (const char c : chunk.text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            *os << "\\n";
        } else if (c == '\r') {
            *os << "\\r";
        } else if (c == '"' || c == '\\') {
            *os << '\\' << c;
        } else if (byte < 0x20 || byte >= 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            *os << escaped;
        } else {
            *os << c;
        }
    }
    *os << "\", " << chunk.waitMs << " ms}";
}

int lineNumberOfRow(int row) {
    return 10 * (row + 1);
}

std::vector<int> TransferPlan::quietAfterChunks() const {
    std::vector<int> pauses;
    pauses.reserve(chunks.size());
    for (const ProgramChunk& chunk : chunks) {
        pauses.push_back(chunk.waitMs);
    }
    return pacing::quietAfterChunks(pauses, target == TargetKind::Tool);
}

std::optional<LineSource> TransferPlan::sourceOfLine(int lineNumber) const {
    int first = 1;  // the text line the chunk begins
    for (const ProgramChunk& chunk : chunks) {
        const int lines = static_cast<int>(std::count(chunk.text.begin(), chunk.text.end(), '\n'));
        const bool named = numbered
                               ? chunk.row >= 0 && lineNumberOfRow(chunk.row) == lineNumber
                               : lineNumber >= first && lineNumber < first + std::max(lines, 1);
        if (named) {
            return chunk.row >= 0 ? std::optional<LineSource>(LineSource{chunk.row, chunk.slot})
                                  : std::nullopt;
        }
        first += lines;
    }
    return std::nullopt;
}

std::optional<int> TransferPlan::rowOfLine(int lineNumber) const {
    const std::optional<LineSource> source = sourceOfLine(lineNumber);
    return source ? std::optional<int>(source->row) : std::nullopt;
}
