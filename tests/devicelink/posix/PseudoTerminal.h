// A pseudo-terminal pair standing in for a board on a serial port: the link opens the
// port side by its name below /dev, the test reads what arrives on the other side.
#pragma once

#include <cstddef>
#include <string>

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
    int keeperFd() const { return _keeper; }
    // Makes the port vanish: both the board side and the keeper go.
    void hangUp();
    // True when something arrives on the board side within the time.
    bool hasInput(int waitMs) const;
    // What the board side gets until `count` bytes or a long quiet.
    std::string read(std::size_t count);

private:
    int _master = -1;
    int _keeper = -1;
    std::string _portName;
};
