// Serial ports as sysfs shows them: the tty devices with hardware behind them, described
// from what sysfs tells when udev knows no model. Plain file work below a root folder, so
// tests can hand in a tree of their own; the udev database is reached only via a lookup.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "devicelink/LinkPlatform.h"

namespace devicelink::platform {

// The model udev knows for the port whose folder is `classPath` (.../class/tty/<name>);
// empty when it knows none.
using ModelLookup = std::function<std::string(const std::string& classPath)>;

// Appends the ports of `sysRoot`/class/tty, by name with numbers in numeric order.
// Described by the udev model, else the USB product, else "Serial port" with the UART
// type or the driver. Left out: ttys without a device (consoles, pseudo-terminals) and
// UARTs of type 0, the placeholders with no chip behind them. Built in: a port whose
// hardware and the devices above it sit only on the platform or pnp bus (besides the
// serial core's own devices); any other bus, or none known, may hold a plugged-in board.
// The USB vendor, product and serial number come from the nearest USB device above the
// port. False when the class folder cannot be read.
bool listSysfsPorts(const std::string& sysRoot, const ModelLookup& model,
                    std::vector<PortRecord>& out);

}  // namespace devicelink::platform
