// Serial port listing through libudev: tty devices backed by a parent device.

#include <libudev.h>

#include <cstring>

#include "devicelink/LinkPlatform.h"
#include "devicelink/posix/UdevModel.h"

namespace devicelink::platform {

namespace {

std::string nameBelowDev(const char* node) {
    static const char kPrefix[] = "/dev/";
    const std::size_t prefixLength = sizeof(kPrefix) - 1;
    if (node == nullptr || std::strncmp(node, kPrefix, prefixLength) != 0) {
        return "";
    }
    return node + prefixLength;
}

void appendPort(udev_device* device, std::vector<PortRecord>& out) {
    // Virtual consoles and pseudo-terminals have no parent device; real ports do.
    if (udev_device_get_parent(device) == nullptr) {
        return;
    }
    std::string name = nameBelowDev(udev_device_get_devnode(device));
    if (name.empty()) {
        return;
    }
    out.push_back(
        {std::move(name),
         describeUdevModel(udev_device_get_property_value(device, "ID_MODEL_FROM_DATABASE"),
                           udev_device_get_property_value(device, "ID_MODEL_ENC"),
                           udev_device_get_property_value(device, "ID_MODEL"))});
}

}  // namespace

bool listSerialPorts(std::vector<PortRecord>& out) {
    udev* context = udev_new();
    if (context == nullptr) {
        return false;
    }
    udev_enumerate* enumeration = udev_enumerate_new(context);
    bool listed = enumeration != nullptr &&
                  udev_enumerate_add_match_subsystem(enumeration, "tty") >= 0 &&
                  udev_enumerate_scan_devices(enumeration) >= 0;
    if (listed) {
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumeration)) {
            udev_device* device =
                udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
            if (device != nullptr) {
                appendPort(device, out);
                udev_device_unref(device);
            }
        }
    }
    udev_enumerate_unref(enumeration);
    udev_unref(context);
    return listed;
}

}  // namespace devicelink::platform
