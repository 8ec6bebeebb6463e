// Writing a whole block to a non-blocking descriptor with a limit on how long the other
// side may take nothing. Shared by the serial port and the tool pipe.
#pragma once

#include <cstddef>

namespace devicelink::platform {

// Writes every byte, continuing short writes and retrying interruptions. Returns 0, or
// the errno of the failure (ETIMEDOUT when nothing was taken for stallLimitMs, EIO when
// the other side hung up).
int writeAll(int fd, const char* data, std::size_t size, int stallLimitMs);

}  // namespace devicelink::platform
