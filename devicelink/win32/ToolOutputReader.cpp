#include "devicelink/win32/ToolOutputReader.h"

#include <system_error>
#include <thread>
#include <utility>

namespace devicelink::platform {

namespace {

constexpr DWORD kReadBlock = 65536;
// WaitForMultipleObjects takes at most 64 handles, one of them the wake event; tools past
// that wait their turn.
constexpr std::size_t kWatchedAtOnce = MAXIMUM_WAIT_OBJECTS - 1;

}  // namespace

struct ToolOutputReader::Reading {
    UniqueHandle pipe;
    UniqueHandle event;
    ToolOutput sink;
    OVERLAPPED overlapped{};
    std::vector<char> buffer = std::vector<char>(kReadBlock);

    // Starts the next read; false once the pipe is finished.
    bool start() {
        overlapped = OVERLAPPED{};
        overlapped.hEvent = event.get();
        ::ResetEvent(event.get());
        // A read that completes at once still sets the event, so the wait sees it too.
        return ::ReadFile(pipe.get(), buffer.data(), kReadBlock, nullptr, &overlapped) ||
               ::GetLastError() == ERROR_IO_PENDING;
    }
    // Takes the finished read; false once the pipe is finished.
    bool finish() {
        DWORD got = 0;
        if (!::GetOverlappedResult(pipe.get(), &overlapped, &got, FALSE)) {
            return ::GetLastError() == ERROR_MORE_DATA && start();
        }
        if (got > 0 && sink) {
            sink(buffer.data(), got);
        }
        return start();
    }
};

ToolOutputReader& ToolOutputReader::instance() {
    static ToolOutputReader* s_reader = new ToolOutputReader();
    return *s_reader;
}

ToolOutputReader::ToolOutputReader() : _wake(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

void ToolOutputReader::add(UniqueHandle pipe, ToolOutput sink) {
    auto reading = std::make_unique<Reading>();
    reading->pipe = std::move(pipe);
    reading->event = UniqueHandle(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    reading->sink = std::move(sink);
    std::lock_guard<std::mutex> lock(_mutex);
    if (!_running && _wake) {
        try {
            std::thread([this] { run(); }).detach();
            _running = true;
        } catch (const std::system_error&) {
            _running = false;
        }
    }
    if (!_running || !reading->event) {
        return;  // the pipe closes with `reading`
    }
    _added.push_back(std::move(reading));
    ::SetEvent(_wake.get());
}

void ToolOutputReader::run() {
    std::vector<std::unique_ptr<Reading>> active;
    std::vector<HANDLE> events;
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(_mutex);
            for (auto& reading : _added) {
                if (reading->start()) {
                    active.push_back(std::move(reading));
                }
            }
            _added.clear();
        }
        events.assign(1, _wake.get());
        for (std::size_t i = 0; i < active.size() && i < kWatchedAtOnce; ++i) {
            events.push_back(active[i]->event.get());
        }
        const DWORD woken = ::WaitForMultipleObjects(static_cast<DWORD>(events.size()),
                                                     events.data(), FALSE, INFINITE);
        if (woken <= WAIT_OBJECT_0 || woken >= WAIT_OBJECT_0 + events.size()) {
            continue;
        }
        const std::size_t index = woken - WAIT_OBJECT_0 - 1;
        if (!active[index]->finish()) {
            // Every writer has closed it: the tool and whatever it left behind are done.
            active.erase(active.begin() + static_cast<std::ptrdiff_t>(index));
        }
    }
}

}  // namespace devicelink::platform
