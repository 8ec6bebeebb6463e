#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "Listings.h"
#include "TempFolder.h"
#include "base/AutoreleasePool.h"
#include "devicelink/DeviceDiscovery.h"
#include "devicelink/posix/UdevModel.h"

using cocos2d::Vector;
using devicelink::platform::PortRecord;

namespace {

const char kScript[] = "#!/bin/sh\nexit 0\n";

}  // namespace

TEST(Discovery, PortsInListingOrderThenToolsByName) {
    TempFolder folder;
    ASSERT_FALSE(folder.path().empty());
    ::mkdir(folder.file("exe").c_str(), 0755);
    folder.write("exe/zeta.exe", kScript, 0755);
    folder.write("exe/Alpha", kScript, 0755);
    folder.write("exe/beta.sh", kScript, 0700);
    folder.write("exe/Beta.sh", kScript, 0700);
    folder.write("exe/Yarn", kScript, 0700);

    DeviceDiscovery discovery;
    discovery.setPortSource(fixedPorts({{"ttyUSB1", "FT232R USB UART"}, {"ttyACM0", "Board"}}));
    discovery.setToolFolder(folder.file("exe"));
    Vector<ZundleCardSerialData*> devices = discover(discovery);

    struct Expected {
        const char* name;
        const char* description;
        std::string path;
        int kind;
    };
    const std::vector<Expected> expected = {
        {"ttyUSB1", "FT232R USB UART", "", ZundleCardSerialData::kKindSerialPort},
        {"ttyACM0", "Board", "", ZundleCardSerialData::kKindSerialPort},
        // Names as people order them, whatever their case; equal but for case, by bytes.
        {"Alpha", "", folder.file("exe/Alpha"), ZundleCardSerialData::kKindTool},
        {"Beta.sh", "", folder.file("exe/Beta.sh"), ZundleCardSerialData::kKindTool},
        {"beta.sh", "", folder.file("exe/beta.sh"), ZundleCardSerialData::kKindTool},
        {"Yarn", "", folder.file("exe/Yarn"), ZundleCardSerialData::kKindTool},
        {"zeta.exe", "", folder.file("exe/zeta.exe"), ZundleCardSerialData::kKindTool},
    };
    ASSERT_EQ(devices.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(devices.at(i)->name, expected[i].name);
        EXPECT_EQ(devices.at(i)->description, expected[i].description);
        EXPECT_EQ(devices.at(i)->path, expected[i].path);
        EXPECT_EQ(devices.at(i)->kind, expected[i].kind);
        // The list holds the only reference: nothing was left to an autorelease pool.
        EXPECT_EQ(devices.at(i)->getReferenceCount(), 1u);
        EXPECT_FALSE(cocos2d::PoolManager::getInstance()->isObjectInPools(devices.at(i)));
    }
}

TEST(Discovery, OnlyExecutableFilesCountAsTools) {
    TempFolder folder;
    folder.write("run.exe", kScript, 0755);
    folder.write("readme.exe", kScript, 0644);
    ::mkdir(folder.file("folder.exe").c_str(), 0755);
    ::symlink(folder.file("run.exe").c_str(), folder.file("link.exe").c_str());
    ::symlink(folder.file("gone").c_str(), folder.file("dangling.exe").c_str());

    DeviceDiscovery discovery;
    discovery.setToolFolder(folder.path() + "/");
    Vector<ZundleCardSerialData*> devices;
    discovery.findTransferTools(devices);
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices.at(0)->name, "link.exe");
    EXPECT_EQ(devices.at(0)->path, folder.file("link.exe"));
    EXPECT_EQ(devices.at(1)->name, "run.exe");
}

TEST(Discovery, DefaultToolFolderIsBesideTheProgram) {
    char self[4096] = {};
    ASSERT_GT(::readlink("/proc/self/exe", self, sizeof(self) - 1), 0);
    std::string expected = self;
    expected = expected.substr(0, expected.rfind('/')) + "/exe";
    EXPECT_EQ(devicelink::platform::defaultToolFolder(), expected);
}

TEST(Discovery, SystemListingNamesPortsBelowDev) {
    std::vector<PortRecord> ports;
    devicelink::platform::listSerialPorts(ports);
    for (const PortRecord& port : ports) {
        EXPECT_FALSE(port.name.empty());
        EXPECT_EQ(port.name.find("/dev/"), std::string::npos) << port.name;
    }
}

struct ModelCase {
    const char* label;
    const char* fromDatabase;
    const char* encoded;
    const char* plain;
    std::string expected;
};

void PrintTo(const ModelCase& c, std::ostream* os) {
    *os << c.label;
}

class UdevModel : public ::testing::TestWithParam<ModelCase> {};

TEST_P(UdevModel, DescriptionFollowsThePropertyOrder) {
    const ModelCase& c = GetParam();
    EXPECT_EQ(devicelink::platform::describeUdevModel(c.fromDatabase, c.encoded, c.plain),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Properties, UdevModel,
    ::testing::Values(
        ModelCase{"DatabaseFirst", "FT232 Serial (UART) IC", "FT232R\\x20USB\\x20UART",
                  "FT232R_USB_UART", "FT232 Serial (UART) IC"},
        ModelCase{"EncodedDecoded", nullptr, "FT232R\\x20USB\\x20UART", "FT232R_USB_UART",
                  "FT232R USB UART"},
        ModelCase{"EmptyDatabaseSkipped", "", "CP2102\\x2fCP2109\\x5fBridge", "x",
                  "CP2102/CP2109_Bridge"},
        ModelCase{"PlainWithBlanks", nullptr, "", "USB_Serial_Port", "USB Serial Port"},
        ModelCase{"CutEscapeKept", nullptr, "Odd\\x2", nullptr, "Odd\\x2"},
        ModelCase{"BadEscapeKept", nullptr, "Not\\xZZhex\\", nullptr, "Not\\xZZhex\\"},
        ModelCase{"BytesKept", nullptr, "caf\\xc3\\xA9", nullptr, "caf\xc3\xa9"},
        ModelCase{"NothingKnown", nullptr, nullptr, nullptr, ""}),
    [](const ::testing::TestParamInfo<ModelCase>& param) { return param.param.label; });
