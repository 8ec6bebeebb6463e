// Program generation: line numbers, separators, terminators and pauses around the
// catalogue's card texts. Card texts are used verbatim; loops are not matched.
#include "generation/ProgramBuilder.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <ostream>

#include "catalogue/DeviceManager.h"
#include "generation/Pauses.h"

namespace {

// Pauses are summed wide and capped, so an absurdly long row cannot wrap into a
// negative pause.
long long addPause(long long sum, long long ms) {
    return std::min<long long>(sum + ms, INT_MAX);
}

long long pauseFor(const CodeSnippet& snippet, std::size_t sentLength, int charWaitMs) {
    if (snippet.waitMs >= 0) {
        return snippet.waitMs;
    }
    return pacing::typingPauseMs(sentLength, charWaitMs);
}

ProgramChunk chunkFromSnippet(const CodeSnippet& snippet, const std::string& terminator,
                              int charWaitMs) {
    std::string text = snippet.text;
    if (snippet.appendTerminator) {
        text += terminator;
    }
    const long long pause = addPause(0, pauseFor(snippet, text.size(), charWaitMs));
    return {std::move(text), static_cast<int>(pause)};
}

}  // namespace

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

std::vector<ProgramChunk> buildProgram(
    const std::vector<std::vector<std::optional<CardId>>>& rows) {
    const DeviceManager* catalogue = DeviceManager::getInstance();
    const std::string terminator = catalogue->getLineTerminator();
    const std::string separator = catalogue->getSeparator();
    const bool numbered = catalogue->hasLineNumbers();
    const int charWaitMs = catalogue->getCharWaitMs();
    const std::vector<CodeSnippet> header = catalogue->getHeader();
    const std::vector<CodeSnippet> footer = catalogue->getFooter();

    std::vector<ProgramChunk> program;
    program.reserve(header.size() + rows.size() + footer.size());
    for (const CodeSnippet& item : header) {
        program.push_back(chunkFromSnippet(item, terminator, charWaitMs));
    }

    for (std::size_t position = 0; position < rows.size(); ++position) {
        std::string line;
        long long pause = 0;
        bool firstCard = true;
        bool appendTerminator = true;
        for (const std::optional<CardId>& slot : rows[position]) {
            if (!slot) {
                continue;
            }
            const CodeSnippet snippet = catalogue->getCode(slot->cardIndex, slot->cardSet);
            std::string piece;
            if (firstCard) {
                // Numbered by position, so a row keeps its number below empty rows.
                if (numbered) {
                    piece = std::to_string(lineNumberOfRow(static_cast<int>(position))) + ' ';
                }
                firstCard = false;
            } else {
                piece = separator;
            }
            piece += snippet.text;
            pause = addPause(pause, pauseFor(snippet, piece.size(), charWaitMs));
            // Only the last card of the row decides whether the line is terminated.
            appendTerminator = snippet.appendTerminator;
            line += piece;
        }
        if (line.empty()) {
            continue;
        }
        if (appendTerminator) {
            line += terminator;
            pause = addPause(pause, pacing::typingPauseMs(terminator.size(), charWaitMs));
        }
        program.push_back({std::move(line), static_cast<int>(pause), static_cast<int>(position)});
    }

    for (const CodeSnippet& item : footer) {
        program.push_back(chunkFromSnippet(item, terminator, charWaitMs));
    }
    return program;
}

std::vector<ProgramChunk> buildStopProgram() {
    const DeviceManager* catalogue = DeviceManager::getInstance();
    const std::string stopKey = catalogue->getStopKey();
    if (stopKey.empty()) {
        return {};
    }
    std::string reset = catalogue->getResetText();
    const long long resetPause =
        addPause(0, pacing::typingPauseMs(reset.size(), catalogue->getCharWaitMs()));
    return {{stopKey, catalogue->getStopWaitMs()},
            {std::move(reset), static_cast<int>(resetPause)}};
}

int lineNumberOfRow(int row) {
    return 10 * (row + 1);
}

std::optional<int> rowOfAnswerLine(const std::vector<ProgramChunk>& program, int lineNumber,
                                   bool numbered) {
    int first = 1;  // the text line the chunk begins
    for (const ProgramChunk& chunk : program) {
        const int lines = static_cast<int>(std::count(chunk.text.begin(), chunk.text.end(), '\n'));
        const bool named = numbered
                               ? chunk.row >= 0 && lineNumberOfRow(chunk.row) == lineNumber
                               : lineNumber >= first && lineNumber < first + std::max(lines, 1);
        if (named) {
            return chunk.row >= 0 ? std::optional<int>(chunk.row) : std::nullopt;
        }
        first += lines;
    }
    return std::nullopt;
}
