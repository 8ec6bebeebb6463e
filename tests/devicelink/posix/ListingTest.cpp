// The device list as the user meets it: plug-in ports, then tools, then the computer's own
// ports; ports from a sysfs tree of the test's own, described as a user knows them.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <tuple>
#include <vector>

#include "FakeSysfs.h"
#include "TempFolder.h"
#include "devicelink/DeviceDiscovery.h"
#include "devicelink/posix/SysfsPorts.h"
#include "devicelink/posix/UdevModel.h"

using devicelink::platform::PortRecord;

namespace {

std::vector<std::string> names(const cocos2d::Vector<ZundleCardSerialData*>& devices) {
    std::vector<std::string> result;
    for (const ZundleCardSerialData* entry : devices)
        result.push_back(entry->name);
    return result;
}

}  // namespace

// Play goes to the first entry: with no board plugged in, that must be a tool such as the
// board simulator, not the computer's own UART.
TEST(Discovery, PlugInPortsThenToolsByNameThenTheComputersOwnPorts) {
    TempFolder folder;
    for (const char* tool : {"zeta.exe", "Alpha", "beta.sh", "Beta.sh", "Yarn"})
        folder.write(tool, "#!/bin/sh\nexit 0\n", 0755);
    folder.write("readme.exe", "#!/bin/sh\n", 0644);
    ::mkdir(folder.file("folder.exe").c_str(), 0755);
    ::symlink(folder.file("Alpha").c_str(), folder.file("link.exe").c_str());
    ::symlink(folder.file("gone").c_str(), folder.file("dangling.exe").c_str());

    for (const bool listed : {true, false}) {
        DeviceDiscovery discovery;
        discovery.setPortSource([listed](std::vector<PortRecord>& out) {
            out = {{"ttyS0", "Serial port (16550A)", true},
                   {"ttyUSB1", "FT232R USB UART"},
                   {"ttyS5", ""},
                   {"ttyACM0", "Board"}};
            return listed;
        });
        discovery.setToolFolder(folder.path() + "/");
        cocos2d::Vector<ZundleCardSerialData*> devices;
        EXPECT_EQ(discovery.listDevices(devices), listed);
        EXPECT_EQ(names(devices),
                  (std::vector<std::string>{"ttyUSB1", "ttyACM0", "Alpha", "Beta.sh", "beta.sh",
                                            "link.exe", "Yarn", "zeta.exe", "ttyS0"}));
        EXPECT_EQ(devices.at(2)->path, folder.file("Alpha"));
        EXPECT_EQ(devices.at(2)->kind, ZundleCardSerialData::kKindTool);
        EXPECT_EQ(devices.at(0)->description, "FT232R USB UART");
        EXPECT_EQ(devices.at(0)->kind, ZundleCardSerialData::kKindSerialPort);
        // Made on a worker thread: the list holds the only reference.
        EXPECT_EQ(devices.at(0)->getReferenceCount(), 1u);
    }
}

TEST(Discovery, DefaultToolFolderIsBesideTheProgram) {
    char self[4096] = {};
    ASSERT_GT(::readlink("/proc/self/exe", self, sizeof(self) - 1), 0);
    const std::string program = self;
    EXPECT_EQ(devicelink::platform::defaultToolFolder(),
              program.substr(0, program.rfind('/')) + "/exe");
}

TEST(SysfsPorts, PortsWithHardwareByNameDescribedAndTheBuiltInOnesMarked) {
    FakeSysfs sys;
    sys.addPort("tty0", {});
    // Placeholders the 8250 driver makes for ports that may not exist: type 0.
    sys.addPort("ttyS0", {{"platform", ""}, {"serial8250", "platform"}}, "0");
    // Newer kernels put the serial core's own devices below the chip.
    sys.addPort("ttyS1", {{"pnp0", ""}, {"00:04", "pnp"}, {"00:04:0", "serial-base"}}, "4");
    sys.addPort("ttyS10", {{"pnp0", ""}, {"00:05", "pnp"}}, "4");
    sys.addPort("ttyS4", {{"pci0000:00", ""}, {"0000:00:1c.0", "pci"}, {"0000:03:00.0", "pci"}},
                "4");
    const std::string hub = "pci0000:00/0000:00:14.0/usb1";
    sys.addPort("ttyUSB0", {{"pci0000:00", ""},
                            {"0000:00:14.0", "pci"},
                            {"usb1", "usb"},
                            {"1-2", "usb"},
                            {"1-2:1.0", "usb"},
                            {"ttyUSB0", "usb-serial"}});
    sys.setProduct(hub, "xHCI Host Controller");
    sys.setProduct(hub + "/1-2", "FT232R USB UART");
    sys.addPort("ttyACM0", {{"pci0000:00", ""},
                            {"0000:00:14.0", "pci"},
                            {"usb1", "usb"},
                            {"1-3", "usb"},
                            {"1-3:1.0", "usb"}});
    // A bus not known to be the computer's own: a board may be wired to its pins.
    sys.addPort("ttyAMA0", {{"platform", ""}, {"soc", "platform"}, {"fe201000.serial", "amba"}});
    const auto udevModel = [](const std::string& classPath) {
        return classPath.substr(classPath.rfind('/') + 1) == "ttyACM0" ? "Uno R3 (CDC ACM)" : "";
    };
    std::vector<PortRecord> ports;
    ASSERT_TRUE(devicelink::platform::listSysfsPorts(sys.root(), udevModel, ports));
    std::vector<std::tuple<std::string, std::string, bool>> seen;
    for (const PortRecord& port : ports)
        seen.emplace_back(port.name, port.description, port.builtIn);
    EXPECT_EQ(seen, (decltype(seen){{"ttyACM0", "Uno R3 (CDC ACM)", false},
                                    {"ttyAMA0", "Serial port", false},
                                    {"ttyS1", "Serial port (16550A)", true},
                                    {"ttyS4", "Serial port (16550A)", false},
                                    {"ttyS10", "Serial port (16550A)", true},
                                    {"ttyUSB0", "FT232R USB UART", false}}));

    TempFolder empty;
    EXPECT_FALSE(devicelink::platform::listSysfsPorts(empty.path(), {}, ports));
}

TEST(UdevModel, DatabaseNameElseTheEncodedElseThePlainOneReadable) {
    const struct {
        const char* fromDatabase;
        const char* encoded;
        const char* plain;
        std::string expected;
    } cases[] = {
        {"FT232 Serial (UART) IC", "FT232R\\x20USB\\x20UART", "x", "FT232 Serial (UART) IC"},
        {"", "CP2102\\x2fCP2109\\x5fBridge", "x", "CP2102/CP2109_Bridge"},
        {nullptr, "", "USB_Serial_Port", "USB Serial Port"},
        {nullptr, "Not\\xZZhex\\x2", nullptr, "Not\\xZZhex\\x2"},
        {nullptr, nullptr, nullptr, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(devicelink::platform::describeUdevModel(c.fromDatabase, c.encoded, c.plain),
                  c.expected);
    }
}
