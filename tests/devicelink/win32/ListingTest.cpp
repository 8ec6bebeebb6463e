#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "devicelink/LinkPlatform.h"
#include "devicelink/win32/PortEnumerator.h"
#include "devicelink/win32/RegistryText.h"
#include "platform/win32/WideText.h"

namespace platform = devicelink::platform;

TEST(WindowsListing, ToolsAreTheProgramsOfTheFolderByName) {
    ScratchFolder folder;
    for (const char* name : {"zeta.exe", "Alpha.EXE", "beta.exe", "caf\xc3\xa9 tool.exe",
                             "readme.txt", "setup.exe1"}) {
        folder.write(std::string("exe\\") + name, "x");
    }
    folder.write("exe\\folder.exe\\inside.exe", "x");

    const std::vector<platform::ToolRecord> tools =
        platform::listExecutableFiles(folder.file("exe"));
    std::vector<std::string> names;
    for (const platform::ToolRecord& tool : tools) {
        names.push_back(tool.name);
        EXPECT_EQ(tool.path, folder.file("exe\\" + tool.name));
    }
    // "setup.exe1" matches "*.exe" through its short name, SETUP~1.EXE.
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha.EXE", "beta.exe", "caf\xc3\xa9 tool.exe",
                                               "zeta.exe"}));
    EXPECT_TRUE(platform::listExecutableFiles(folder.file("nothing here")).empty());
}

TEST(WindowsListing, DefaultToolFolderIsBesideTheProgram) {
    wchar_t self[32768];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, 32768);
    std::wstring expected(self, length);
    expected = expected.substr(0, expected.find_last_of(L'\\')) + L"\\exe";
    EXPECT_EQ(platform::defaultToolFolder(), cocos2d::win32::toUtf8(expected));
}

TEST(WindowsListing, SystemListingGivesPortNamesAlone) {
    std::vector<platform::PortRecord> ports;
    platform::listSerialPorts(ports);
    for (const platform::PortRecord& port : ports) {
        EXPECT_FALSE(port.name.empty());
        EXPECT_EQ(port.name.find('\\'), std::string::npos) << port.name;
    }
}

// Registry strings may carry their final zero in the length, or not, or stop short.
TEST(WindowsListing, RegistryTextEndsAtTheFirstZeroOrTheLength) {
    const wchar_t stored[] = L"COM12\0junk";
    EXPECT_EQ(platform::registryText(stored, 11), "COM12");
    EXPECT_EQ(platform::registryText(stored, 5), "COM12");
    EXPECT_EQ(platform::registryText(stored, 3), "COM");
    EXPECT_EQ(platform::registryText(L"caf\u00e9 \U0001F50C", 7), "caf\xc3\xa9 \xf0\x9f\x94\x8c");
    EXPECT_EQ(platform::registryText(stored, 0), "");
}

// Ports the firmware or the root enumerator brings are the computer's own and are listed
// after the tools; every other enumerator may bring a board.
TEST(WindowsListing, BuiltInPortsAreThoseOfTheAcpiOrRootEnumerator) {
    const struct {
        const char* enumerator;
        bool builtIn;
    } cases[] = {
        {"ACPI", true},     {"acpi", true}, {"Root", true},     {"ROOT", true},      {"USB", false},
        {"FTDIBUS", false}, {"PCI", false}, {"BTHENUM", false}, {"ACPI_HAL", false}, {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::isBuiltInEnumerator(c.enumerator), c.builtIn) << c.enumerator;
    }
}
