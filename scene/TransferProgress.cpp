#include "scene/TransferProgress.h"
#include "lang/Translate.h"

#include <algorithm>
#include <cmath>
#include <numeric>

TransferProgress::TransferProgress(const TransferPlan& plan) : _pausesMs(plan.quietAfterChunks()) {
    for (int& pause : _pausesMs) {
        pause = std::max(pause, 0);
    }
}

void TransferProgress::advance(int chunksSent, float dt) {
    const int sent = std::clamp(chunksSent, 0, chunkCount());
    if (sent != _sent) {
        _sent = sent;
        _sinceLastChunk = 0.f;
        return;
    }
    _sinceLastChunk += dt;
}

int TransferProgress::millisecondsLeft() const {
    const auto next = _pausesMs.begin() + _sent;
    int left = std::accumulate(next, _pausesMs.end(), 0);
    // The count moves once a chunk has gone out, before its pause: that pause runs now.
    if (_sent > 0) {
        const int passed = static_cast<int>(std::lround(_sinceLastChunk * 1000.f));
        left += std::max(_pausesMs[static_cast<std::size_t>(_sent - 1)] - passed, 0);
    }
    return left;
}

std::string TransferProgress::text() const {
    const std::string sent = std::to_string(_sent);
    const int left = millisecondsLeft();
    if (left <= 0) {
        return lang::fill(lang::trn("Sending {sent} of {count} line, almost done",
                                    "Sending {sent} of {count} lines, almost done",
                                    static_cast<unsigned long long>(chunkCount())),
                          {{"sent", sent}});
    }
    // Rounded up: "about 0 s left" would read as done while the board still takes text.
    return lang::fill(lang::trn("Sending {sent} of {count} line, about {seconds} s left",
                                "Sending {sent} of {count} lines, about {seconds} s left",
                                static_cast<unsigned long long>(chunkCount())),
                      {{"sent", sent}, {"seconds", std::to_string((left + 999) / 1000)}});
}
