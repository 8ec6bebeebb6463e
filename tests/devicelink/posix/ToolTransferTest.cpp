// The tool path: a transfer tool gets the program whole on its standard input and nothing
// else of ours, its end decides the transfer, and no tool is left a zombie, nor a thread
// behind, nor a SIGPIPE raised in the program.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "Entries.h"
#include "OwnThreads.h"
#include "TempFolder.h"
#include "devicelink/LinkPlatform.h"
#include "generation/Pauses.h"

using Clock = std::chrono::steady_clock;
using Kind = TransferFailure::Kind;
namespace platform = devicelink::platform;

namespace {

bool alive(pid_t pid) {
    return ::access(("/proc/" + std::to_string(pid)).c_str(), F_OK) == 0;
}

// Gone from /proc: ended and reaped.
bool reaped(pid_t pid) {
    return pid > 0 && eventually([pid] { return !alive(pid); });
}

// A tool that writes its process id first, then runs `body`.
std::string writeTool(const TempFolder& folder, const std::string& name, const std::string& body,
                      unsigned mode = 0755) {
    return folder.write(name, "#!/bin/sh\necho $$ > " + folder.file("pid") + "\n" + body + "\n",
                        mode);
}

pid_t toolPid(const TempFolder& folder) {
    std::string text;
    eventually(
        [&] { return (text = TempFolder::read(folder.file("pid"))).find('\n') != text.npos; });
    return text.empty() ? -1 : static_cast<pid_t>(std::stol(text));
}

bool pipeSignalPendingOrBlocked() {
    sigset_t pending, mask;
    ::sigpending(&pending);
    ::pthread_sigmask(SIG_SETMASK, nullptr, &mask);
    return ::sigismember(&pending, SIGPIPE) == 1 || ::sigismember(&mask, SIGPIPE) == 1;
}

}  // namespace

// Pauses are the board's: a tool gets every byte at once, control bytes as they are, then a
// second to settle; and no descriptor of ours but its input, not even those this program
// opened without close-on-exec, as a library might. A shell runs a script without a "#!"
// line itself; so does the link.
TEST(ToolTransfer, ToolReadsTheChunksAsOneStreamThenGetsItsSecondAndNothingElseOfOurs) {
    const std::vector<std::vector<Chunk>> queues = {
        {},
        {{"\033", 500}, {"OUT0\n", 60000}, {std::string("\x04\r\n\0end", 7), 0}},
        {{std::string(150000, 'a'), 0}, {std::string(150000, 'b'), 0}, {"\n", 0}}};
    for (std::size_t i = 0; i < queues.size(); ++i) {
        TempFolder folder;
        const int bait = ::open(folder.file("bait").c_str(), O_WRONLY | O_CREAT, 0600);
        int baitPipe[2];
        ASSERT_EQ(::pipe(baitPipe), 0);
        const std::string out = folder.file("out");
        std::string tool = writeTool(folder, "copy",
                                     "ls -l /proc/$$/fd > " + out + ".fds; cat > " + out +
                                         ".part && mv " + out + ".part " + out);
        if (i == 1)
            tool = folder.write("copy", TempFolder::read(tool).substr(10), 0755);
        int sent = 0;
        TransferFailure failure;
        const auto started = Clock::now();
        EXPECT_TRUE(toolEntry(tool)->sendToTool(
            queues[i], [&](int count) { sent = count; }, &failure))
            << describeTransferFailure(failure);
        // A tool is given a whole second to pass the program on.
        EXPECT_GE(Clock::now() - started, std::chrono::seconds(1));
        EXPECT_LT(Clock::now() - started, std::chrono::seconds(30));
        for (int fd : {bait, baitPipe[0], baitPipe[1]})
            ::close(fd);
        EXPECT_EQ(sent, static_cast<int>(queues[i].size()));
        ASSERT_TRUE(eventually([&] { return ::access(out.c_str(), F_OK) == 0; }));
        EXPECT_EQ(TempFolder::read(out), joined(queues[i]));
        EXPECT_TRUE(reaped(toolPid(folder)));
        const std::string listing = TempFolder::read(out + ".fds");
        EXPECT_EQ(listing.find("bait"), std::string::npos) << listing;
        EXPECT_EQ(listing.find("pipe:"), listing.rfind("pipe:")) << listing;
        EXPECT_NE(listing.find(" 0 -> pipe:"), std::string::npos) << listing;
        EXPECT_NE(listing.find(" 2 -> /dev/null"), std::string::npos) << listing;
    }
}

// A short program fits the pipe whole, so a tool that ended without reading it once looked
// like one that had: each case runs twice. A tool that lingers is left to run.
TEST(ToolTransfer, HowTheToolEndsDecidesTheTransfer) {
    const std::vector<Chunk> shortProgram = {{"10 LED 1\n", 0}, {"RUN\n", 0}};
    const std::vector<Chunk> longProgram(4, Chunk{std::string(64 * 1024, 'z'), 0});
    // The tool's script, whether the long program goes, and what becomes of the transfer.
    const std::tuple<const char*, bool, Kind, const char*, bool> cases[] = {
        {"exit 0", false, Kind::ToolEndedEarly, "", false},
        {"exit 0", true, Kind::ToolEndedEarly, "", false},
        {"dd bs=65536 count=1 of=/dev/null 2>&-", true, Kind::ToolEndedEarly, "", false},
        {"exec sleep 120", true, Kind::ToolStalled, "", true},
        {"cat > /dev/null; exit 1", false, Kind::ToolError, "status 1", false},
        {"cat > /dev/null; kill -KILL $$", false, Kind::ToolStopped, "signal 9", false},
        {"cat > /dev/null; exit 0", false, Kind::None, "", false},
        {"cat > /dev/null; exec sleep 30", false, Kind::None, "", true},
    };
    ZundleCardSerialData::LinkSettings settings;
    settings.stallLimitMs = 300;
    for (const auto& [body, longer, expected, detail, lingers] : cases) {
        for (int run = 0; run < 2; ++run) {
            SCOPED_TRACE(body);
            TempFolder folder;
            const std::string tool = writeTool(folder, "tool", body);
            TransferFailure failure;
            const bool sent = toolEntry(tool)->sendToTool(longer ? longProgram : shortProgram, {},
                                                          &failure, settings);
            EXPECT_EQ(sent, expected == Kind::None);
            EXPECT_EQ(failure.kind, expected) << describeTransferFailure(failure);
            EXPECT_TRUE(*detail == '\0' || failure.detail == detail) << failure.detail;
            EXPECT_FALSE(pipeSignalPendingOrBlocked());
            const pid_t pid = toolPid(folder);
            ASSERT_GT(pid, 0);
            if (lingers) {
                EXPECT_TRUE(alive(pid));
                ::kill(pid, SIGKILL);
            }
            EXPECT_TRUE(reaped(pid));
        }
    }
}

TEST(ToolTransfer, WhatIsNoToolIsNotStarted) {
    TempFolder folder;
    const std::pair<std::string, Kind> cases[] = {
        {writeTool(folder, "plain", "cat", 0644), Kind::ToolNotStarted},
        // A program for another kind of computer must not be fed to the shell.
        {folder.write("foreign",
                      std::string("\x7f"
                                  "ELF\2\1\1\0\0\0\ncat\n",
                                  15),
                      0755),
         Kind::ToolNotStarted},
        {folder.file("absent"), Kind::ToolMissing},
        {folder.path(), Kind::ToolNotStarted},
        {"", Kind::ToolMissing}};
    for (const auto& [path, kind] : cases) {
        int sent = 0;
        TransferFailure failure;
        const auto started = Clock::now();
        EXPECT_FALSE(toolEntry(path)->sendToTool(
            std::vector<Chunk>({{"x\n", 0}}), [&](int count) { sent = count; }, &failure));
        EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(pacing::kToolSettleMs));
        EXPECT_EQ(sent, 0);
        EXPECT_EQ(failure.kind, kind) << path;
    }
    EXPECT_EQ(::access(folder.file("pid").c_str(), F_OK), -1) << "something ran";
}

// A flasher may wait for its board long after its input ends; nothing of the program may
// pile up meanwhile, and each tool is reaped once it does end.
TEST(ToolTransfer, LingeringToolsLeaveNoThreadAndNoZombie) {
    TempFolder folder;
    const std::string tool = writeTool(folder, "linger", "cat > /dev/null; exec sleep 60");
    std::vector<pid_t> started;
    std::size_t before = 0;
    for (int i = 0; i < 10; ++i) {
        TransferFailure failure;
        platform::ToolProcessPtr process = platform::startTool(tool, failure);
        ASSERT_TRUE(process);
        ASSERT_TRUE(platform::writeTool(*process, "10 LED 1\n", {}, failure));
        EXPECT_TRUE(platform::settleTool(*process, Clock::now(), failure));
        started.push_back(toolPid(folder));
        ::unlink(folder.file("pid").c_str());
        // Whatever the first tool sets up for good is not counted.
        before = i == 0 ? threadCount() : before;
    }
    EXPECT_EQ(threadCount(), before);
    for (pid_t pid : started) {
        EXPECT_TRUE(alive(pid)) << "a lingering tool is left to run";
        ::kill(pid, SIGKILL);
    }
    for (pid_t pid : started)
        EXPECT_TRUE(reaped(pid)) << pid;
    EXPECT_EQ(threadCount(), before);
}
