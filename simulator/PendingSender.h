// A sender's transfer as it reaches the simulator's window, and the rule that hands
// transfers on in the order their senders connected. Shared by the hand-off of every
// system, which keeps its own kind of connection in `Source`; no system header here.
#pragma once

#include <algorithm>
#include <chrono>
#include <deque>
#include <string>
#include <vector>

#include "simulator/SimulatorPlatform.h"

namespace simulator::platform {

template <typename Source>
struct PendingSender {
    using Clock = std::chrono::steady_clock;
    // A sender that neither sends nor ends for this long is taken as finished.
    static constexpr auto kSilence = std::chrono::seconds(5);

    PendingSender(Source from, bool owned) : source(from), ownsSource(owned) {}

    // Keeps what fits under the cap on a transfer; the rest is read and dropped.
    void received(const char* data, std::size_t size) {
        lastHeard = Clock::now();
        const std::size_t cap = InstanceHandOff::kMaxTransfer;
        const std::size_t room = cap - std::min(cap, bytes.size());
        bytes.append(data, std::min(room, size));
    }

    Source source;
    bool ownsSource;
    std::string bytes;
    bool finished = false;
    Clock::time_point lastHeard = Clock::now();
};

// Takes the transfers that are complete from the front of the queue, stopping at the first
// that is not, so that none overtakes one that connected earlier; `release(source)` is
// called for every sender taken that owns its source. Empty transfers are dropped.
template <typename Source, typename Release>
std::vector<std::string> takeCompleteTransfers(std::deque<PendingSender<Source>>& senders,
                                               Release release) {
    using Sender = PendingSender<Source>;
    std::vector<std::string> complete;
    while (!senders.empty()) {
        Sender& front = senders.front();
        if (!front.finished && Sender::Clock::now() - front.lastHeard < Sender::kSilence) {
            break;
        }
        if (front.ownsSource) {
            release(front.source);
        }
        if (!front.bytes.empty()) {
            complete.push_back(std::move(front.bytes));
        }
        senders.pop_front();
    }
    return complete;
}

// As above, but hands the complete transfers back with their senders, whose sources the
// caller then owns (the empty ones too).
template <typename Source>
std::vector<PendingSender<Source>> takeCompleteSenders(std::deque<PendingSender<Source>>& senders) {
    using Sender = PendingSender<Source>;
    std::vector<Sender> complete;
    while (!senders.empty()) {
        Sender& front = senders.front();
        if (!front.finished && Sender::Clock::now() - front.lastHeard < Sender::kSilence) {
            break;
        }
        complete.push_back(std::move(front));
        senders.pop_front();
    }
    return complete;
}

}  // namespace simulator::platform
