// A sysfs tree of a test's own, in the shape the kernel gives it: class/tty/<name> links
// to the tty's folder below devices/, whose `device` link leads back up to the hardware.
// Plain files and links in a temporary folder; nothing of the real /sys is read.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "TempFolder.h"

class FakeSysfs {
public:
    // Folders below devices/, each below the one before it, with the bus its `subsystem`
    // link names ("" for none), as the folders above a tty's hardware carry them.
    using BusChain = std::vector<std::pair<std::string, std::string>>;

    const std::string& root() const { return _folder.path(); }

    // A tty whose hardware is the last folder of `chain` (none: a console or the like);
    // `type` is the UART type attribute, which only serial-core ports have.
    void addPort(const std::string& name, const BusChain& chain, const std::string& type = "");
    // The product name of the device folder at that path below devices/.
    void setProduct(const std::string& device, const std::string& product);

private:
    TempFolder _folder;
};
