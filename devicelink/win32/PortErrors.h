// What the system's error codes mean for a transfer to a serial port: the reason a port
// was refused or a write failed, as the user is told it. Win32 only; no port calls.
#pragma once

#include <windows.h>

#include "devicelink/TransferFailure.h"

namespace devicelink::platform {

// Records why opening a port failed; returns false. A port held by another program is
// refused as access denied, since ports are opened without sharing.
bool failPortOpen(DWORD error, TransferFailure& failure);

// Records why writing to an open port failed; returns false. ERROR_TIMEOUT is a port that
// took nothing for the stall limit; anything else means the port is gone.
bool failPortWrite(DWORD error, TransferFailure& failure);

}  // namespace devicelink::platform
