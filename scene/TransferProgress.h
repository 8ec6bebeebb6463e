// How far a transfer is and about how long it has left, from the device link's count of
// chunks sent and the pauses of the chunks still to come, for the loading overlay's line.
// Plain C++: depends on nothing of the engine or the device link.
#pragma once

#include <string>
#include <vector>

class TransferProgress {
public:
    // `pausesMs`: the quiet after each chunk, in order (0 where there is none).
    explicit TransferProgress(std::vector<int> pausesMs);

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
