// One thread that reaps every tool this program starts as soon as it ends, however long it
// runs, and keeps each one's end for whoever still watches it; the same thread reads what
// the tools write, so no tool ever waits on a full pipe and none needs a thread of its own.
// POSIX backend only; depends on nothing else of the device link.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace devicelink::platform {

// How one child ended, told by the reaper.
class ChildEnd {
public:
    // Waits until the child has ended or the deadline has passed; true when it has ended,
    // with the status as waitpid gives it.
    bool waitUntil(std::chrono::steady_clock::time_point deadline, int& status);
    void record(int status);

private:
    std::mutex _mutex;
    std::condition_variable _changed;
    bool _ended = false;
    int _status = 0;
};

class ChildReaper {
public:
    // The process-wide reaper, made on first use and never destroyed: children may outlive
    // every other object of the program.
    static ChildReaper& instance();

    using OutputSink = std::function<void(const char* bytes, std::size_t size)>;

    // Reaps `pid` once it ends; the child must be ours and not yet reaped. With an output
    // descriptor (non-blocking, the read end of the child's output pipe, handed over to the
    // reaper), what arrives there goes to `sink` until the pipe's writers have all closed
    // it, or the child has ended and nothing is left in it.
    std::shared_ptr<ChildEnd> watch(pid_t pid, int outputFd = -1, OutputSink sink = {});

private:
    struct Watched {
        pid_t pid;
        int pidfd;  // -1 where the system gives none; then the child is looked at by time
        std::shared_ptr<ChildEnd> end;
    };

    struct Output {
        int fd;
        OutputSink sink;
        std::shared_ptr<ChildEnd> end;
    };

    ChildReaper();
    bool startThread();
    void run();
    void wake();
    // Reaps every watched child that has ended; caller holds the mutex.
    void reapEnded();
    // Takes one block from each output that has something; closes the finished ones.
    // Caller holds the mutex.
    void readOutputs();

    std::mutex _mutex;
    std::vector<Watched> _children;
    std::vector<Output> _outputs;
    int _wakeFd = -1;
    bool _running = false;
};

}  // namespace devicelink::platform
