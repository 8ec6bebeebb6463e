#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "ChunkQueue.h"
#include "Entries.h"
#include "ScratchFolder.h"
#include "devicelink/LinkPlatform.h"
#include "devicelink/ZundleCardSerialData.h"
#include "generation/Pauses.h"

namespace platform = devicelink::platform;
using Kind = TransferFailure::Kind;

namespace {

// Waits for a tool that copies its input to have written all of it: it runs on after
// the link has let it go.
std::string outputOf(const std::string& tool, std::size_t expected) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::string seen;
    while (std::chrono::steady_clock::now() < deadline) {
        seen = ScratchFolder::read(tool + ".out");
        if (seen.size() >= expected) {
            break;
        }
        ::Sleep(20);
    }
    return seen;
}

std::string bigProgram(std::size_t size) {
    std::string text;
    for (int line = 10; text.size() < size; line += 10) {
        text += std::to_string(line) + " PRINT \"\x1b\x04\"\r\n";
    }
    return text;
}

struct ToolPlace {
    const char* label;
    const char* tool;   // where the tool sits in the scratch folder
    const char* decoy;  // a program a careless command line would start instead
};

void PrintTo(const ToolPlace& place, std::ostream* os) {
    *os << place.label;
}

class ToolPath : public ::testing::TestWithParam<ToolPlace> {};

}  // namespace

TEST_P(ToolPath, ToolReadsEveryChunkInOrderAndNothingElseStarts) {
    ScratchFolder folder;
    ASSERT_FALSE(folder.path().empty());
    const std::string tool = folder.placeTool(GetParam().tool);
    const std::string decoy = folder.placeTool(GetParam().decoy);
    // Control bytes, a zero byte, and more than the pipe holds at once.
    const std::vector<Chunk> chunks = {{"10 LED 1\r\n", 500},
                                       {"\x1b", 0},
                                       {std::string("\x04\r\nA\0B", 6), 0},
                                       {bigProgram(200000), 0}};
    const std::string expected = joined(chunks);

    TransferFailure failure;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(toolEntry(tool)->sendToTool(makeQueue(chunks), {}, &failure));
    EXPECT_EQ(failure.kind, Kind::None) << describeTransferFailure(failure);
    // No pauses on this path, only the settle time at the end.
    EXPECT_GE(std::chrono::steady_clock::now() - started,
              std::chrono::milliseconds(pacing::kToolSettleMs));
    EXPECT_EQ(outputOf(tool, expected.size()), expected);
    EXPECT_FALSE(ScratchFolder::exists(decoy + ".out"));
}

INSTANTIATE_TEST_SUITE_P(
    Places, ToolPath,
    ::testing::Values(ToolPlace{"Plain", "exe\\copy.exe", "exe\\other.exe"},
                      // "...\my tools\copy tool.exe" unquoted would start "...\my.exe".
                      ToolPlace{"Blanks", "my tools\\copy tool.exe", "my.exe"},
                      ToolPlace{"NonAscii", "caf\xc3\xa9\\\xe3\x83\x84\xc3\xbcl.exe", "other.exe"}),
    [](const ::testing::TestParamInfo<ToolPlace>& param) { return param.param.label; });

TEST(ToolStart, ToolGetsItsInputAndNoOtherHandleOfOurs) {
    ScratchFolder folder;
    const std::string tool = folder.placeTool("probe.exe");
    // An inheritable handle such as another thread of the program could hold right now.
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE probe = ::CreateEventW(&inheritable, TRUE, FALSE, nullptr);
    ASSERT_NE(probe, nullptr);
    const std::wstring value = std::to_wstring(reinterpret_cast<std::uintptr_t>(probe));
    ::SetEnvironmentVariableW(L"ZC_PROBE_HANDLE", value.c_str());

    EXPECT_TRUE(toolEntry(tool)->sendToTool(makeQueue({{"PRINT 1\n", 0}})));
    ::SetEnvironmentVariableW(L"ZC_PROBE_HANDLE", nullptr);
    ::CloseHandle(probe);
    EXPECT_EQ(outputOf(tool, 20), "inherited=0\nPRINT 1\n");
}

TEST(ToolStart, ToolThatCannotRunIsReportedAndNothingStarts) {
    ScratchFolder folder;
    const std::string notAProgram = folder.write("notes.exe", "10 PRINT 1\n");
    const std::string aFolder = folder.placeTool("folder.exe\\inside.exe");
    struct Case {
        std::string path;
        Kind kind;
        bool withDetail;
    };
    const std::vector<Case> cases = {
        {folder.file("gone.exe"), Kind::ToolMissing, false},
        {folder.file("missing folder\\tool.exe"), Kind::ToolMissing, false},
        {folder.file("folder.exe"), Kind::ToolNotStarted, true},
        {notAProgram, Kind::ToolNotStarted, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        TransferFailure failure;
        EXPECT_FALSE(platform::startTool(c.path, failure));
        EXPECT_EQ(failure.kind, c.kind);
        EXPECT_EQ(!failure.detail.empty(), c.withDetail) << failure.detail;
    }
}

TEST(ToolWrite, ToolThatEndedEarlyIsReported) {
    ScratchFolder folder;
    TransferFailure failure;
    platform::ToolProcessPtr tool = platform::startTool(folder.placeTool("early.exe"), failure);
    ASSERT_TRUE(tool);
    // What fits into the pipe may be taken before the tool is seen to be gone.
    const std::string block(64 * 1024, 'x');
    platform::LinkSettings settings;
    bool wrote = true;
    for (int i = 0; i < 64 && wrote; ++i) {
        wrote = platform::writeTool(*tool, block, settings, failure);
    }
    EXPECT_FALSE(wrote);
    EXPECT_EQ(failure.kind, Kind::ToolEndedEarly);
    EXPECT_EQ(failure.detail, "");
}

// Settled without input: only how the tool ends, or that it has not, decides.
TEST(ToolWrite, AToolsEndDecidesTheTransfer) {
    struct Case {
        const char* tool;  // see ToolStandIn.cpp
        int settleMs;
        Kind expected;
        const char* detail;
    };
    const Case cases[] = {
        {"early.exe", 20000, Kind::ToolError, "status 3"},
        {"copy.exe", 2000, Kind::None, ""},
        {"stall.exe", 300, Kind::None, ""},  // still running: waiting for its board
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tool);
        ScratchFolder folder;
        TransferFailure failure;
        platform::ToolProcessPtr tool = platform::startTool(folder.placeTool(c.tool), failure);
        ASSERT_TRUE(tool);
        const auto started = std::chrono::steady_clock::now();
        const bool settled =
            platform::settleTool(*tool, started + std::chrono::milliseconds(c.settleMs), failure);
        EXPECT_EQ(settled, c.expected == Kind::None);
        EXPECT_EQ(failure.kind, c.expected);
        EXPECT_EQ(failure.detail, c.detail);
    }
}

TEST(ToolWrite, ToolThatReadsNothingIsGivenUpOnAfterTheStallLimit) {
    ScratchFolder folder;
    TransferFailure failure;
    platform::ToolProcessPtr tool = platform::startTool(folder.placeTool("stall.exe"), failure);
    ASSERT_TRUE(tool);
    platform::LinkSettings settings;
    settings.stallLimitMs = 300;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(platform::writeTool(*tool, bigProgram(1 << 20), settings, failure));
    EXPECT_EQ(failure.kind, Kind::ToolStalled);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(300));
    // The input is still ours to close, and closing it does not wait for the tool.
    EXPECT_TRUE(platform::closeToolInput(*tool, failure));
}

TEST(ToolWrite, NoHandleIsLeftBehind) {
    ScratchFolder folder;
    const std::string tool = folder.placeTool("copy.exe");
    // Once, so that handles the system opens on first use are not counted.
    toolEntry(tool)->sendToTool(makeQueue({{"A", 0}}));
    DWORD before = 0;
    DWORD after = 0;
    ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &before));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(toolEntry(tool)->sendToTool(makeQueue({{"B", 0}})));
    }
    TransferFailure failure;
    EXPECT_FALSE(platform::startTool(folder.file("gone.exe"), failure));
    ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &after));
    EXPECT_EQ(after, before);
}
