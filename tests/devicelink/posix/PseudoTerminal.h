// A pseudo-terminal pair standing in for a board on a serial port: the link opens the
// port side by its name below /dev, the test reads what arrives on the other side.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class PseudoTerminal {
public:
    // Opens the pair; the test keeps one port-side descriptor of its own (keeperFd) so
    // the pair stays up before and after the link's own open.
    PseudoTerminal();
    ~PseudoTerminal() { hangUp(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool valid() const { return _master >= 0 && _keeper >= 0; }
    // The port's name below /dev, e.g. "pts/3".
    const std::string& portName() const { return _portName; }
    int masterFd() const { return _master; }
    int keeperFd() const { return _keeper; }
    // Makes the port vanish: both the board side and the keeper go.
    void hangUp();
    // True when something arrives on the board side within the time.
    bool hasInput(int waitMs) const;

private:
    int _master = -1;
    int _keeper = -1;
    std::string _portName;
};

// Reads the board side on its own thread until the expected byte count, a hang-up, or a
// generous deadline, and notes when each piece arrived.
class BoardReader {
public:
    using Clock = std::chrono::steady_clock;

    BoardReader(PseudoTerminal& terminal, std::size_t expectedBytes,
                std::chrono::seconds giveUpAfter = std::chrono::seconds(20));
    ~BoardReader() { join(); }
    // Waits for the reader to stop; afterwards received() and arrivalOf() may be read.
    void join();
    const std::string& received() const { return _received; }
    // When the byte at `offset` arrived.
    Clock::time_point arrivalOf(std::size_t offset) const;

private:
    void run();

    PseudoTerminal& _terminal;
    std::size_t _expected;
    std::chrono::seconds _giveUpAfter;
    std::string _received;
    std::vector<std::pair<std::size_t, Clock::time_point>> _pieces;  // end offset, time
    std::thread _thread;
};
