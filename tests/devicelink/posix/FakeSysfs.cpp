#include "FakeSysfs.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

void FakeSysfs::addVirtual(const std::string& name) {
    addTty(name, "virtual", false, "");
}

void FakeSysfs::addPort(const std::string& name, const std::string& device,
                        const std::string& type) {
    addTty(name, device, true, type);
}

void FakeSysfs::addPortOnBuses(const std::string& name, const BusChain& chain) {
    std::string device;
    for (const auto& [folder, bus] : chain) {
        device += (device.empty() ? "" : "/") + folder;
        fs::create_directories(devices() + "/" + device);
        if (!bus.empty()) {
            setSubsystem(device, bus);
        }
    }
    addPort(name, device, "");
}

void FakeSysfs::setDriver(const std::string& device, const std::string& bus,
                          const std::string& driver) {
    fs::create_symlink("../../bus/" + bus + "/drivers/" + driver,
                       devices() + "/" + device + "/driver");
}

void FakeSysfs::setProduct(const std::string& device, const std::string& product) {
    std::ofstream(devices() + "/" + device + "/product") << product << "\n";
}

void FakeSysfs::setSubsystem(const std::string& device, const std::string& bus) {
    const fs::path link = devices() + "/" + device + "/subsystem";
    if (!fs::is_symlink(link)) {
        fs::create_directory_symlink(root() + "/bus/" + bus, link);
    }
}

void FakeSysfs::addTty(const std::string& name, const std::string& device, bool hardware,
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
