#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Listings.h"
#include "devicelink/DeviceDiscovery.h"

using cocos2d::Vector;

TEST(Discovery, PortWithoutDescriptionIsLeftOut) {
    DeviceDiscovery discovery;
    discovery.setPortSource(fixedPorts({{"ttyS0", ""}, {"ttyUSB0", "CP2102"}, {"", "Ghost"}}));
    discovery.setToolFolder("/nonexistent/zc/exe");
    Vector<ZundleCardSerialData*> devices = discover(discovery);
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices.at(0)->name, "ttyUSB0");
}

TEST(Discovery, FailedListingKeepsThePortsFoundAndReportsFalse) {
    DeviceDiscovery discovery;
    discovery.setPortSource(fixedPorts({{"ttyUSB0", "CP2102"}}, false));
    discovery.setToolFolder("/nonexistent/zc/exe");
    Vector<ZundleCardSerialData*> devices;
    EXPECT_FALSE(discovery.listDevices(devices));
    EXPECT_EQ(devices.size(), 1u);
}

TEST(Discovery, MissingToolFolderAddsNothing) {
    DeviceDiscovery discovery;
    discovery.setToolFolder("/nonexistent/zc/exe");
    Vector<ZundleCardSerialData*> devices;
    EXPECT_TRUE(discovery.findTransferTools(devices));
    EXPECT_TRUE(devices.empty());
}
