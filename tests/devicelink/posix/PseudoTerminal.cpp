#include "PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

PseudoTerminal::PseudoTerminal() {
    _master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char path[128];
    if (_master >= 0 && ::grantpt(_master) == 0 && ::unlockpt(_master) == 0 &&
        ::ptsname_r(_master, path, sizeof(path)) == 0 && std::strncmp(path, "/dev/", 5) == 0) {
        _portName = path + 5;
        _keeper = ::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
    }
}

void PseudoTerminal::hangUp() {
    for (int* fd : {&_master, &_keeper}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

bool PseudoTerminal::hasInput(int waitMs) const {
    pollfd entry{_master, POLLIN, 0};
    return ::poll(&entry, 1, waitMs) == 1 && (entry.revents & POLLIN);
}

BoardReader::BoardReader(PseudoTerminal& terminal, std::size_t expectedBytes,
                         std::chrono::seconds giveUpAfter)
    : _terminal(terminal),
      _expected(expectedBytes),
      _giveUpAfter(giveUpAfter),
      _thread([this] { run(); }) {}

void BoardReader::join() {
    if (_thread.joinable())
        _thread.join();
}

BoardReader::Clock::time_point BoardReader::arrivalOf(std::size_t offset) const {
    for (const auto& piece : _pieces) {
        if (offset < piece.first)
            return piece.second;
    }
    return Clock::time_point::max();
}

void BoardReader::run() {
    const auto giveUp = Clock::now() + _giveUpAfter;
    char buffer[4096];
    while (_received.size() < _expected && Clock::now() < giveUp) {
        const int master = _terminal.masterFd();
        if (master < 0)
            return;
        pollfd entry{master, POLLIN, 0};
        const int ready = ::poll(&entry, 1, 50);
        if (ready < 0 && errno != EINTR)
            return;
        if (ready <= 0)
            continue;
        const ssize_t count = ::read(master, buffer, sizeof(buffer));
        const auto now = Clock::now();
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return;
        _received.append(buffer, static_cast<std::size_t>(count));
        _pieces.emplace_back(_received.size(), now);
    }
}
