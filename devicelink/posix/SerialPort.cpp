// Serial ports through termios: exclusive open, raw 115200 8N1, whole writes, drain.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "devicelink/LinkPlatform.h"
#include "devicelink/posix/WriteAll.h"

namespace devicelink::platform {

class SerialPort {
public:
    explicit SerialPort(int descriptor) : fd(descriptor) {}
    int fd;
};

namespace {

// Asks for the line settings, then reads them back: tcsetattr reports success as soon as
// any part of the request took.
bool configureLine(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) {
        return false;
    }
    ::cfmakeraw(&settings);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_cflag &= ~static_cast<tcflag_t>(PARENB | CSTOPB | CRTSCTS);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (::cfsetispeed(&settings, B115200) != 0 || ::cfsetospeed(&settings, B115200) != 0 ||
        ::tcsetattr(fd, TCSANOW, &settings) != 0) {
        return false;
    }
    termios actual{};
    if (::tcgetattr(fd, &actual) != 0) {
        return false;
    }
    const tcflag_t frame = CSIZE | PARENB | CSTOPB | CRTSCTS;
    return ::cfgetospeed(&actual) == B115200 && ::cfgetispeed(&actual) == B115200 &&
           (actual.c_cflag & frame) == CS8 && (actual.c_oflag & OPOST) == 0 &&
           (actual.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) == 0;
}

void closeDescriptor(int fd) {
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);  // the flock goes with the last descriptor
}

}  // namespace

void SerialPortCloser::operator()(SerialPort* port) const {
    closeDescriptor(port->fd);
    delete port;
}

SerialPortPtr openSerialPort(const std::string& name) {
    if (name.empty() || name.find("..") != std::string::npos) {
        return {};
    }
    const std::string path = "/dev/" + name;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    // flock keeps out other programs that lock, TIOCEXCL those that do not (except root).
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return {};
    }
    if (::ioctl(fd, TIOCEXCL) != 0 || !configureLine(fd)) {
        closeDescriptor(fd);
        return {};
    }
    return SerialPortPtr(new SerialPort(fd));
}

bool writeSerialPort(SerialPort& port, const std::string& bytes) {
    if (writeAll(port.fd, bytes.data(), bytes.size(), kStallLimitMs) != 0) {
        return false;
    }
    // The pause that follows is meant for the board, so it starts once the last byte
    // has left the port, not once the driver has queued it.
    int drained;
    do {
        drained = ::tcdrain(port.fd);
    } while (drained != 0 && errno == EINTR);
    return drained == 0;
}

}  // namespace devicelink::platform
