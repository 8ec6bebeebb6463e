// One thread that reaps every tool this program starts as soon as it ends, however long it
// runs, and keeps each one's end for whoever still watches it. POSIX backend only; depends
// on nothing else of the device link.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
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

    // Reaps `pid` once it ends; the child must be ours and not yet reaped.
    std::shared_ptr<ChildEnd> watch(pid_t pid);

private:
    struct Watched {
        pid_t pid;
        int pidfd;  // -1 where the system gives none; then the child is looked at by time
        std::shared_ptr<ChildEnd> end;
    };

    ChildReaper();
    bool startThread();
    void run();
    void wake();
    // Reaps every watched child that has ended; caller holds the mutex.
    void reapEnded();

    std::mutex _mutex;
    std::vector<Watched> _children;
    int _wakeFd = -1;
    bool _running = false;
};

}  // namespace devicelink::platform
