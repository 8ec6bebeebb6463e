// The hand-off between simulator instances over a Unix-domain socket, with flock on a
// lock file deciding which instance is the window.

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <thread>

#include "simulator/PendingSender.h"
#include "simulator/SimulatorPlatform.h"

namespace simulator::platform {

namespace {

using Clock = std::chrono::steady_clock;

const char* const kBaseName = "zundle-board-simulator";
// Where the randomly named folder is recorded when another user holds the usual name.
const char* const kRecordName = ".zundle-board-simulator-place";
// Senders connected at once; more are turned away rather than holding descriptors.
constexpr std::size_t kMaxSenders = 16;
// How long a forwarder waits for a window that does not read.
constexpr int kSendTimeoutS = 2;
// How long a forwarder waits for the first answer to its transfer.
constexpr int kFirstAnswerMs = 5000;

// A folder that this user alone can enter: a real directory (no link), owned by the
// user, closed to everybody else.
bool isPrivateFolder(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

// Each display has its own window: ":0" and ":1" are apart, as are remote displays.
std::string displayPart() {
    const char* display = std::getenv("DISPLAY");
    std::string part;
    for (const char* c = display != nullptr ? display : ""; *c != '\0'; ++c) {
        const bool plain = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') ||
                           (*c >= '0' && *c <= '9') || *c == '.' || *c == '-';
        part += plain ? *c : '_';
    }
    return part.empty() ? std::string() : "-" + part.substr(0, 40);
}

// A file of this user's that others may not write.
bool isOwnFile(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::getuid() &&
           (info.st_mode & 022) == 0;
}

// A randomly named folder of our own, found again through a record in the home folder,
// which no other user can write: a name others can guess is a name they can take first.
// Instances that start together choose one at a time, under a lock on the record, so that
// all of them find the same folder.
std::string recordedPrivateFolder(const std::string& taken) {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        return std::string();
    }
    const std::string record = std::string(home) + "/" + kRecordName;
    const int fd = ::open(record.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return std::string();
    }
    int locked = -1;
    if (isOwnFile(fd)) {
        do {
            locked = ::flock(fd, LOCK_EX);
        } while (locked != 0 && errno == EINTR);
    }
    std::string chosen;
    if (locked == 0) {
        char buffer[256];
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, 0);
        chosen.assign(buffer, got > 0 ? static_cast<std::size_t>(got) : 0);
        if (chosen.compare(0, taken.size() + 1, taken + "-") != 0 || !isPrivateFolder(chosen)) {
            chosen = taken + "-XXXXXX";
            // Every reader holds the lock, so none sees half a name.
            const bool made = ::mkdtemp(chosen.data()) != nullptr;
            if (!made || ::ftruncate(fd, 0) != 0 ||
                ::pwrite(fd, chosen.data(), chosen.size(), 0) !=
                    static_cast<ssize_t>(chosen.size())) {
                if (made) {
                    ::rmdir(chosen.c_str());
                }
                chosen.clear();
            }
        }
    }
    ::close(fd);
    return chosen;
}

bool fitsSocketAddress(const std::string& path) {
    return path.size() < sizeof(sockaddr_un::sun_path);
}

sockaddr_un addressOf(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

int connectTo(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    const sockaddr_un address = addressOf(path);
    int result;
    do {
        result = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(fd);
        return -1;
    }
    const timeval timeout{kSendTimeoutS, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    return fd;
}

bool sendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

// A sender's descriptor and transfer.
using Sender = PendingSender<int>;

// Copies the window's answers to standard output until the window ends them or goes, or
// until nobody reads this instance's output any more. A window that takes a transfer says
// something within its first frame (the line it runs, an error, the end), or ends the
// answers; one that says nothing for kFirstAnswerMs is not taking transfers (minimised,
// say), and this instance does not wait for it.
void printAnswers(int window) {
    char buffer[4096];
    const auto giveUp = Clock::now() + std::chrono::milliseconds(kFirstAnswerMs);
    bool heard = false;
    for (;;) {
        const long long left =
            std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - Clock::now()).count();
        if (!heard && left <= 0) {
            return;
        }
        pollfd watched[] = {{window, POLLIN, 0}, {STDOUT_FILENO, 0, 0}};
        if (::poll(watched, 2, heard ? -1 : static_cast<int>(left)) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if ((watched[1].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            return;
        }
        if (watched[0].revents == 0) {
            continue;
        }
        heard = true;
        const ssize_t got = ::read(window, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t written = ::write(STDOUT_FILENO, buffer + done, got - done);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                return;
            }
            done += written;
        }
    }
}

// Writes what the descriptor takes now, without waiting; a pipe that shows room takes a
// piece of up to a page whole.
void writeNow(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        pollfd ready{fd, POLLOUT, 0};
        if (::poll(&ready, 1, 0) <= 0 || (ready.revents & POLLOUT) == 0) {
            return;
        }
        const std::size_t piece = std::min<std::size_t>(text.size() - done, 4096);
        const ssize_t written = ::send(fd, text.data() + done, piece, MSG_NOSIGNAL | MSG_DONTWAIT);
        const ssize_t sent =
            written < 0 && errno == ENOTSOCK ? ::write(fd, text.data() + done, piece) : written;
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return;
        }
        done += static_cast<std::size_t>(sent);
    }
}

}  // namespace

struct InstanceHandOff::State {
    std::string folder;
    std::string problem;
    std::string socketPath;
    std::string lockPath;
    int lockFd = -1;
    int listenFd = -1;
    int forwardFd = -1;
    std::deque<Sender> senders;
    // Where the last transfer's answers go: its sender's socket, or standard output for
    // this instance's own input; -1 when they are over.
    int answerFd = -1;

    void closeAnswers();

    bool listen();
    void acceptSenders();
    void readFrom(Sender& sender);
};

InstanceHandOff::InstanceHandOff(std::string folder) : _state(std::make_unique<State>()) {
    _state->folder = std::move(folder);
    if (!_state->folder.empty()) {
        const std::string base = _state->folder + "/" + kBaseName + displayPart();
        _state->socketPath = base + ".sock";
        _state->lockPath = base + ".lock";
    }
}

InstanceHandOff::~InstanceHandOff() {
    State& s = *_state;
    for (const Sender& sender : s.senders) {
        if (sender.ownsSource) {
            ::close(sender.source);
        }
    }
    if (s.listenFd >= 0) {
        ::close(s.listenFd);
        // Removed while the lock is still held, so no new window's socket goes with it.
        ::unlink(s.socketPath.c_str());
    }
    if (s.lockFd >= 0) {
        ::close(s.lockFd);
    }
    if (s.forwardFd >= 0) {
        ::close(s.forwardFd);
    }
    s.closeAnswers();
}

void InstanceHandOff::State::closeAnswers() {
    if (answerFd == STDOUT_FILENO) {
        // Whoever reads this instance's output learns that the answers are over; later
        // writes go nowhere rather than to a descriptor that something else gets.
        const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (nowhere >= 0) {
            ::dup2(nowhere, STDOUT_FILENO);
            ::close(nowhere);
        }
    } else if (answerFd >= 0) {
        ::close(answerFd);
    }
    answerFd = -1;
}

std::string InstanceHandOff::defaultFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/' && isPrivateFolder(runtime) &&
        fitsSocketAddress(std::string(runtime) + "/" + kBaseName + displayPart() + ".sock")) {
        return runtime;
    }
    const std::string folder = "/tmp/zundle-board-simulator-" + std::to_string(::getuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return std::string();
    }
    // Another user may have made the folder first, to listen in or to keep stop from
    // reaching the window: then it is never used.
    return isPrivateFolder(folder) ? folder : recordedPrivateFolder(folder);
}

const std::string& InstanceHandOff::socketPath() const {
    return _state->socketPath;
}

const std::string& InstanceHandOff::problem() const {
    return _state->problem;
}

InstanceHandOff::Role InstanceHandOff::claim(int waitMs) {
    State& s = *_state;
    if (s.folder.empty() || !fitsSocketAddress(s.socketPath) || s.lockFd >= 0) {
        return Role::Alone;
    }
    const auto giveUp = Clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        const int lock =
            ::open(s.lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (lock < 0) {
            return Role::Alone;
        }
        if (::flock(lock, LOCK_EX | LOCK_NB) == 0) {
            s.lockFd = lock;
            if (s.listen()) {
                return Role::Window;
            }
            struct stat info {};
            if (::lstat(s.socketPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
                s.problem = "a directory sits where the hand-off's socket belongs (" +
                            s.socketPath + "); remove it";
            }
            ::close(s.lockFd);
            s.lockFd = -1;
            return Role::Alone;
        }
        const int error = errno;
        ::close(lock);
        if (error != EWOULDBLOCK && error != EINTR) {
            return Role::Alone;
        }
        // The window holds the lock; its socket may be a moment away from listening.
        s.forwardFd = connectTo(s.socketPath);
        if (s.forwardFd >= 0) {
            return Role::Forwarder;
        }
        if (Clock::now() >= giveUp) {
            return Role::Alone;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool InstanceHandOff::State::listen() {
    // Whatever lies at the path belongs to a window that has ended: the lock was free.
    if (::unlink(socketPath.c_str()) != 0 && errno != ENOENT) {
        return false;
    }
    listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listenFd < 0) {
        return false;
    }
    const sockaddr_un address = addressOf(socketPath);
    if (::bind(listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(socketPath.c_str(), 0600) != 0 || ::listen(listenFd, SOMAXCONN) != 0) {
        ::close(listenFd);
        listenFd = -1;
        ::unlink(socketPath.c_str());
        return false;
    }
    return true;
}

bool InstanceHandOff::forwardStandardInput() {
    State& s = *_state;
    if (s.forwardFd < 0) {
        return false;
    }
    std::string buffer(64 * 1024, '\0');
    bool delivered = true;
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, &buffer[0], buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            delivered = got == 0;
            break;
        }
        if (!sendAll(s.forwardFd, buffer.data(), static_cast<std::size_t>(got))) {
            delivered = false;
            break;
        }
    }
    // The window reads the rest when it gets to it: the bytes stay with the socket.
    ::shutdown(s.forwardFd, SHUT_WR);
    printAnswers(s.forwardFd);
    ::close(s.forwardFd);
    s.forwardFd = -1;
    return delivered;
}

void InstanceHandOff::watchStandardInput() {
    struct stat info {};
    if (::fstat(STDIN_FILENO, &info) != 0 || ::isatty(STDIN_FILENO)) {
        return;
    }
    _state->senders.push_front(Sender(STDIN_FILENO, false));
}

std::vector<std::string> InstanceHandOff::poll() {
    State& s = *_state;
    if (s.listenFd >= 0) {
        s.acceptSenders();
    }
    for (Sender& sender : s.senders) {
        if (!sender.finished) {
            s.readFrom(sender);
        }
    }
    std::vector<std::string> transfers;
    for (Sender& sender : takeCompleteSenders(s.senders)) {
        if (sender.bytes.empty()) {
            if (sender.ownsSource) {
                ::close(sender.source);
            }
            continue;
        }
        s.closeAnswers();
        s.answerFd = sender.ownsSource ? sender.source : STDOUT_FILENO;
        transfers.push_back(std::move(sender.bytes));
    }
    return transfers;
}

void InstanceHandOff::answer(const std::string& text) {
    if (_state->answerFd >= 0 && !text.empty()) {
        writeNow(_state->answerFd, text);
    }
}

void InstanceHandOff::endAnswers() {
    _state->closeAnswers();
}

void InstanceHandOff::State::acceptSenders() {
    for (;;) {
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (senders.size() >= kMaxSenders) {
            ::close(fd);
            continue;
        }
        senders.push_back(Sender(fd, true));
    }
}

void InstanceHandOff::State::readFrom(Sender& sender) {
    char buffer[16 * 1024];
    // Bounded per call, so an endless sender cannot hold the window.
    std::size_t readNow = 0;
    while (readNow < kMaxTransfer) {
        pollfd ready{sender.source, POLLIN, 0};
        if (::poll(&ready, 1, 0) <= 0) {
            return;
        }
        const ssize_t got = ::read(sender.source, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 && errno == EAGAIN) {
            return;
        }
        if (got <= 0) {
            sender.finished = true;
            return;
        }
        readNow += static_cast<std::size_t>(got);
        sender.received(buffer, static_cast<std::size_t>(got));
    }
}

}  // namespace simulator::platform
