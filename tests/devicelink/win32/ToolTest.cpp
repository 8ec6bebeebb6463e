// Transfer tools on Windows, with ToolStandIn.cpp as the tool: every byte reaches it in
// order from any folder and no other handle of ours does, how it ends decides the
// transfer, and nothing is left behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "Entries.h"
#include "ScratchFolder.h"
#include "devicelink/LinkPlatform.h"
#include "devicelink/ZundleCardSerialData.h"
#include "generation/Pauses.h"

namespace platform = devicelink::platform;
using Kind = TransferFailure::Kind;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

std::string bigProgram(std::size_t size) {
    std::string text;
    while (text.size() < size)
        text += std::to_string(text.size()) + " PRINT \"\x1b\x04\"\r\n";
    return text;
}

}  // namespace

// The tool reports whether it inherited a handle that another thread could hold right
// now; a careless command line would start the decoy instead.
TEST(ToolTransfer, ToolReadsEveryChunkInOrderAndNothingElseOfOurs) {
    const std::pair<const char*, const char*> places[] = {
        {"my tools\\probe tool.exe", "my.exe"},
        {"caf\xc3\xa9\\\xe3\x83\x84probe.exe", "other.exe"}};
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE probe = ::CreateEventW(&inheritable, TRUE, FALSE, nullptr);
    ::SetEnvironmentVariableW(L"ZC_PROBE_HANDLE",
                              std::to_wstring(reinterpret_cast<std::uintptr_t>(probe)).c_str());
    // Control bytes, a zero byte, and more than the pipe holds at once.
    const std::vector<Chunk> chunks = {{"10 LED 1\r\n", 500},
                                       {"\x1b", 0},
                                       {std::string("\x04\r\nA\0B", 6), 0},
                                       {bigProgram(200000), 0}};
    const std::string expected = "inherited=0\n" + joined(chunks);
    for (const auto& [where, decoyWhere] : places) {
        SCOPED_TRACE(where);
        ScratchFolder folder;
        const std::string tool = folder.placeTool(where);
        const std::string decoy = folder.placeTool(decoyWhere);
        TransferFailure failure;
        const auto started = Clock::now();
        EXPECT_TRUE(toolEntry(tool)->sendToTool(chunks, {}, &failure))
            << describeTransferFailure(failure);
        // No pauses on this path, only the settle time at the end.
        EXPECT_GE(Clock::now() - started, milliseconds(pacing::kToolSettleMs));
        // The tool has read everything and ended well within the settle time.
        EXPECT_EQ(ScratchFolder::read(tool + ".out"), expected);
        EXPECT_FALSE(ScratchFolder::exists(decoy + ".out"));
    }
    ::SetEnvironmentVariableW(L"ZC_PROBE_HANDLE", nullptr);
    ::CloseHandle(probe);
}

// A small program fits into the pipe at once: what the tool read, and how it ended or that
// it has not, decides. A large one does not: a write gives up on a tool that has gone at
// once, on one that reads nothing after the stall limit, and leaves the input ours to close.
TEST(ToolTransfer, WhatAToolReadsAndHowItEndsDecideTheTransfer) {
    // The tool (see ToolStandIn.cpp), the program's size, and what becomes of the transfer.
    const std::tuple<const char*, std::size_t, Kind, const char*> cases[] = {
        {"quit.exe", 10, Kind::ToolEndedEarly, ""},  // status 0, nothing read
        {"early.exe", 10, Kind::ToolError, "status 3"},
        {"copy.exe", 10, Kind::None, ""},
        {"stall.exe", 10, Kind::None, ""},  // still running: waiting for its board
        {"quit.exe", 1 << 20, Kind::ToolEndedEarly, ""},
        {"stall.exe", 1 << 20, Kind::ToolStalled, ""},
    };
    for (const auto& [name, size, expected, detail] : cases) {
        SCOPED_TRACE(std::string(name) + " " + std::to_string(size));
        ScratchFolder folder;
        TransferFailure failure;
        platform::ToolProcessPtr tool = platform::startTool(folder.placeTool(name), failure);
        ASSERT_TRUE(tool);
        platform::LinkSettings settings;
        settings.stallLimitMs = 1500;
        const auto started = Clock::now();
        if (platform::writeTool(*tool, bigProgram(size), settings, failure)) {
            EXPECT_EQ(platform::settleTool(*tool, Clock::now() + milliseconds(3000), failure),
                      expected == Kind::None);
        } else {
            EXPECT_EQ(Clock::now() - started >= milliseconds(1500), expected == Kind::ToolStalled);
            EXPECT_TRUE(platform::closeToolInput(*tool, failure));
        }
        EXPECT_EQ(failure.kind, expected);
        EXPECT_EQ(failure.detail, detail);
    }
}

// Transfers that end every way, and starts that fail: why a tool could not start comes
// from the system, a missing tool needs no more words, and no handle is left behind.
TEST(ToolTransfer, ToolThatCannotRunIsReportedAndNoHandleIsLeftBehind) {
    ScratchFolder folder;
    const std::string notAProgram = folder.write("notes.exe", "10 PRINT 1\n");
    folder.placeTool("folder.exe\\inside.exe");
    // Once, so that handles the system opens on first use are not counted.
    toolEntry(folder.placeTool("first.exe"))->sendToTool(std::vector<Chunk>({{"A", 0}}));
    DWORD before = 0, after = 0;
    ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &before));
    for (const char* name : {"copy.exe", "quit.exe", "stall.exe"})
        toolEntry(folder.placeTool(name))->sendToTool(std::vector<Chunk>({{"B", 0}}));
    const std::pair<std::string, Kind> cannotRun[] = {
        {folder.file("gone.exe"), Kind::ToolMissing},
        {folder.file("folder.exe"), Kind::ToolNotStarted},
        {notAProgram, Kind::ToolNotStarted}};
    for (const auto& [path, kind] : cannotRun) {
        SCOPED_TRACE(path);
        TransferFailure failure;
        EXPECT_FALSE(platform::startTool(path, failure));
        EXPECT_EQ(failure.kind, kind);
        EXPECT_EQ(failure.detail.empty(), kind == Kind::ToolMissing) << failure.detail;
    }
    ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &after));
    EXPECT_EQ(after, before);
}

// What the tool says on its output and error is read while it runs and after the transfer,
// by the link's one reader, and a flood is read through without holding the tool.
TEST(ToolTransfer, OutputAndErrorAreReadForAsLongAsTheToolWrites) {
    const std::tuple<const char*, const char*, std::size_t> cases[] = {
        {"answer.exe", "10 LED 1\r\nRUN\r\nOK\r\nlater\r\n", 0},
        {"flood.exe", "", 64u << 20},
    };
    for (const auto& [name, expected, atLeast] : cases) {
        SCOPED_TRACE(name);
        ScratchFolder folder;
        std::mutex mutex;
        std::string heard;
        std::size_t total = 0;
        const auto sink = [&](const char* bytes, std::size_t size) {
            std::lock_guard<std::mutex> lock(mutex);
            total += size;
            if (heard.size() < 4096)
                heard.append(bytes, std::min<std::size_t>(size, 4096 - heard.size()));
        };
        TransferFailure failure;
        EXPECT_TRUE(toolEntry(folder.placeTool(name))
                        ->sendToTool(std::vector<Chunk>({{"10 LED 1\r\n", 0}, {"RUN\r\n", 0}}), {},
                                     &failure, {}, sink))
            << describeTransferFailure(failure);
        const std::string want = expected;
        const std::size_t least = atLeast;
        EXPECT_TRUE(eventually([&] {
            std::lock_guard<std::mutex> lock(mutex);
            return heard.substr(0, want.size()) == want && total >= least + want.size();
        })) << heard;
    }
}
