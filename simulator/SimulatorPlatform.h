// The operations of the simulator that need the operating system: the hand-off that keeps
// one window for all transfers, and the signals that ask the window to close. Portable
// code includes this header only; posix/ and win32/ implement it (chosen by CMake).
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace simulator::platform {

// One window for every transfer: the first instance listens on a socket (a named pipe on
// Windows) that only this user may use; later instances pass their standard input through
// it and end. Who listens is decided by a lock that the system lets go when its holder
// ends, so a socket left behind by a crashed window is found stale and replaced.
class InstanceHandOff {
public:
    enum class Role {
        Window,     // this instance shows the window and receives every transfer
        Forwarder,  // a window exists: pass the input to it and end
        Alone,      // no hand-off is possible here: show a window without one
    };

    // Longest transfer kept, in bytes; the rest of a longer one is dropped.
    static constexpr std::size_t kMaxTransfer = 1024 * 1024;

    // Socket and lock live in `folder`; on Windows `folder` is the name that both the pipe
    // and the lock are given.
    explicit InstanceHandOff(std::string folder);
    // The window's socket is removed and the lock let go.
    ~InstanceHandOff();
    InstanceHandOff(const InstanceHandOff&) = delete;
    InstanceHandOff& operator=(const InstanceHandOff&) = delete;

    // The user's runtime folder, else a folder of this user alone below /tmp (made on
    // demand; when another user holds its name, a randomly named one recorded in the home
    // folder); on Windows a name of this user's and session's, unless the variable
    // ZC_BOARD_SIMULATOR_HANDOFF gives one. Empty when none can be used safely. On POSIX
    // the socket and lock in it belong to one display.
    static std::string defaultFolder();

    // Becomes the window, or finds the one that exists, trying for up to waitMs.
    Role claim(int waitMs = 2000);
    // Forwarder: passes the whole standard input to the window, then prints the window's
    // answers on standard output until the window ends them (or goes, or nobody reads
    // them any more); false when the input broke off.
    bool forwardStandardInput();
    // Window (or Alone): reads this instance's own standard input as its first transfer
    // (unless it is a terminal).
    void watchStandardInput();
    // Window (or Alone): takes what has arrived, without waiting; returns the transfers
    // that are complete, in the order their senders connected. The sender of the last one
    // becomes the one the answers go to (the one before it hears no more).
    std::vector<std::string> poll();
    // Window (or Alone): passes the board's answers to the sender of the last transfer: the
    // forwarder that sent it, which prints them, or this instance's own standard output
    // for its own input. Never waits: what the sender does not take at once is dropped.
    void answer(const std::string& text);
    // Window (or Alone): the last transfer's answers are over; its sender ends.
    void endAnswers();

    // Where the window's socket (or pipe) is, or would be.
    const std::string& socketPath() const;
    // Why claim() found no hand-off, when it knows better than "no private place".
    const std::string& problem() const;

private:
    struct State;
    std::unique_ptr<State> _state;
};

// From now on SIGTERM, SIGINT and SIGHUP (on Windows the console's Ctrl+C, Ctrl+Break and
// close) only ask the program to close.
void watchQuitSignals();
// Whether one of them has arrived.
bool quitRequested();

}  // namespace simulator::platform
