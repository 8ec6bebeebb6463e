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

    // A tty with no hardware behind it, as consoles and pseudo-terminals are.
    void addVirtual(const std::string& name);

    // A tty of the device folder `device` (below devices/); `type` is the UART type
    // attribute, which only serial-core ports have.
    void addPort(const std::string& name, const std::string& device, const std::string& type);

    // A tty whose hardware is the last folder of `chain`; no UART type.
    void addPortOnBuses(const std::string& name, const BusChain& chain);

    void setDriver(const std::string& device, const std::string& bus, const std::string& driver);
    void setProduct(const std::string& device, const std::string& product);
    // Links the device folder to the bus, unless it already names one.
    void setSubsystem(const std::string& device, const std::string& bus);

private:
    std::string devices() const { return root() + "/devices"; }
    void addTty(const std::string& name, const std::string& device, bool hardware,
                const std::string& type);

    TempFolder _folder;
};
