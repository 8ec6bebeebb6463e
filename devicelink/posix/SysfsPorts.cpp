#include "devicelink/posix/SysfsPorts.h"

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <tuple>

#include "lang/Translate.h"

namespace devicelink::platform {

namespace {

std::string lowerHex(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// The first line of a sysfs attribute, without its line end; empty when unreadable.
std::string readAttribute(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) {
        line.pop_back();
    }
    return line;
}

std::string realPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? resolved : "";
}

// "ttyS2" before "ttyS10", as people count: tty names are a stem and a number.
bool naturalLess(const std::string& a, const std::string& b) {
    const auto split = [](const std::string& name) {
        const std::size_t end = name.find_last_not_of("0123456789") + 1;
        const std::string digits = name.substr(end);
        const std::size_t zeros = std::min(digits.find_first_not_of('0'), digits.size());
        // A number compares by its length first, then by its digits.
        return std::make_tuple(name.substr(0, end), digits.size() - zeros, digits.substr(zeros),
                               name);
    };
    return split(a) < split(b);
}

// The device folder and the folders above it, up to (not including) `top`.
std::vector<std::string> ancestry(std::string folder, const std::string& top) {
    std::vector<std::string> chain;
    while (folder.size() > top.size() && folder.compare(0, top.size() + 1, top + "/") == 0) {
        chain.push_back(folder);
        folder.erase(folder.rfind('/'));
    }
    return chain;
}

std::string usbProduct(const std::vector<std::string>& chain) {
    for (const std::string& folder : chain) {
        std::string product = readAttribute(folder + "/product");
        if (!product.empty()) {
            return product;
        }
    }
    return "";
}

// The USB device nearest above the port: the first folder with a vendor id.
void usbIdentity(const std::vector<std::string>& chain, PortRecord& port) {
    for (const std::string& folder : chain) {
        const std::string vendor = readAttribute(folder + "/idVendor");
        if (!vendor.empty()) {
            port.usbVendor = lowerHex(vendor);
            port.usbProduct = lowerHex(readAttribute(folder + "/idProduct"));
            port.serialNumber = readAttribute(folder + "/serial");
            return;
        }
    }
}

// Where a symbolic link points, as written; empty when it is no link.
std::string linkTarget(const std::string& path) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof(target) - 1);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : "";
}

// The driver that stands for the hardware. Newer kernels put the serial core's own
// "port" and "ctrl" devices between the tty and the chip; their drivers say nothing.
std::string driverName(const std::vector<std::string>& chain) {
    for (const std::string& folder : chain) {
        const std::string link = linkTarget(folder + "/driver");
        if (!link.empty() && link.find("/bus/serial-base/") == std::string::npos) {
            return link.substr(link.rfind('/') + 1);
        }
    }
    return "";
}

// A UART of the computer's own: platform devices and ACPI-enumerated (pnp) ones, with
// nothing pluggable above them. A platform UART below a PCI device, or one on a bus not
// named here, stays a port a board may be wired to: a doubtful port is better offered
// before the tools than after them.
bool builtInPort(const std::vector<std::string>& chain) {
    bool onBoardBus = false;
    for (const std::string& folder : chain) {
        const std::string link = linkTarget(folder + "/subsystem");
        const std::string bus = link.substr(link.rfind('/') + 1);
        if (bus.empty() || bus == "serial-base") {
            continue;
        }
        if (bus != "platform" && bus != "pnp") {
            return false;
        }
        onBoardBus = true;
    }
    return onBoardBus;
}

// The kernel's names of the common UART types (the `type` attribute of 8250 ports).
std::string uartName(const std::string& type) {
    static const char* const kNames[] = {"",       "8250",  "16450",   "16550", "16550A",
                                         "Cirrus", "16650", "16650V2", "16750", "Startech",
                                         "16C950", "16654", "16850",   "RSA",   "NS16550A"};
    const long number = type.empty() || type.find_first_not_of("0123456789") != std::string::npos
                            ? -1
                            : std::strtol(type.c_str(), nullptr, 10);
    constexpr long kKnown = static_cast<long>(sizeof(kNames) / sizeof(kNames[0]));
    return number > 0 && number < kKnown ? kNames[number] : "";
}

std::string plainDescription(const std::string& type, const std::vector<std::string>& chain) {
    std::string kind = uartName(type);
    if (kind.empty()) {
        kind = driverName(chain);
    }
    return kind.empty() ? lang::tr("Serial port")
                        : lang::fill(lang::tr("Serial port ({kind})"), {{"kind", kind}});
}

// The name below /dev: udev names the node as the kernel asks in DEVNAME.
std::string nodeName(const std::string& classPath, const std::string& fallback) {
    std::ifstream uevent(classPath + "/uevent");
    std::string line;
    while (std::getline(uevent, line)) {
        if (line.compare(0, 8, "DEVNAME=") == 0 && line.size() > 8) {
            return line.substr(8);
        }
    }
    return fallback;
}

}  // namespace

bool listSysfsPorts(const std::string& sysRoot, const ModelLookup& model,
                    std::vector<PortRecord>& out) {
    const std::string classFolder = sysRoot + "/class/tty";
    DIR* directory = ::opendir(classFolder.c_str());
    if (directory == nullptr) {
        return false;
    }
    std::vector<std::string> names;
    while (const dirent* item = ::readdir(directory)) {
        if (item->d_name[0] != '.') {
            names.emplace_back(item->d_name);
        }
    }
    ::closedir(directory);
    std::sort(names.begin(), names.end(), naturalLess);

    std::string top = realPath(sysRoot);
    for (const std::string& name : names) {
        const std::string classPath = classFolder + "/" + name;
        const std::string device = realPath(classPath + "/device");
        const std::string type = readAttribute(classPath + "/type");
        if (device.empty() || type == "0") {
            continue;
        }
        const std::vector<std::string> chain = ancestry(device, top);
        std::string description = model ? model(classPath) : "";
        if (description.empty()) {
            description = usbProduct(chain);
        }
        if (description.empty()) {
            description = plainDescription(type, chain);
        }
        PortRecord port{nodeName(classPath, name), std::move(description), builtInPort(chain)};
        usbIdentity(chain, port);
        out.push_back(std::move(port));
    }
    return true;
}

}  // namespace devicelink::platform
