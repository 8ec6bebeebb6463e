// Discovery: turns the system's serial ports and the tool folder's executables into
// entries of the device list, in the order the user meets them. Portable; the port
// listing can be replaced for tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/Vector.h"
#include "devicelink/LinkPlatform.h"
#include "devicelink/ZundleCardSerialData.h"

class DeviceDiscovery {
public:
    // Fills the list as the system's port listing would; false when the listing failed.
    using PortSource = std::function<bool(std::vector<devicelink::platform::PortRecord>&)>;

    // Lists the system's ports and the `exe` folder beside the program.
    DeviceDiscovery();

    // Replaces the port listing; an empty function restores the system's.
    void setPortSource(PortSource source);
    // Replaces the tool folder; an empty path restores the one beside the program.
    void setToolFolder(const std::string& folder);

    // Appends the device list as the user meets it: the listed ports that have a
    // description, except those built into the computer, then the tools, then the
    // built-in ports; ports in listing order, tools by name. False when the port listing
    // failed (ports found before the failure stay).
    bool listDevices(cocos2d::Vector<ZundleCardSerialData*>& devices) const;
    // Appends an entry for each executable file of the tool folder, by name order.
    bool findTransferTools(cocos2d::Vector<ZundleCardSerialData*>& devices) const;

private:
    PortSource _portSource;
    std::string _toolFolder;
};
