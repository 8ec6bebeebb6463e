// Windows listing: the tools of the folder, the registry's port names, and which ports are
// the computer's own.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "devicelink/LinkPlatform.h"
#include "devicelink/win32/PortEnumerator.h"
#include "devicelink/win32/RegistryText.h"

namespace platform = devicelink::platform;

TEST(WindowsListing, ToolsAreTheProgramsOfTheFolderBesideTheProgramByName) {
    ScratchFolder folder;
    for (const char* name : {"zeta.exe", "Alpha.EXE", "beta.exe", "caf\xc3\xa9 tool.exe",
                             "readme.txt", "setup.exe1", "folder.exe\\inside.exe"}) {
        folder.write(std::string("exe\\") + name, "x");
    }
    std::vector<std::string> names;
    for (const platform::ToolRecord& tool : platform::listExecutableFiles(folder.file("exe"))) {
        names.push_back(tool.name);
        EXPECT_EQ(tool.path, folder.file("exe\\" + tool.name));
    }
    // "setup.exe1" matches "*.exe" through its short name, SETUP~1.EXE.
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha.EXE", "beta.exe", "caf\xc3\xa9 tool.exe",
                                               "zeta.exe"}));
    EXPECT_TRUE(platform::listExecutableFiles(folder.file("nothing here")).empty());
}

// Registry strings may carry their final zero in the length, or not, or stop short.
TEST(WindowsListing, RegistryTextEndsAtTheFirstZeroOrTheLength) {
    const wchar_t stored[] = L"COM12\0junk";
    EXPECT_EQ(platform::registryText(stored, 11), "COM12");
    EXPECT_EQ(platform::registryText(stored, 3), "COM");
    EXPECT_EQ(platform::registryText(L"caf\u00e9 \U0001F50C", 7), "caf\xc3\xa9 \xf0\x9f\x94\x8c");
    EXPECT_EQ(platform::registryText(stored, 0), "");
}

// Ports the firmware or the root enumerator brings are the computer's own and are listed
// after the tools; every other enumerator may bring a board.
TEST(WindowsListing, BuiltInPortsAreThoseOfTheAcpiOrRootEnumerator) {
    for (const char* own : {"ACPI", "acpi", "Root", "ROOT"})
        EXPECT_TRUE(platform::isBuiltInEnumerator(own)) << own;
    for (const char* other : {"USB", "FTDIBUS", "PCI", "BTHENUM", "ACPI_HAL", ""})
        EXPECT_FALSE(platform::isBuiltInEnumerator(other)) << other;
}
