// One thread that reads what every tool writes on its standard output and error, so that
// a tool never waits on a full pipe, a lingering one keeps being read, and no tool needs a
// thread of its own. Win32 only; the pipes are named pipes opened for overlapped reads.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <vector>

#include "devicelink/LinkPlatform.h"
#include "devicelink/win32/UniqueHandle.h"

namespace devicelink::platform {

class ToolOutputReader {
public:
    // The process-wide reader, made on first use and never destroyed: tools may outlive
    // every other object of the program.
    static ToolOutputReader& instance();

    // Takes over our end of a tool's output pipe and hands what arrives to `sink`, until
    // every writer has closed the pipe. Without a thread to read it, the pipe is closed, so
    // a tool that writes is told rather than held.
    void add(UniqueHandle pipe, ToolOutput sink);

private:
    struct Reading;

    ToolOutputReader();
    void run();

    std::mutex _mutex;
    std::vector<std::unique_ptr<Reading>> _added;  // handed to the thread at its next turn
    UniqueHandle _wake;
    bool _running = false;
};

}  // namespace devicelink::platform
