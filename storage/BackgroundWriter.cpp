#include "storage/BackgroundWriter.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

struct BackgroundWriter::State {
    struct Request {
        std::string path;
        std::string text;
        std::vector<unsigned long> tickets;
    };
    Write write;
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::deque<Request> waiting;
    bool writing = false;
    bool stopping = false;
    unsigned long lastTicket = 0;
    std::vector<Result> results;

    void run() {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return stopping || !waiting.empty(); });
            if (waiting.empty()) {
                return;
            }
            Request request = std::move(waiting.front());
            waiting.pop_front();
            writing = true;
            lock.unlock();
            std::string error;
            const bool written = write(request.path, request.text, error);
            lock.lock();
            writing = false;
            for (unsigned long ticket : request.tickets) {
                results.push_back(Result{ticket, request.path, written, error});
            }
            changed.notify_all();
        }
    }
};

BackgroundWriter::BackgroundWriter(Write write) : _state(std::make_shared<State>()) {
    _state->write = std::move(write);
    // The thread holds the state, so a write still under way when the writer goes keeps
    // what it uses.
    _thread = std::thread([state = _state] { state->run(); });
}

BackgroundWriter::~BackgroundWriter() {
    {
        std::lock_guard<std::mutex> lock(_state->mutex);
        _state->stopping = true;
        _state->changed.notify_all();
    }
    if (waitUntilWritten(kLongestFinalWait)) {
        _thread.join();
    } else {
        _thread.detach();
    }
}

unsigned long BackgroundWriter::submit(const std::string& path, std::string text) {
    std::lock_guard<std::mutex> lock(_state->mutex);
    const unsigned long ticket = ++_state->lastTicket;
    for (State::Request& request : _state->waiting) {
        if (request.path == path) {
            request.text = std::move(text);
            request.tickets.push_back(ticket);
            return ticket;
        }
    }
    _state->waiting.push_back(State::Request{path, std::move(text), {ticket}});
    _state->changed.notify_all();
    return ticket;
}

std::vector<BackgroundWriter::Result> BackgroundWriter::takeResults() {
    std::lock_guard<std::mutex> lock(_state->mutex);
    std::vector<Result> taken;
    taken.swap(_state->results);
    return taken;
}

bool BackgroundWriter::busy() const {
    std::lock_guard<std::mutex> lock(_state->mutex);
    return _state->writing || !_state->waiting.empty() || !_state->results.empty();
}

bool BackgroundWriter::waitUntilWritten(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(_state->mutex);
    return _state->changed.wait_for(lock, limit,
                                    [this] { return !_state->writing && _state->waiting.empty(); });
}
