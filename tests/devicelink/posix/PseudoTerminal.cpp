#include "PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>

PseudoTerminal::PseudoTerminal() {
    _master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char path[128];
    if (_master < 0 || ::grantpt(_master) != 0 || ::unlockpt(_master) != 0 ||
        ::ptsname_r(_master, path, sizeof(path)) != 0 || std::strncmp(path, "/dev/", 5) != 0) {
        return;
    }
    _portName = path + 5;
    _keeper = ::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
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

std::string PseudoTerminal::read(std::size_t count) {
    std::string received;
    char buffer[4096];
    // The kernel hands the bytes over from a worker of its own: a generous quiet.
    while (received.size() < count && hasInput(10000)) {
        const ssize_t got = ::read(_master, buffer, sizeof(buffer));
        if (got <= 0)
            break;
        received.append(buffer, static_cast<std::size_t>(got));
    }
    return received;
}
