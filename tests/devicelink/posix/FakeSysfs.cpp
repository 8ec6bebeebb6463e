#include "FakeSysfs.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

void FakeSysfs::addPort(const std::string& name, const BusChain& chain, const std::string& type) {
    std::string device;
    for (const auto& [folder, bus] : chain) {
        device += (device.empty() ? "" : "/") + folder;
        const fs::path link = root() + "/devices/" + device + "/subsystem";
        fs::create_directories(link.parent_path());
        if (!bus.empty() && !fs::is_symlink(link))
            fs::create_directory_symlink(root() + "/bus/" + bus, link);
    }
    const std::string tty = (chain.empty() ? "virtual" : device) + "/tty/" + name;
    fs::create_directories(root() + "/devices/" + tty);
    fs::create_directories(root() + "/class/tty");
    fs::create_directory_symlink("../../devices/" + tty, root() + "/class/tty/" + name);
    std::ofstream(root() + "/devices/" + tty + "/uevent") << "MAJOR=4\nDEVNAME=" << name << "\n";
    if (!chain.empty())
        fs::create_directory_symlink("../..", root() + "/devices/" + tty + "/device");
    if (!type.empty())
        std::ofstream(root() + "/devices/" + tty + "/type") << type << "\n";
}

void FakeSysfs::setProduct(const std::string& device, const std::string& product) {
    std::ofstream(root() + "/devices/" + device + "/product") << product << "\n";
}
