// Port listing from a sysfs tree of the test's own, through the discovery's port seam.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "TempFolder.h"
#include "devicelink/DeviceDiscovery.h"
#include "devicelink/posix/SysfsPorts.h"

namespace fs = std::filesystem;
using devicelink::platform::PortRecord;

namespace {

// The shape the kernel gives sysfs: class/tty/<name> links to the tty's folder below
// devices/, whose `device` link leads back up to the hardware behind it.
class FakeSysfs {
public:
    const std::string& root() const { return _folder.path(); }

    // A tty with no hardware behind it, as consoles and pseudo-terminals are.
    void addVirtual(const std::string& name) { addTty(name, "virtual", false, ""); }

    // A tty of the device folder `device` (below devices/); `type` is the UART type
    // attribute, which only serial-core ports have.
    void addPort(const std::string& name, const std::string& device, const std::string& type) {
        addTty(name, device, true, type);
    }

    void setDriver(const std::string& device, const std::string& bus, const std::string& driver) {
        fs::create_symlink("../../bus/" + bus + "/drivers/" + driver,
                           devices() + "/" + device + "/driver");
    }

    void setProduct(const std::string& device, const std::string& product) {
        std::ofstream(devices() + "/" + device + "/product") << product << "\n";
    }

private:
    std::string devices() const { return root() + "/devices"; }

    void addTty(const std::string& name, const std::string& device, bool hardware,
                const std::string& type) {
        const std::string tty = device + "/tty/" + name;
        fs::create_directories(devices() + "/" + tty);
        fs::create_directories(root() + "/class/tty");
        fs::create_directory_symlink("../../devices/" + tty, root() + "/class/tty/" + name);
        std::ofstream(devices() + "/" + tty + "/uevent") << "MAJOR=4\nDEVNAME=" << name << "\n";
        if (hardware) {
            fs::create_directory_symlink("../..", devices() + "/" + tty + "/device");
        }
        if (!type.empty()) {
            std::ofstream(devices() + "/" + tty + "/type") << type << "\n";
        }
    }

    TempFolder _folder;
};

}  // namespace

TEST(SysfsPorts, RealPortsAreListedByNameAndDescribedWithoutTheUdevDatabase) {
    FakeSysfs sys;
    sys.addVirtual("tty0");
    sys.addVirtual("ptmx");
    // A 16550A behind the serial core's own port and controller devices (newer kernels).
    const std::string uart = "pnp0/00:00";
    sys.addPort("ttyS0", uart + "/00:00:0/00:00:0.0", "4");
    sys.setDriver(uart + "/00:00:0/00:00:0.0", "serial-base", "port");
    sys.setDriver(uart + "/00:00:0", "serial-base", "ctrl");
    sys.setDriver(uart, "pnp", "serial");
    // Placeholders the 8250 driver makes for ports that may not exist: type 0.
    sys.addPort("ttyS1", "platform/serial8250/tty1", "0");
    sys.addPort("ttyS2", "platform/serial8250/tty2", "99");
    sys.setDriver("platform/serial8250", "platform", "serial8250");
    sys.addPort("ttyS10", "pnp0/00:01", "4");
    // USB adapters: the product of the USB device, not of the hub above it.
    const std::string hub = "pci0000:00/0000:00:14.0/usb1";
    sys.addPort("ttyUSB0", hub + "/1-2/1-2:1.0/ttyUSB0", "");
    sys.setProduct(hub, "xHCI Host Controller");
    sys.setProduct(hub + "/1-2", "FT232R USB UART");
    sys.addPort("ttyACM0", hub + "/1-3/1-3:1.0", "");
    sys.setProduct(hub + "/1-3", "Uno");
    sys.addPort("ttyAMA0", "platform/fe201000.serial", "");
    sys.setDriver("platform/fe201000.serial", "amba", "uart-pl011");

    // Where the udev database knows a model, it is the better name.
    const auto udevModel = [](const std::string& classPath) {
        return classPath.substr(classPath.rfind('/') + 1) == "ttyACM0" ? "Uno R3 (CDC ACM)" : "";
    };
    DeviceDiscovery discovery;
    discovery.setPortSource([&](std::vector<PortRecord>& out) {
        return devicelink::platform::listSysfsPorts(sys.root(), udevModel, out);
    });
    cocos2d::Vector<ZundleCardSerialData*> devices;
    EXPECT_TRUE(discovery.enumerateSerialPorts(devices));

    const std::vector<std::pair<std::string, std::string>> expected = {
        {"ttyACM0", "Uno R3 (CDC ACM)"},    {"ttyAMA0", "Serial port (uart-pl011)"},
        {"ttyS0", "Serial port (16550A)"},  {"ttyS2", "Serial port (serial8250)"},
        {"ttyS10", "Serial port (16550A)"}, {"ttyUSB0", "FT232R USB UART"},
    };
    ASSERT_EQ(devices.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(devices.at(i)->name, expected[i].first);
        EXPECT_EQ(devices.at(i)->description, expected[i].second) << expected[i].first;
    }
}

TEST(SysfsPorts, MissingClassFolderIsAFailedListing) {
    TempFolder empty;
    std::vector<PortRecord> ports;
    EXPECT_FALSE(devicelink::platform::listSysfsPorts(empty.path(), {}, ports));
    EXPECT_TRUE(ports.empty());
}
