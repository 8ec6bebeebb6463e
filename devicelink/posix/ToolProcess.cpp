// Transfer tools as child processes: posix_spawn with a pipe on standard input and one on
// standard output and error (read by the reaper's thread), writes that survive a tool that
// has gone, and the tool's end told after its input.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <memory>
#include <string>
#include <utility>

#include "devicelink/LinkPlatform.h"
#include "devicelink/posix/ChildReaper.h"
#include "devicelink/posix/ErrorText.h"
#include "devicelink/posix/WriteAll.h"

namespace devicelink::platform {

class ToolProcess {
public:
    ToolProcess(std::shared_ptr<ChildEnd> childEnd, int inputFd)
        : end(std::move(childEnd)), input(inputFd) {}
    std::shared_ptr<ChildEnd> end;  // told by the reaper, which owns the child
    int input;                      // write end of the tool's standard input, -1 once closed
};

namespace {

// Keeps a pipe end off descriptors 0-2, where the child's own redirections would land
// on it (possible only when this program runs with a standard descriptor closed).
int aboveStandardDescriptors(int fd) {
    if (fd > STDERR_FILENO) {
        return fd;
    }
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    ::close(fd);
    return moved;
}

using Kind = TransferFailure::Kind;

// Whether the tool can be run at all, with the reason when not.
bool checkRunnable(const std::string& path, TransferFailure& failure) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        return failure.fail(Kind::ToolMissing);
    }
    if (!S_ISREG(info.st_mode)) {
        return failure.fail(Kind::ToolNotStarted, "not a file");
    }
    if (::access(path.c_str(), X_OK) != 0) {
        return failure.fail(Kind::ToolNotStarted, errorText(errno));
    }
    return true;
}

// A file the system cannot run by itself is a script for the shell, as a shell decides:
// unless its first line holds a zero byte, which text never does (a program built for
// another kind of computer, say). Like a shell, only the first 80 bytes are looked at.
bool isShellScript(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    char start[80];
    file.read(start, sizeof(start));
    const std::string head(start, static_cast<std::size_t>(file.gcount()));
    const std::string firstLine = head.substr(0, head.find('\n'));
    return !file.bad() && firstLine.find('\0') == std::string::npos;
}

// Spawns the tool with the pipe's read end as standard input, `outputEnd` (or /dev/null
// when it is -1) as output and error, nothing else inherited, and default signal handling
// and mask. With a shell, the shell is started with the tool's path as its script.
int spawnTool(const std::string& path, const char* shell, int readEnd, int outputEnd, pid_t& pid) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawnattr_init(&attributes);
    ::posix_spawn_file_actions_adddup2(&actions, readEnd, STDIN_FILENO);
    if (outputEnd >= 0) {
        ::posix_spawn_file_actions_adddup2(&actions, outputEnd, STDOUT_FILENO);
    } else {
        ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    ::posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    ::posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    sigset_t allSignals;
    sigset_t noSignals;
    ::sigfillset(&allSignals);
    ::sigemptyset(&noSignals);
    ::posix_spawnattr_setsigdefault(&attributes, &allSignals);
    // The calling worker blocks SIGPIPE while writing; the tool must not inherit that.
    ::posix_spawnattr_setsigmask(&attributes, &noSignals);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    char* program = const_cast<char*>(shell != nullptr ? shell : path.c_str());
    char* arguments[] = {program, const_cast<char*>(path.c_str()), nullptr};
    if (shell == nullptr) {
        arguments[1] = nullptr;
    }
    const int result = ::posix_spawn(&pid, program, &actions, &attributes, arguments, environ);
    ::posix_spawnattr_destroy(&attributes);
    ::posix_spawn_file_actions_destroy(&actions);
    return result;
}

// Blocks SIGPIPE on this thread while writing into the pipe, so that a tool that has
// gone only yields EPIPE, and takes back a SIGPIPE raised meanwhile before unblocking.
class SigpipeGuard {
public:
    SigpipeGuard() {
        ::sigemptyset(&_pipeOnly);
        ::sigaddset(&_pipeOnly, SIGPIPE);
        sigset_t pending;
        ::sigpending(&pending);
        _alreadyPending = ::sigismember(&pending, SIGPIPE) == 1;
        ::pthread_sigmask(SIG_BLOCK, &_pipeOnly, &_previous);
    }
    ~SigpipeGuard() {
        if (!_alreadyPending) {
            const timespec noWait{0, 0};
            while (::sigtimedwait(&_pipeOnly, nullptr, &noWait) < 0 && errno == EINTR) {
            }
        }
        ::pthread_sigmask(SIG_SETMASK, &_previous, nullptr);
    }
    SigpipeGuard(const SigpipeGuard&) = delete;
    SigpipeGuard& operator=(const SigpipeGuard&) = delete;

private:
    sigset_t _pipeOnly;
    sigset_t _previous;
    bool _alreadyPending = false;
};

// Bytes written into the tool's input that it has not read yet; 0 when unknown.
int unreadBytes(int input) {
    int count = 0;
    return ::ioctl(input, FIONREAD, &count) == 0 ? count : 0;
}

// A pipe with both ends above the standard descriptors and closed on exec; `ourEnd`
// (0 or 1) is made non-blocking. False with the errno when one could not be made.
bool makePipe(int ends[2], int ourEnd, int& error) {
    int made[2];
    if (::pipe2(made, O_CLOEXEC) != 0) {
        error = errno;
        return false;
    }
    ends[0] = aboveStandardDescriptors(made[0]);
    ends[1] = aboveStandardDescriptors(made[1]);
    // Only our end is non-blocking: the tool uses its end as an ordinary pipe.
    if (ends[0] >= 0 && ends[1] >= 0 && ::fcntl(ends[ourEnd], F_SETFL, O_NONBLOCK) == 0) {
        return true;
    }
    error = errno;
    for (int i = 0; i < 2; ++i) {
        if (ends[i] >= 0) {
            ::close(ends[i]);
        }
    }
    return false;
}

// How often the pipe is looked at while the tool reads its last bytes.
constexpr std::chrono::milliseconds kDrainLookInterval{5};

}  // namespace

void ToolProcessCloser::operator()(ToolProcess* tool) const {
    if (tool->input >= 0) {
        ::close(tool->input);
    }
    delete tool;
}

ToolProcessPtr startTool(const std::string& path, TransferFailure& failure, ToolOutput output) {
    if (!checkRunnable(path, failure)) {
        return {};
    }
    int input[2];
    int answer[2] = {-1, -1};
    int error = 0;
    if (!makePipe(input, 1, error)) {
        failure.fail(Kind::ToolNotStarted, errorText(error));
        return {};
    }
    if (output && !makePipe(answer, 0, error)) {
        failure.fail(Kind::ToolNotStarted, errorText(error));
        ::close(input[0]);
        ::close(input[1]);
        return {};
    }
    pid_t pid = -1;
    int spawned = spawnTool(path, nullptr, input[0], answer[1], pid);
    if (spawned == ENOEXEC && isShellScript(path)) {
        spawned = spawnTool(path, "/bin/sh", input[0], answer[1], pid);
    }
    ::close(input[0]);
    if (answer[1] >= 0) {
        ::close(answer[1]);
    }
    if (spawned != 0) {
        failure.fail(Kind::ToolNotStarted, errorText(spawned));
        ::close(input[1]);
        if (answer[0] >= 0) {
            ::close(answer[0]);
        }
        return {};
    }
    return ToolProcessPtr(new ToolProcess(
        ChildReaper::instance().watch(pid, answer[0], std::move(output)), input[1]));
}

bool writeTool(ToolProcess& tool, const std::string& bytes, const LinkSettings& settings,
               TransferFailure& failure) {
    if (tool.input < 0) {
        return failure.fail(Kind::ToolEndedEarly);
    }
    SigpipeGuard guard;
    const int error = writeAll(tool.input, bytes.data(), bytes.size(), settings.stallLimitMs);
    if (error == ETIMEDOUT) {
        return failure.fail(Kind::ToolStalled);
    }
    // EPIPE is what a tool that has ended leaves; its text would only puzzle the user.
    if (error != 0) {
        return failure.fail(Kind::ToolEndedEarly, error == EPIPE ? "" : errorText(error));
    }
    return true;
}

bool settleTool(ToolProcess& tool, std::chrono::steady_clock::time_point deadline,
                TransferFailure& failure) {
    // The input stays open until the tool has taken every byte: once it has ended, bytes
    // left in the pipe are the only sign that it stopped short of the end.
    int status = 0;
    bool ended = false;
    while (tool.input >= 0 && !ended) {
        const auto now = std::chrono::steady_clock::now();
        if (unreadBytes(tool.input) == 0) {
            if (!closeToolInput(tool, failure)) {
                return false;
            }
            break;
        }
        if (now >= deadline) {
            break;
        }
        ended = tool.end->waitUntil(std::min(deadline, now + kDrainLookInterval), status);
    }
    const bool leftUnread = ended && tool.input >= 0 && unreadBytes(tool.input) > 0;
    if (tool.input >= 0 && !closeToolInput(tool, failure)) {
        return false;
    }
    // A tool that runs on past the deadline is one that waits for its board: not a fault.
    ended = ended || tool.end->waitUntil(deadline, status);
    if (ended && WIFSIGNALED(status)) {
        return failure.fail(Kind::ToolStopped, "signal " + std::to_string(WTERMSIG(status)));
    }
    if (ended && WIFEXITED(status) && WEXITSTATUS(status) != 0) {
        return failure.fail(Kind::ToolError, "status " + std::to_string(WEXITSTATUS(status)));
    }
    if (leftUnread) {
        return failure.fail(Kind::ToolEndedEarly);
    }
    sleepUntil(deadline);
    return true;
}

bool closeToolInput(ToolProcess& tool, TransferFailure& failure) {
    if (tool.input < 0) {
        return failure.fail(Kind::ToolEndedEarly);
    }
    const int closed = ::close(tool.input);
    const int error = errno;
    tool.input = -1;
    // Linux releases the descriptor even when close is interrupted.
    if (closed != 0 && error != EINTR) {
        return failure.fail(Kind::ToolEndedEarly, errorText(error));
    }
    return true;
}

}  // namespace devicelink::platform
