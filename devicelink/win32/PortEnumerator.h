// Which device enumerators stand for ports built into the computer (its own COM1), as the
// device-setup functions name them. Win32 only; plain string work, no system calls.
#pragma once

#include <string>

namespace devicelink::platform {

// Whether a port found by this enumerator (e.g. "ACPI", "USB", "FTDIBUS") belongs to the
// computer itself: the firmware's ACPI table or the root enumerator, whatever the case.
bool isBuiltInEnumerator(const std::string& enumerator);

}  // namespace devicelink::platform
