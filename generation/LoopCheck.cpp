#include "generation/LoopCheck.h"

#include <algorithm>

#include "catalogue/DeviceManager.h"

namespace {

struct OpenRepeat {
    LoopRole role;
    int row;
};

LoopRole startFor(LoopRole end) {
    return end == LoopRole::ForeverEnd ? LoopRole::ForeverStart : LoopRole::CountedStart;
}

}  // namespace

std::vector<LoopProblem> findUnmatchedLoops(
    const std::vector<std::vector<std::optional<CardId>>>& rows) {
    const DeviceManager* catalogue = DeviceManager::getInstance();
    std::vector<OpenRepeat> open;
    std::vector<LoopProblem> problems;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int row = static_cast<int>(r);
        for (const std::optional<CardId>& card : rows[r]) {
            if (!card) {
                continue;
            }
            const LoopRole role = catalogue->getLoopRole(card->cardIndex, card->cardSet);
            if (role == LoopRole::ForeverStart || role == LoopRole::CountedStart) {
                open.push_back({role, row});
            } else if (role == LoopRole::ForeverEnd || role == LoopRole::CountedEnd) {
                // An end closes the innermost open repeat of its own kind.
                const LoopRole wanted = startFor(role);
                const auto match =
                    std::find_if(open.rbegin(), open.rend(),
                                 [wanted](const OpenRepeat& o) { return o.role == wanted; });
                if (match == open.rend()) {
                    problems.push_back({row, true});
                } else {
                    open.erase(std::next(match).base());
                }
            }
        }
    }
    for (const OpenRepeat& repeat : open) {
        problems.push_back({repeat.row, false});
    }
    std::stable_sort(problems.begin(), problems.end(),
                     [](const LoopProblem& a, const LoopProblem& b) { return a.row < b.row; });
    return problems;
}
