// The device list as the user meets it: plug-in ports, then tools, then the computer's own
// ports; ports from a sysfs tree of the test's own, described as a user knows them.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "TempFolder.h"
#include "devicelink/DeviceDiscovery.h"
#include "devicelink/posix/SysfsPorts.h"
#include "devicelink/posix/UdevModel.h"

using devicelink::platform::PortRecord;
namespace fs = std::filesystem;

namespace {

// A sysfs tree of the test's own in the kernel's shape: class/tty/<name> links to the tty's
// folder below devices/, whose `device` link leads back up to the hardware.
struct FakeSysfs {
    // `chain`: the hardware's path below devices/, each folder with "=bus" when it has a
    // `subsystem` link; empty for a console or the like. `type` is the UART type attribute
    // that only serial-core ports have.
    void addPort(const std::string& name, const std::string& chain, const std::string& type = "") {
        std::string device;
        std::istringstream parts(chain);
        for (std::string part; std::getline(parts, part, '/');) {
            const std::size_t equals = part.find('=');
            device += (device.empty() ? "" : "/") + part.substr(0, equals);
            const fs::path link = root() + "/devices/" + device + "/subsystem";
            fs::create_directories(link.parent_path());
            if (equals != part.npos && !fs::is_symlink(link))
                fs::create_directory_symlink(root() + "/bus/" + part.substr(equals + 1), link);
        }
        const std::string relative = (chain.empty() ? "virtual" : device) + "/tty/" + name;
        const std::string tty = root() + "/devices/" + relative;
        fs::create_directories(tty);
        fs::create_directories(root() + "/class/tty");
        fs::create_directory_symlink("../../devices/" + relative, root() + "/class/tty/" + name);
        std::ofstream(tty + "/uevent") << "MAJOR=4\nDEVNAME=" << name << "\n";
        if (!chain.empty())
            fs::create_directory_symlink("../..", tty + "/device");
        if (!type.empty())
            std::ofstream(tty + "/type") << type << "\n";
    }
    void setProduct(const std::string& device, const std::string& product) {
        setAttribute(device, "product", product);
    }
    void setAttribute(const std::string& device, const std::string& name,
                      const std::string& value) {
        std::ofstream(root() + "/devices/" + device + "/" + name) << value << "\n";
    }
    const std::string& root() const { return folder.path(); }
    TempFolder folder;
};

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
        std::vector<std::string> names;
        for (const ZundleCardSerialData* entry : devices)
            names.push_back(entry->name);
        EXPECT_EQ(names,
                  (std::vector<std::string>{"ttyUSB1", "ttyACM0", "Alpha", "Beta.sh", "beta.sh",
                                            "link.exe", "Yarn", "zeta.exe", "ttyS0"}));
        EXPECT_EQ(devices.at(2)->path, folder.file("Alpha"));
        EXPECT_EQ(devices.at(2)->kind, TargetKind::Tool);
        EXPECT_EQ(devices.at(0)->description, "FT232R USB UART");
        EXPECT_EQ(devices.at(0)->kind, TargetKind::SerialPort);
        // Made on a worker thread: the list holds the only reference.
        EXPECT_EQ(devices.at(0)->getReferenceCount(), 1u);
    }
}

TEST(SysfsPorts, PortsWithHardwareByNameDescribedAndTheBuiltInOnesMarked) {
    FakeSysfs sys;
    sys.addPort("tty0", "");
    // Placeholders the 8250 driver makes for ports that may not exist: type 0.
    sys.addPort("ttyS0", "platform/serial8250=platform", "0");
    // Newer kernels put the serial core's own devices below the chip.
    sys.addPort("ttyS1", "pnp0/00:04=pnp/00:04:0=serial-base", "4");
    sys.addPort("ttyS10", "pnp0/00:05=pnp", "4");
    sys.addPort("ttyS4", "pci0000:00/0000:00:1c.0=pci/0000:03:00.0=pci", "4");
    const std::string hub = "pci0000:00/0000:00:14.0=pci/usb1=usb";
    sys.addPort("ttyUSB0", hub + "/1-2=usb/1-2:1.0=usb/ttyUSB0=usb-serial");
    sys.setProduct("pci0000:00/0000:00:14.0/usb1", "xHCI Host Controller");
    sys.setProduct("pci0000:00/0000:00:14.0/usb1/1-2", "FT232R USB UART");
    sys.addPort("ttyACM0", hub + "/1-3=usb/1-3:1.0=usb");
    // A bus not known to be the computer's own: a board may be wired to its pins.
    sys.addPort("ttyAMA0", "platform/soc=platform/fe201000.serial=amba");
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
    // The udev database's name, the encoded one, the plain one, and what the user reads.
    const std::tuple<const char*, const char*, const char*, std::string> cases[] = {
        {"FT232 Serial (UART) IC", "FT232R\\x20USB\\x20UART", "x", "FT232 Serial (UART) IC"},
        {"", "CP2102\\x2fCP2109\\x5fBridge", "x", "CP2102/CP2109_Bridge"},
        {nullptr, "", "USB_Serial_Port", "USB Serial Port"},
        {nullptr, "Not\\xZZhex\\x2", nullptr, "Not\\xZZhex\\x2"},
        {nullptr, nullptr, nullptr, ""},
    };
    for (const auto& [fromDatabase, encoded, plain, expected] : cases)
        EXPECT_EQ(devicelink::platform::describeUdevModel(fromDatabase, encoded, plain), expected);
}

// Two boards of one kind differ only in their serial numbers; the hub above them has a
// USB identity too, but the nearest device is the board.
TEST(SysfsPorts, AUsbPortCarriesTheIdentityOfTheNearestUsbDevice) {
    FakeSysfs sys;
    const std::string hub = "pci0000:00/0000:00:14.0=pci/usb1=usb";
    const std::string usb1 = "pci0000:00/0000:00:14.0/usb1";
    sys.addPort("ttyACM0", hub + "/1-3=usb/1-3:1.0=usb");
    sys.addPort("ttyACM1", hub + "/1-4=usb/1-4:1.0=usb");
    sys.addPort("ttyS4", "pci0000:00/0000:00:1c.0=pci/0000:03:00.0=pci", "4");
    for (const auto& [device, vendor, product, serial] :
         {std::tuple<std::string, const char*, const char*, const char*>{usb1, "1d6b", "0002",
                                                                         "0000:00:14.0"},
          {usb1 + "/1-3", "2341", "0043", "85736323838351F0F1B1"},
          {usb1 + "/1-4", "2341", "0043", "75833353934351D02171"}}) {
        sys.setAttribute(device, "idVendor", vendor);
        sys.setAttribute(device, "idProduct", product);
        sys.setAttribute(device, "serial", serial);
    }
    std::vector<PortRecord> ports;
    ASSERT_TRUE(devicelink::platform::listSysfsPorts(sys.root(), {}, ports));
    std::vector<std::tuple<std::string, std::string, std::string, std::string>> seen;
    for (const PortRecord& port : ports)
        seen.emplace_back(port.name, port.usbVendor, port.usbProduct, port.serialNumber);
    EXPECT_EQ(seen, (decltype(seen){{"ttyACM0", "2341", "0043", "85736323838351F0F1B1"},
                                    {"ttyACM1", "2341", "0043", "75833353934351D02171"},
                                    {"ttyS4", "", "", ""}}));
}
