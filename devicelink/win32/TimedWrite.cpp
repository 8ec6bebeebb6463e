#include "devicelink/win32/TimedWrite.h"

#include <algorithm>
#include <chrono>

#include "devicelink/win32/UniqueHandle.h"

namespace devicelink::platform {

namespace {

// Small enough that a serial port at 115200 baud sends a piece in about 45 ms: a write
// completes only once its piece is taken, so the stall limit must not cover a whole
// program's worth of sending.
constexpr std::size_t kPiece = 512;

// One overlapped write of a piece, waited for at most `waitMs`, or until `reader` ends.
// The OVERLAPPED and the buffer must outlive the operation: a write that is given up on
// is cancelled and its end waited for before they go away.
DWORD writePiece(HANDLE handle, HANDLE event, HANDLE reader, const char* data, DWORD size,
                 DWORD waitMs, DWORD& written) {
    written = 0;
    OVERLAPPED overlapped{};
    overlapped.hEvent = event;
    if (!::WriteFile(handle, data, size, nullptr, &overlapped)) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_IO_PENDING) {
            return error;
        }
        // The write comes first: one that completed as the reader ended is not lost.
        const HANDLE waitFor[] = {event, reader};
        const DWORD waited =
            ::WaitForMultipleObjects(reader != nullptr ? 2 : 1, waitFor, FALSE, waitMs);
        if (waited != WAIT_OBJECT_0) {
            const DWORD error2 = waited == WAIT_TIMEOUT        ? ERROR_TIMEOUT
                                 : waited == WAIT_OBJECT_0 + 1 ? ERROR_BROKEN_PIPE
                                                               : ::GetLastError();
            ::CancelIoEx(handle, &overlapped);
            // Whatever the cancelled write still took counts; the result of the cancel
            // itself (ERROR_OPERATION_ABORTED) is no news.
            ::GetOverlappedResult(handle, &overlapped, &written, TRUE);
            return error2;
        }
    }
    if (!::GetOverlappedResult(handle, &overlapped, &written, FALSE)) {
        return ::GetLastError();
    }
    return 0;
}

}  // namespace

DWORD writeAllTimed(HANDLE handle, const char* data, std::size_t size, int stallLimitMs,
                    HANDLE reader) {
    using Clock = std::chrono::steady_clock;
    UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event) {
        return ::GetLastError();
    }
    const auto limit = std::chrono::milliseconds(std::max(stallLimitMs, 0));
    auto lastProgress = Clock::now();
    std::size_t done = 0;
    while (done < size) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(lastProgress + limit - Clock::now());
        if (left.count() <= 0) {
            return ERROR_TIMEOUT;
        }
        const DWORD piece = static_cast<DWORD>(std::min(size - done, kPiece));
        DWORD written = 0;
        const DWORD error = writePiece(handle, event.get(), reader, data + done, piece,
                                       static_cast<DWORD>(left.count()), written);
        if (written > 0) {
            done += written;
            lastProgress = Clock::now();
        }
        // A port with a write time-out of its own ends a write short instead of failing;
        // only the stall limit decides when that has gone on too long.
        if (error != 0 && !(error == ERROR_TIMEOUT && written > 0)) {
            return error;
        }
    }
    return 0;
}

}  // namespace devicelink::platform
