// Writing a whole block to a handle opened for overlapped I/O (a serial port, our end of
// a tool's pipe) with a limit on how long the other side may take nothing: a plain
// WriteFile can block for ever under flow control or with a reader that never reads.
// Win32 only.
#pragma once

#include <windows.h>

#include <cstddef>

namespace devicelink::platform {

// Writes every byte, in pieces, continuing short writes. Returns 0, ERROR_TIMEOUT when
// nothing was taken for stallLimitMs, ERROR_BROKEN_PIPE once `reader` (when given: the
// process that reads) has ended with a write still waiting, or the system's error code of
// the failed write.
DWORD writeAllTimed(HANDLE handle, const char* data, std::size_t size, int stallLimitMs,
                    HANDLE reader = nullptr);

}  // namespace devicelink::platform
