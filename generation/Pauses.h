// How long a board or a transfer tool is given to take in what it was sent: the pacing
// rules that program generation, the stop, the progress line and the device link share.
// Depends on nothing but the standard library.
#pragma once

#include <cstddef>
#include <vector>

namespace pacing {

// A tool takes its input at once; once the input has ended it gets this long to pass the
// program on before it is left.
constexpr int kToolSettleMs = 1000;

// The pause a board needs to take in `length` characters at `charWaitMs` each, in wide
// arithmetic so that callers can sum and cap it.
long long typingPauseMs(std::size_t length, int charWaitMs);

// The quiet after each chunk of a transfer, given the chunks' own pauses: those on a serial
// port; none between chunks for a tool, which gets its settle time after the last one (also
// when nothing is sent).
std::vector<int> quietAfterChunks(const std::vector<int>& chunkPausesMs, bool toTool);

}  // namespace pacing
