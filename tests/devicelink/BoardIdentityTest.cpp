// Which board is mine: a USB board's serial number from a Windows instance id, and the
// remembered board found again in a fresh list, but never one that is not there.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "Entries.h"
#include "devicelink/BoardIdentity.h"

using devicelink::findBoard;
using devicelink::parseInstanceId;

TEST(BoardIdentity, VendorProductAndSerialFromAnInstanceId) {
    const std::tuple<const char*, bool, const char*, const char*, const char*> cases[] = {
        {"USB\\VID_2341&PID_0043\\85736323838351F0F1B1", true, "2341", "0043",
         "85736323838351F0F1B1"},
        {"USB\\VID_1A86&PID_7523\\5&2B3C4D5E&0&2", true, "1a86", "7523", ""},
        {"USB\\VID_2341&PID_8036&MI_00\\6&1F2E3D&0&0000", true, "2341", "8036", ""},
        {"FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000", true, "0403", "6001", "A50285BI"},
        {"ACPI\\PNP0501\\1", false, "", "", ""},
        {"USB\\VID_23&PID_0043\\X", false, "", "", ""},
        {"garbage", false, "", "", ""},
    };
    for (const auto& [id, parsed, vendor, product, serial] : cases) {
        std::string v = "x", p = "x", s = "x";
        EXPECT_EQ(parseInstanceId(id, v, p, s), parsed) << id;
        EXPECT_EQ(std::make_tuple(v, p, s),
                  std::make_tuple(std::string(vendor), std::string(product), std::string(serial)))
            << id;
    }
}

TEST(BoardIdentity, TheRememberedBoardIsFoundUnderAnyNameButNeverMadeUp) {
    const auto port = [](const char* name, const char* vendor, const char* product,
                         const char* serial) {
        ZundleCardSerialData* entry = portEntry(name);
        entry->usbVendor = vendor;
        entry->usbProduct = product;
        entry->serialNumber = serial;
        return entry;
    };
    cocos2d::Vector<ZundleCardSerialData*> devices;
    devices.pushBack(port("ttyACM0", "2341", "0043", "AAAA1111"));
    devices.pushBack(port("ttyACM1", "2341", "0043", "BBBB2222"));
    devices.pushBack(port("ttyUSB0", "1a86", "7523", ""));
    devices.pushBack(toolEntry("/opt/exe/board-simulator"));
    devices.pushBack(port("ttyS0", "", "", ""));
    EXPECT_EQ(findBoard(devices, "2341", "0043", "BBBB2222"), 1);
    EXPECT_EQ(findBoard(devices, "2341", "0043", "AAAA1111"), 0);
    EXPECT_EQ(findBoard(devices, "2341", "0043", "CCCC3333"), -1) << "another board of one kind";
    EXPECT_EQ(findBoard(devices, "2341", "0043", ""), -1) << "which of two?";
    EXPECT_EQ(findBoard(devices, "1a86", "7523", ""), 2) << "the one of its kind, no serial";
    EXPECT_EQ(findBoard(devices, "", "", ""), -1) << "nothing remembered";
    devices.pushBack(port("ttyUSB1", "1a86", "7523", ""));
    EXPECT_EQ(findBoard(devices, "1a86", "7523", ""), -1) << "two without serial numbers";
    EXPECT_EQ(devicelink::serialTail("85736323838351F0F1B1"), "F0F1B1");
    EXPECT_EQ(devicelink::serialTail("A5"), "A5");
}
