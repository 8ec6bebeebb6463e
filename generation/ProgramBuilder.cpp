// Program generation: line numbers, separators, terminators and pauses around the
// catalogue's card texts. Card texts are used verbatim; loops are not matched.
#include "generation/ProgramBuilder.h"

#include <algorithm>
#include <climits>

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

TransferPlan buildProgram(const std::vector<std::vector<std::optional<CardId>>>& rows,
                          TargetKind target) {
    const DeviceManager* catalogue = DeviceManager::getInstance();
    const std::string terminator = catalogue->getLineTerminator();
    const std::string separator = catalogue->getSeparator();
    const bool numbered = catalogue->hasLineNumbers();
    const int charWaitMs = catalogue->getCharWaitMs();
    const std::vector<CodeSnippet> header = catalogue->getHeader();
    const std::vector<CodeSnippet> footer = catalogue->getFooter();

    TransferPlan plan;
    plan.target = target;
    plan.numbered = numbered;
    std::vector<ProgramChunk>& program = plan.chunks;
    program.reserve(header.size() + rows.size() + footer.size());
    for (const CodeSnippet& item : header) {
        program.push_back(chunkFromSnippet(item, terminator, charWaitMs));
    }

    for (std::size_t position = 0; position < rows.size(); ++position) {
        std::string line;
        long long pause = 0;
        int firstSlot = -1;
        bool appendTerminator = true;
        const std::vector<std::optional<CardId>>& slots = rows[position];
        for (std::size_t slot = 0; slot < slots.size(); ++slot) {
            if (!slots[slot]) {
                continue;
            }
            const CodeSnippet snippet =
                catalogue->getCode(slots[slot]->cardIndex, slots[slot]->cardSet);
            std::string piece;
            if (firstSlot < 0) {
                // Numbered by position, so a row keeps its number below empty rows.
                if (numbered) {
                    piece = std::to_string(lineNumberOfRow(static_cast<int>(position))) + ' ';
                }
                firstSlot = static_cast<int>(slot);
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
        program.push_back(
            {std::move(line), static_cast<int>(pause), static_cast<int>(position), firstSlot});
    }

    for (const CodeSnippet& item : footer) {
        program.push_back(chunkFromSnippet(item, terminator, charWaitMs));
    }
    return plan;
}

TransferPlan buildStopProgram(TargetKind target) {
    const DeviceManager* catalogue = DeviceManager::getInstance();
    TransferPlan plan;
    plan.target = target;
    plan.numbered = catalogue->hasLineNumbers();
    const std::string stopKey = catalogue->getStopKey();
    if (stopKey.empty()) {
        return plan;
    }
    std::string reset = catalogue->getResetText();
    const long long resetPause =
        addPause(0, pacing::typingPauseMs(reset.size(), catalogue->getCharWaitMs()));
    plan.chunks = {{stopKey, catalogue->getStopWaitMs()},
                   {std::move(reset), static_cast<int>(resetPause)}};
    return plan;
}
