#include "devicelink/DeviceDiscovery.h"

#include <utility>

namespace platform = devicelink::platform;

namespace {

// Discovery runs on a worker thread, where nothing may be autoreleased: the list takes
// the only reference.
ZundleCardSerialData* appendEntry(cocos2d::Vector<ZundleCardSerialData*>& devices, TargetKind kind,
                                  const std::string& name, const std::string& description,
                                  const std::string& path) {
    auto* entry = new ZundleCardSerialData();
    entry->init();
    entry->kind = kind;
    entry->name = name;
    entry->description = description;
    entry->path = path;
    devices.pushBack(entry);
    entry->release();
    return entry;
}

// Appends the ports that are, or are not, built into the computer.
void appendPorts(const std::vector<platform::PortRecord>& ports, bool builtIn,
                 cocos2d::Vector<ZundleCardSerialData*>& devices) {
    for (const platform::PortRecord& port : ports) {
        // A port the system cannot describe is usually a placeholder with no device
        // behind it; the user would not know what it is.
        if (port.builtIn != builtIn || port.name.empty() || port.description.empty()) {
            continue;
        }
        ZundleCardSerialData* entry =
            appendEntry(devices, TargetKind::SerialPort, port.name, port.description, "");
        entry->usbVendor = port.usbVendor;
        entry->usbProduct = port.usbProduct;
        entry->serialNumber = port.serialNumber;
    }
}

}  // namespace

DeviceDiscovery::DeviceDiscovery() = default;

void DeviceDiscovery::setPortSource(PortSource source) {
    _portSource = std::move(source);
}

void DeviceDiscovery::setToolFolder(const std::string& folder) {
    _toolFolder = folder;
}

bool DeviceDiscovery::listDevices(cocos2d::Vector<ZundleCardSerialData*>& devices) const {
    std::vector<platform::PortRecord> ports;
    const bool listed = _portSource ? _portSource(ports) : platform::listSerialPorts(ports);
    // Play goes to the first entry. The computer's own UART (ttyS0, COM1) is there on
    // nearly every desktop and virtual machine and never has a board on it, so it must
    // not stand before a tool such as the board simulator.
    appendPorts(ports, false, devices);
    findTransferTools(devices);
    appendPorts(ports, true, devices);
    return listed;
}

bool DeviceDiscovery::findTransferTools(cocos2d::Vector<ZundleCardSerialData*>& devices) const {
    const std::string folder = _toolFolder.empty() ? platform::defaultToolFolder() : _toolFolder;
    if (folder.empty()) {
        return true;
    }
    for (const platform::ToolRecord& tool : platform::listExecutableFiles(folder)) {
        appendEntry(devices, TargetKind::Tool, tool.name, "", tool.path);
    }
    return true;
}
