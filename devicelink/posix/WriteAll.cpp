#include "devicelink/posix/WriteAll.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace devicelink::platform {

namespace {

// Waits until the descriptor takes data again; 0 or an errno.
int waitWritable(int fd, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return ETIMEDOUT;
        }
        pollfd entry{fd, POLLOUT, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (ready == 0) {
            continue;  // the deadline check above decides
        }
        if (entry.revents & POLLOUT) {
            return 0;
        }
        if (entry.revents & POLLNVAL) {
            return EBADF;
        }
        return EIO;  // POLLERR or POLLHUP without room: the other side is gone
    }
}

}  // namespace

int writeAll(int fd, const char* data, std::size_t size, int stallLimitMs) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = ::write(fd, data + done, size - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            return errno;
        }
        const int waited = waitWritable(
            fd, std::chrono::steady_clock::now() + std::chrono::milliseconds(stallLimitMs));
        if (waited != 0) {
            return waited;
        }
    }
    return 0;
}

}  // namespace devicelink::platform
