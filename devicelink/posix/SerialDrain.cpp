#include "devicelink/posix/SerialDrain.h"

#include <sys/ioctl.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace devicelink::platform {

namespace {

// Short against the pauses between chunks (tens of milliseconds and more) and against
// what 115200 baud sends meanwhile (about 12 bytes), so the pause starts nearly at once.
constexpr std::chrono::milliseconds kProbeInterval{1};

}  // namespace

int unsentBytes(int fd) {
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) != 0) {
        return -1;
    }
    unsigned lineStatus = 0;
    // Drivers without a UART (USB adapters, pseudo-terminals) do not know the request;
    // their queue count is all there is to go by.
    const bool transmitterBusy =
        ::ioctl(fd, TIOCSERGETLSR, &lineStatus) == 0 && (lineStatus & TIOCSER_TEMT) == 0;
    return queued + (transmitterBusy ? 1 : 0);
}

int waitUntilSent(int fd, int stallLimitMs, const UnsentCount& unsent) {
    using Clock = std::chrono::steady_clock;
    const auto limit = std::chrono::milliseconds(stallLimitMs);
    int last = -1;
    auto lastProgress = Clock::now();
    for (;;) {
        const int left = unsent(fd);
        if (left < 0) {
            return errno == 0 ? EIO : errno;
        }
        if (left == 0) {
            return 0;
        }
        const auto now = Clock::now();
        if (last < 0 || left < last) {
            lastProgress = now;
        } else if (now - lastProgress >= limit) {
            return ETIMEDOUT;
        }
        last = left;
        std::this_thread::sleep_for(kProbeInterval);
    }
}

}  // namespace devicelink::platform
