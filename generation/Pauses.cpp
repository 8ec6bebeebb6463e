#include "generation/Pauses.h"

#include <algorithm>
#include <climits>

namespace pacing {

long long typingPauseMs(std::size_t length, int charWaitMs) {
    return static_cast<long long>(std::min<std::size_t>(length, INT_MAX)) * charWaitMs;
}

std::vector<int> quietAfterChunks(const std::vector<int>& chunkPausesMs, bool toTool) {
    if (!toTool) {
        return chunkPausesMs;
    }
    std::vector<int> quiet(std::max<std::size_t>(chunkPausesMs.size(), 1) - 1, 0);
    quiet.push_back(kToolSettleMs);
    return quiet;
}

}  // namespace pacing
