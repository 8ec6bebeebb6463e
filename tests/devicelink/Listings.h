// Port listings and discovery runs for the discovery suites.
#pragma once

#include <vector>

#include "base/Vector.h"
#include "devicelink/DeviceDiscovery.h"

inline DeviceDiscovery::PortSource fixedPorts(std::vector<devicelink::platform::PortRecord> ports,
                                              bool result = true) {
    return [ports, result](std::vector<devicelink::platform::PortRecord>& out) {
        out.insert(out.end(), ports.begin(), ports.end());
        return result;
    };
}

inline cocos2d::Vector<ZundleCardSerialData*> discover(const DeviceDiscovery& discovery) {
    cocos2d::Vector<ZundleCardSerialData*> devices;
    discovery.listDevices(devices);
    return devices;
}
