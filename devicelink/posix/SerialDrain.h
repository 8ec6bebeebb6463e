// Waiting until a serial port has sent what it was given, with a limit on how long the
// output may stand still: tcdrain has none, so a port that stopped sending would hold
// the transfer for ever. Termios-level; shared by nothing else.
#pragma once

#include <functional>

namespace devicelink::platform {

// How many bytes the port still has to send; negative, with errno set, when it cannot say.
using UnsentCount = std::function<int(int fd)>;

// The bytes in the port's output queue, plus one while the UART's transmitter still
// shifts out the last byte (where the driver tells; a pseudo-terminal's queue is always 0).
int unsentBytes(int fd);

// Waits until nothing is left to send. Returns 0, ETIMEDOUT when the count did not fall
// for stallLimitMs, or the errno of a failed count (EIO once the port has gone).
int waitUntilSent(int fd, int stallLimitMs, const UnsentCount& unsent = unsentBytes);

}  // namespace devicelink::platform
