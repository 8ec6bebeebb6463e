// Serial ports through termios: refusal of a port another program holds, exclusive open,
// raw 115200 8N1, whole writes, a drain with a time limit, and reads that tell a port that
// went away.

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "devicelink/LinkPlatform.h"
#include "devicelink/posix/ErrorText.h"
#include "devicelink/posix/PortHolders.h"
#include "devicelink/posix/SerialDrain.h"
#include "devicelink/posix/WriteAll.h"

namespace devicelink::platform {

class SerialPort {
public:
    explicit SerialPort(int descriptor) : fd(descriptor) {}
    int fd;
};

namespace {

using Kind = TransferFailure::Kind;

// Asks for the line settings, then reads them back: tcsetattr reports success as soon as
// any part of the request took. 0, or the errno of the refusal.
int configureLine(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) {
        return errno;
    }
    ::cfmakeraw(&settings);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_cflag &= ~static_cast<tcflag_t>(PARENB | CSTOPB | CRTSCTS);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (::cfsetispeed(&settings, B115200) != 0 || ::cfsetospeed(&settings, B115200) != 0 ||
        ::tcsetattr(fd, TCSANOW, &settings) != 0) {
        return errno;
    }
    termios actual{};
    if (::tcgetattr(fd, &actual) != 0) {
        return errno;
    }
    const tcflag_t frame = CSIZE | PARENB | CSTOPB | CRTSCTS;
    const bool took = ::cfgetospeed(&actual) == B115200 && ::cfgetispeed(&actual) == B115200 &&
                      (actual.c_cflag & frame) == CS8 && (actual.c_oflag & OPOST) == 0 &&
                      (actual.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) == 0;
    return took ? 0 : EINVAL;
}

std::string groupOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return "";
    }
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr) {
        return "";
    }
    return found->gr_name;
}

const std::vector<std::string>& lockFoldersOf(const LinkSettings& settings) {
    return settings.lockFolders.empty() ? defaultLockFolders() : settings.lockFolders;
}

bool failOpen(const std::string& name, const std::string& path, int error,
              const LinkSettings& settings, TransferFailure& failure) {
    switch (error) {
        case EACCES:
        case EPERM:
            return failure.fail(Kind::NoPermission, groupOf(path));
        case EBUSY: {
            // Another program asked for exclusive use (TIOCEXCL); name it if it can be seen.
            struct stat info {};
            std::string holder;
            if (::stat(path.c_str(), &info) == 0) {
                findPortHolder(name, info.st_rdev, lockFoldersOf(settings), holder);
            }
            return failure.fail(Kind::PortBusy, holder);
        }
        case ENOENT:
            return failure.fail(Kind::PortMissing);
        default:
            return failure.fail(Kind::PortMissing, errorText(error));
    }
}

// Whether the port is free for us alone: nobody holds our kind of lock, nobody asked for
// exclusive use, nobody else has it open and no live lock file names it.
bool claimPort(int fd, const std::string& name, const LinkSettings& settings,
               TransferFailure& failure) {
    // Before the search for holders: every program has /dev/null open.
    if (!::isatty(fd)) {
        return failure.fail(Kind::SettingsRefused, "not a serial port");
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return failure.fail(Kind::PortMissing, errorText(errno));
    }
    int exclusive = 0;
    const bool claimed = ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
                         (::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0);
    // Searched for also when the port is claimed, to name the claimant.
    std::string holder;
    if (findPortHolder(name, info.st_rdev, lockFoldersOf(settings), holder) || claimed) {
        return failure.fail(Kind::PortBusy, holder);
    }
    if (::ioctl(fd, TIOCEXCL) != 0) {
        return failure.fail(Kind::SettingsRefused, errorText(errno));
    }
    return true;
}

void closeDescriptor(int fd) {
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);  // the flock goes with the last descriptor
}

bool failWrite(int error, TransferFailure& failure) {
    if (error == ETIMEDOUT) {
        return failure.fail(Kind::PortStalled);
    }
    return failure.fail(Kind::PortVanished, errorText(error));
}

}  // namespace

void SerialPortCloser::operator()(SerialPort* port) const {
    closeDescriptor(port->fd);
    delete port;
}

SerialPortPtr openSerialPort(const std::string& name, const LinkSettings& settings,
                             TransferFailure& failure) {
    if (name.empty() || name.find("..") != std::string::npos) {
        failure.fail(Kind::PortMissing);
        return {};
    }
    const std::string path = "/dev/" + name;
    // Opening changes nothing on a port: with O_NONBLOCK it does not even wait for the
    // carrier. Settings come only once the port is known to be ours.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        failOpen(name, path, errno, settings, failure);
        return {};
    }
    if (!claimPort(fd, name, settings, failure)) {
        // TIOCEXCL is not ours to clear when someone else set it.
        ::close(fd);
        return {};
    }
    if (const int refused = configureLine(fd); refused != 0) {
        failure.fail(Kind::SettingsRefused, errorText(refused));
        closeDescriptor(fd);
        return {};
    }
    // What the board said to whoever had the port before is no answer to us.
    ::tcflush(fd, TCIFLUSH);
    return SerialPortPtr(new SerialPort(fd));
}

bool writeSerialPort(SerialPort& port, const std::string& bytes, const LinkSettings& settings,
                     TransferFailure& failure) {
    if (const int error = writeAll(port.fd, bytes.data(), bytes.size(), settings.stallLimitMs);
        error != 0) {
        return failWrite(error, failure);
    }
    // The pause that follows is meant for the board, so it starts once the last byte
    // has left the port, not once the driver has queued it.
    if (const int error = waitUntilSent(port.fd, settings.stallLimitMs); error != 0) {
        return failWrite(error, failure);
    }
    return true;
}

bool readSerialPort(SerialPort& port, std::string& out, std::size_t maxBytes, int waitMs,
                    TransferFailure& failure) {
    pollfd watched{port.fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&watched, 1, waitMs);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) {
        return failure.fail(Kind::PortVanished, errorText(errno));
    }
    if (ready == 0) {
        return true;
    }
    // Bytes the board sent before it went are still taken; the next read tells the end.
    const std::size_t start = out.size();
    out.resize(start + maxBytes);
    ssize_t got = 0;
    do {
        got = ::read(port.fd, out.data() + start, maxBytes);
    } while (got < 0 && errno == EINTR);
    out.resize(start + (got > 0 ? static_cast<std::size_t>(got) : 0));
    if (got > 0 || (got < 0 && errno == EAGAIN)) {
        return true;
    }
    // A hung-up terminal reads as its end (0) or fails with EIO.
    return failure.fail(Kind::PortVanished, got == 0 ? "" : errorText(errno));
}

}  // namespace devicelink::platform
