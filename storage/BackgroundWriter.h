// One thread that writes the user's files, so that a slow disk (a USB stick, a network home
// folder) never holds a frame. Only the newest text waiting for a file is written, and files
// are written in the order they were first asked for. Depends on nothing but the standard
// library; what a write does is given to it.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class BackgroundWriter {
public:
    // Writes the text as the file's whole content; false with the reason in `error`.
    using Write =
        std::function<bool(const std::string& path, const std::string& text, std::string& error)>;
    struct Result {
        // The number submit() gave the request; a later request for the same file that
        // replaced it before it was written answers for both.
        unsigned long ticket = 0;
        std::string path;
        bool written = false;
        std::string error;
    };

    // How long the end of the program waits for what is asked to be written.
    static constexpr std::chrono::milliseconds kLongestFinalWait{5000};

    explicit BackgroundWriter(Write write);
    // Finishes what was asked, within kLongestFinalWait; past that a slow write is left to
    // finish on its own, since the process may end first.
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // Asks for the file to hold the text; returns the request's ticket. Never waits.
    unsigned long submit(const std::string& path, std::string text);
    // The results of the requests written (or failed) since the last call, in order.
    std::vector<Result> takeResults();
    // Whether a request is waiting or being written, or a result has not been taken.
    bool busy() const;
    // Waits until no request is waiting or being written; false when the limit came first.
    bool waitUntilWritten(std::chrono::milliseconds limit);

private:
    struct State;
    std::shared_ptr<State> _state;
    std::thread _thread;
};
