// Port listing from a sysfs tree of the test's own, through the discovery's port seam.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "FakeSysfs.h"
#include "TempFolder.h"
#include "devicelink/DeviceDiscovery.h"
#include "devicelink/posix/SysfsPorts.h"

using devicelink::platform::PortRecord;

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
    discovery.setToolFolder("/nonexistent/zc/exe");
    cocos2d::Vector<ZundleCardSerialData*> devices;
    EXPECT_TRUE(discovery.listDevices(devices));

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

// Built in, and so listed after the tools, only where nothing a board could be plugged
// into lies between the UART and the computer.
TEST(SysfsPorts, BuiltInPortsAreUartsOnThePlatformOrPnpBusAlone) {
    struct Case {
        const char* name;
        FakeSysfs::BusChain chain;
        bool builtIn;
    };
    const std::vector<Case> cases = {
        {"ttyS0", {{"platform", ""}, {"serial8250", "platform"}}, true},
        // Newer kernels: the serial core's controller and port devices below the chip.
        {"ttyS1",
         {{"pnp0", ""}, {"00:04", "pnp"}, {"00:04:0", "serial-base"}, {"00:04:0.0", "serial-base"}},
         true},
        {"ttyS4", {{"pci0000:00", ""}, {"0000:00:1c.0", "pci"}, {"0000:03:00.0", "pci"}}, false},
        // A platform UART that a PCI function provides.
        {"ttyS5",
         {{"pci0000:00", ""}, {"0000:00:1e.0", "pci"}, {"dw-apb-uart.0", "platform"}},
         false},
        {"ttyUSB0",
         {{"pci0000:00", ""},
          {"0000:00:14.0", "pci"},
          {"usb1", "usb"},
          {"1-2", "usb"},
          {"1-2:1.0", "usb"},
          {"ttyUSB0", "usb-serial"}},
         false},
        // A bus not known to be the computer's own: a board may be wired to its pins.
        {"ttyAMA0", {{"platform", ""}, {"soc", "platform"}, {"fe201000.serial", "amba"}}, false},
    };
    FakeSysfs sys;
    for (const Case& c : cases) {
        sys.addPortOnBuses(c.name, c.chain);
    }
    std::vector<PortRecord> ports;
    ASSERT_TRUE(devicelink::platform::listSysfsPorts(sys.root(), {}, ports));
    ASSERT_EQ(ports.size(), cases.size());
    for (const Case& c : cases) {
        const auto port = std::find_if(ports.begin(), ports.end(),
                                       [&](const PortRecord& p) { return p.name == c.name; });
        ASSERT_NE(port, ports.end()) << c.name;
        EXPECT_EQ(port->builtIn, c.builtIn) << c.name;
    }
}

TEST(SysfsPorts, MissingClassFolderIsAFailedListing) {
    TempFolder empty;
    std::vector<PortRecord> ports;
    EXPECT_FALSE(devicelink::platform::listSysfsPorts(empty.path(), {}, ports));
    EXPECT_TRUE(ports.empty());
}
