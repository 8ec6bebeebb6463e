#include "devicelink/posix/ChildReaper.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>
#include <thread>

namespace devicelink::platform {

namespace {

// Without a pidfd (an old kernel, or no descriptor left) a child is looked at this often.
constexpr int kLookIntervalMs = 100;
// What is read from one tool at a time: a tool that floods its output cannot starve the
// others, nor the reaping.
constexpr std::size_t kOutputBlock = 65536;

}  // namespace

bool ChildEnd::waitUntil(std::chrono::steady_clock::time_point deadline, int& status) {
    std::unique_lock<std::mutex> lock(_mutex);
    _changed.wait_until(lock, deadline, [this] { return _ended; });
    status = _status;
    return _ended;
}

void ChildEnd::record(int status) {
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _ended = true;
        _status = status;
    }
    _changed.notify_all();
}

ChildReaper& ChildReaper::instance() {
    static ChildReaper* s_reaper = new ChildReaper();
    return *s_reaper;
}

ChildReaper::ChildReaper() : _wakeFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

std::shared_ptr<ChildEnd> ChildReaper::watch(pid_t pid, int outputFd, OutputSink sink) {
    auto end = std::make_shared<ChildEnd>();
    // Through syscall: Debian 12's <sys/pidfd.h> declares pidfd_open without C linkage.
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    std::lock_guard<std::mutex> lock(_mutex);
    _children.push_back(Watched{pid, pidfd < 0 ? -1 : pidfd, end});
    if (!_running) {
        _running = startThread();
    }
    if (outputFd >= 0 && _running) {
        _outputs.push_back(Output{outputFd, std::move(sink), end});
    } else if (outputFd >= 0) {
        // Nobody to read it: a tool that writes is told at once rather than held.
        ::close(outputFd);
    }
    if (_running) {
        wake();
    } else {
        // No thread to be had: children are reaped here instead, on every later start.
        reapEnded();
    }
    return end;
}

bool ChildReaper::startThread() {
    // Signals stay with the program's own threads: the reaper must never take one.
    sigset_t all;
    sigset_t previous;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    bool started = true;
    try {
        std::thread([this] { run(); }).detach();
    } catch (const std::system_error&) {
        started = false;
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return started;
}

void ChildReaper::wake() {
    const std::uint64_t one = 1;
    if (_wakeFd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(_wakeFd, &one, sizeof(one));
    }
}

void ChildReaper::reapEnded() {
    auto kept = _children.begin();
    for (Watched& child : _children) {
        int status = 0;
        pid_t result;
        do {
            result = ::waitpid(child.pid, &status, WNOHANG);
        } while (result < 0 && errno == EINTR);
        if (result == 0) {
            if (&*kept != &child) {
                *kept = std::move(child);
            }
            ++kept;
            continue;
        }
        // Ended, or reaped by someone else (ECHILD): nobody is left to wait for.
        if (child.pidfd >= 0) {
            ::close(child.pidfd);
        }
        child.end->record(result > 0 ? status : 0);
    }
    _children.erase(kept, _children.end());
}

void ChildReaper::readOutputs() {
    static char s_block[kOutputBlock];
    auto kept = _outputs.begin();
    for (Output& output : _outputs) {
        ssize_t got = 0;
        do {
            got = ::read(output.fd, s_block, sizeof(s_block));
        } while (got < 0 && errno == EINTR);
        if (got > 0 && output.sink) {
            output.sink(s_block, static_cast<std::size_t>(got));
        }
        int status = 0;
        // A program the tool left behind may hold the pipe open for ever: once the tool has
        // ended, what it wrote is all in the pipe, and reading stops when that is taken.
        const bool drained = got == 0 || (got < 0 && errno != EAGAIN) ||
                             (got < 0 && output.end->waitUntil({}, status));
        if (drained) {
            ::close(output.fd);
            continue;
        }
        if (&*kept != &output) {
            *kept = std::move(output);
        }
        ++kept;
    }
    _outputs.erase(kept, _outputs.end());
}

void ChildReaper::run() {
    std::vector<pollfd> watched;
    for (;;) {
        int timeout = -1;
        watched.clear();
        watched.push_back(pollfd{_wakeFd, POLLIN, 0});
        {
            std::lock_guard<std::mutex> lock(_mutex);
            reapEnded();
            readOutputs();
            for (const Output& output : _outputs) {
                watched.push_back(pollfd{output.fd, POLLIN, 0});
            }
            for (const Watched& child : _children) {
                if (child.pidfd >= 0) {
                    watched.push_back(pollfd{child.pidfd, POLLIN, 0});
                } else {
                    timeout = kLookIntervalMs;
                }
            }
        }
        if (_wakeFd < 0) {
            timeout = kLookIntervalMs;
        }
        // A pidfd turns readable when its child ends; the event descriptor when a child
        // is added. Either way the list is looked over again.
        ::poll(watched.data(), watched.size(), timeout);
        std::uint64_t count = 0;
        if (_wakeFd >= 0) {
            [[maybe_unused]] const ssize_t got = ::read(_wakeFd, &count, sizeof(count));
        }
    }
}

}  // namespace devicelink::platform
