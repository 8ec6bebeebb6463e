// How far a transfer is and about how long it has left, from the device link's count of
// chunks sent and the plan's quiet after the chunks still to come, for the loading overlay's
// line. Plain C++ over the plan: depends on nothing of the engine or the device link.
#pragma once

#include <string>
#include <vector>

#include "generation/TransferPlan.h"

class TransferProgress {
public:
    explicit TransferProgress(const TransferPlan& plan);

    // Takes one frame: the link's count now, and the frame's time in seconds.
    void advance(int chunksSent, float dt);

    int chunksSent() const { return _sent; }
    int chunkCount() const { return static_cast<int>(_pausesMs.size()); }
    // The pauses still to come, less what has passed of the one running now.
    int millisecondsLeft() const;
    // The line a beginner reads, e.g. "Sending 12 of 33 lines, about 9 s left".
    std::string text() const;

private:
    std::vector<int> _pausesMs;
    int _sent = 0;
    // Time since the count last changed: how much of the current pause has passed.
    float _sinceLastChunk = 0.f;
};
