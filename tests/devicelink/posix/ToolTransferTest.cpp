#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <dirent.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ChunkQueue.h"
#include "Entries.h"
#include "TempFolder.h"
#include "devicelink/LinkPlatform.h"
#include "devicelink/ZundleCardSerialData.h"
#include "generation/Pauses.h"

using Clock = std::chrono::steady_clock;
using Kind = TransferFailure::Kind;
using std::chrono::milliseconds;
using std::chrono::seconds;

namespace {

// Long enough for a loaded machine to start a shell, short enough to keep the suite quick.
ZundleCardSerialData::LinkSettings shortStall() {
    ZundleCardSerialData::LinkSettings settings;
    settings.stallLimitMs = 300;
    return settings;
}

// Polls a condition that a child process makes true, with a generous bound.
bool eventually(const std::function<bool()>& condition) {
    const auto giveUp = Clock::now() + seconds(15);
    while (!condition()) {
        if (Clock::now() > giveUp)
            return false;
        std::this_thread::sleep_for(milliseconds(5));
    }
    return true;
}

ZundleCardSerialData::ChunkSent counter(std::atomic<int>& written) {
    return [&written](int sent) { written = sent; };
}

bool exists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

// The tools write their process id first; a child that is gone from /proc was reaped.
pid_t toolPid(const TempFolder& folder) {
    std::string text;
    eventually([&] {
        text = TempFolder::read(folder.file("pid"));
        return !text.empty() && text.back() == '\n';
    });
    return text.empty() ? -1 : static_cast<pid_t>(std::stol(text));
}

bool reaped(pid_t pid) {
    return pid > 0 && eventually([pid] { return !exists("/proc/" + std::to_string(pid)); });
}

std::string toolScript(const TempFolder& folder, const std::string& body) {
    return "#!/bin/sh\necho $$ > " + folder.file("pid") + "\n" + body + "\n";
}

bool pipeSignalBlocked() {
    sigset_t mask;
    ::pthread_sigmask(SIG_SETMASK, nullptr, &mask);
    return ::sigismember(&mask, SIGPIPE) == 1;
}

struct CopyCase {
    const char* label;
    std::vector<Chunk> chunks;
};
void PrintTo(const CopyCase& c, std::ostream* os) {
    *os << c.label;
}

struct EarlyEnd {
    const char* label;
    const char* body;
};
void PrintTo(const EarlyEnd& c, std::ostream* os) {
    *os << c.label;
}

struct EndCase {
    const char* label;
    const char* body;
    Kind expected;
    const char* detail;
    bool lingers;
};
void PrintTo(const EndCase& c, std::ostream* os) {
    *os << c.label;
}

int threadCount() {
    DIR* tasks = ::opendir("/proc/self/task");
    int count = 0;
    while (tasks != nullptr && ::readdir(tasks) != nullptr) {
        ++count;
    }
    if (tasks != nullptr) {
        ::closedir(tasks);
    }
    return count - 2;  // "." and ".."
}

struct NoTool {
    const char* label;
    std::function<std::string(const TempFolder&)> make;
    Kind expected;
};
void PrintTo(const NoTool& c, std::ostream* os) {
    *os << c.label;
}

class ToolCopy : public ::testing::TestWithParam<CopyCase> {};

}  // namespace

TEST_P(ToolCopy, ToolReadsTheChunksAsOneStreamThenGetsASecond) {
    TempFolder folder;
    const std::string out = folder.file("out");
    const std::string tool = folder.write(
        "copy", toolScript(folder, "cat > " + out + ".part && mv " + out + ".part " + out), 0755);
    const std::vector<Chunk>& chunks = GetParam().chunks;

    std::atomic<int> written{0};
    TransferFailure failure;
    failure.kind = Kind::ToolStalled;
    const auto started = Clock::now();
    EXPECT_TRUE(toolEntry(tool)->sendToTool(makeQueue(chunks), counter(written), &failure));
    const auto elapsed = Clock::now() - started;
    EXPECT_EQ(failure.kind, Kind::None);

    EXPECT_GE(elapsed, milliseconds(pacing::kToolSettleMs));
    EXPECT_LT(elapsed, seconds(30)) << "the pauses of the chunks are not taken on this path";
    EXPECT_EQ(written.load(), static_cast<int>(chunks.size()));
    ASSERT_TRUE(eventually([&] { return exists(out); })) << "the tool never saw its input end";
    EXPECT_EQ(TempFolder::read(out), joined(chunks));
    EXPECT_TRUE(reaped(toolPid(folder)));
}

INSTANTIATE_TEST_SUITE_P(
    Queues, ToolCopy,
    ::testing::Values(
        CopyCase{"Empty", {}},
        CopyCase{"ControlBytesUnchanged",
                 {{"\033", 500}, {"OUT0\n", 60000}, {std::string("\x04\r\n\0end", 7), 0}}},
        CopyCase{"MoreThanThePipeHolds",
                 {{std::string(150000, 'a'), 0}, {std::string(150000, 'b'), 0}, {"\n", 0}}}),
    [](const ::testing::TestParamInfo<CopyCase>& param) { return param.param.label; });

// A shell runs a script without a "#!" line itself; the system refuses to (ENOEXEC).
TEST(ToolTransfer, ScriptWithoutInterpreterLineRunsUnderTheShell) {
    TempFolder folder;
    const std::string out = folder.file("out");
    const std::string script =
        toolScript(folder, "cat > " + out + ".part && mv " + out + ".part " + out);
    const std::string tool =
        folder.write("plain-script", script.substr(script.find('\n') + 1), 0755);
    TransferFailure failure;
    EXPECT_TRUE(toolEntry(tool)->sendToTool(makeQueue({{"10 LED 1\n", 0}}), {}, &failure))
        << describeTransferFailure(failure);
    ASSERT_TRUE(eventually([&] { return exists(out); }));
    EXPECT_EQ(TempFolder::read(out), "10 LED 1\n");
    EXPECT_TRUE(reaped(toolPid(folder)));
}

class ToolEndsEarly : public ::testing::TestWithParam<EarlyEnd> {};

// The test program keeps SIGPIPE at its default, which ends the process: the write
// into a pipe nobody reads any more must not raise it.
TEST_P(ToolEndsEarly, TransferFailsWithoutSignalAndTheToolIsReaped) {
    TempFolder folder;
    const std::string tool = folder.write("early", toolScript(folder, GetParam().body), 0755);
    const bool blockedBefore = pipeSignalBlocked();

    std::atomic<int> written{0};
    const std::vector<Chunk> chunks(4, Chunk{std::string(64 * 1024, 'z'), 0});
    TransferFailure failure;
    EXPECT_FALSE(toolEntry(tool)->sendToTool(makeQueue(chunks), counter(written), &failure));

    EXPECT_EQ(failure.kind, Kind::ToolEndedEarly);
    EXPECT_EQ(failure.target, "early");
    EXPECT_LT(written.load(), 4);
    EXPECT_EQ(pipeSignalBlocked(), blockedBefore);
    sigset_t pending;
    ::sigpending(&pending);
    EXPECT_EQ(::sigismember(&pending, SIGPIPE), 0);
    EXPECT_TRUE(reaped(toolPid(folder)));
}

INSTANTIATE_TEST_SUITE_P(
    Tools, ToolEndsEarly,
    ::testing::Values(EarlyEnd{"ExitsAtOnce", "exit 0"},
                      EarlyEnd{"ReadsALittleThenExits", "dd bs=65536 count=1 of=/dev/null 2>&-"}),
    [](const ::testing::TestParamInfo<EarlyEnd>& param) { return param.param.label; });

// A write into the pipe of a tool that has already ended raises SIGPIPE in the writing
// thread; the link takes it back instead of letting it end the program.
TEST(ToolTransfer, WriteToAToolThatHasEndedRaisesNoSignal) {
    TempFolder folder;
    const std::string tool = folder.write("gone", toolScript(folder, "exit 0"), 0755);
    TransferFailure failure;
    devicelink::platform::ToolProcessPtr process = devicelink::platform::startTool(tool, failure);
    ASSERT_TRUE(process);
    const pid_t pid = toolPid(folder);
    ASSERT_GT(pid, 0);
    // Ended, and reaped at once although the link still holds its input.
    ASSERT_TRUE(reaped(pid));
    EXPECT_FALSE(devicelink::platform::writeTool(*process, "10 LED 1\n", {}, failure));
    EXPECT_EQ(failure.kind, Kind::ToolEndedEarly);
    EXPECT_FALSE(pipeSignalBlocked());
}

TEST(ToolTransfer, ToolThatNeverReadsIsGivenUpOnAndLaterReaped) {
    TempFolder folder;
    const std::string tool = folder.write("stuck", toolScript(folder, "exec sleep 120"), 0755);
    const std::vector<Chunk> chunks(4, Chunk{std::string(64 * 1024, 's'), 0});

    TransferFailure failure;
    const auto started = Clock::now();
    EXPECT_FALSE(toolEntry(tool)->sendToTool(makeQueue(chunks), {}, &failure, shortStall()));
    EXPECT_LT(Clock::now() - started, seconds(5));
    EXPECT_EQ(failure.kind, Kind::ToolStalled);

    // The tool outlives the transfer; once it ends it must not stay behind as a zombie.
    const pid_t pid = toolPid(folder);
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(exists("/proc/" + std::to_string(pid)));
    ::kill(pid, SIGKILL);
    EXPECT_TRUE(reaped(pid));
}

TEST(ToolTransfer, ToolGetsOnlyItsInputAndNullOutputs) {
    TempFolder folder;
    const std::string out = folder.file("fds");
    const std::string tool =
        folder.write("list",
                     toolScript(folder, "cat > /dev/null; ls -l /proc/$$/fd > " + out +
                                            ".part && mv " + out + ".part " + out),
                     0755);
    // Descriptors this program opened without close-on-exec, as a library might.
    const std::string bait = folder.file("bait");
    const int baitFile = ::open(bait.c_str(), O_WRONLY | O_CREAT, 0600);
    int baitPipe[2];
    ASSERT_EQ(::pipe(baitPipe), 0);

    EXPECT_TRUE(toolEntry(tool)->sendToTool(makeQueue({{"hello\n", 0}})));
    ::close(baitFile);
    ::close(baitPipe[0]);
    ::close(baitPipe[1]);
    ASSERT_TRUE(eventually([&] { return exists(out); }));

    std::istringstream listing(TempFolder::read(out));
    std::string line;
    int pipes = 0;
    std::string standardInput;
    std::string standardError;
    while (std::getline(listing, line)) {
        const std::size_t arrow = line.find(" -> ");
        if (arrow == std::string::npos)
            continue;
        const std::string target = line.substr(arrow + 4);
        const std::string fd =
            line.substr(line.rfind(' ', arrow - 1) + 1, arrow - line.rfind(' ', arrow - 1) - 1);
        EXPECT_EQ(target.find(bait), std::string::npos) << line;
        if (target.compare(0, 5, "pipe:") == 0)
            ++pipes;
        if (fd == "0")
            standardInput = target;
        if (fd == "2")
            standardError = target;
    }
    EXPECT_EQ(pipes, 1) << TempFolder::read(out);
    EXPECT_EQ(standardInput.compare(0, 5, "pipe:"), 0);
    EXPECT_EQ(standardError, "/dev/null");
}

class ToolEnd : public ::testing::TestWithParam<EndCase> {};

// A short program fits the pipe whole, so a tool that ended without reading it once looked
// like one that had: each case runs several times.
TEST_P(ToolEnd, HowTheToolEndsDecidesTheTransfer) {
    const EndCase& c = GetParam();
    for (int run = 0; run < 3; ++run) {
        TempFolder folder;
        const std::string tool = folder.write("tool", toolScript(folder, c.body), 0755);
        TransferFailure failure;
        const bool sent =
            toolEntry(tool)->sendToTool(makeQueue({{"10 LED 1\n", 0}, {"RUN\n", 0}}), {}, &failure);
        EXPECT_EQ(sent, c.expected == Kind::None) << describeTransferFailure(failure);
        EXPECT_EQ(failure.kind, c.expected) << "run " << run;
        EXPECT_EQ(failure.detail, c.detail);
        const pid_t pid = toolPid(folder);
        ASSERT_GT(pid, 0);
        if (c.lingers) {
            EXPECT_TRUE(exists("/proc/" + std::to_string(pid)))
                << "a lingering tool is left to run";
            ::kill(pid, SIGKILL);
        }
        EXPECT_TRUE(reaped(pid));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tools, ToolEnd,
    ::testing::Values(
        EndCase{"ExitsWithoutReading", "exit 0", Kind::ToolEndedEarly, "", false},
        EndCase{"ReadsAllThenReportsAnError", "cat > /dev/null; exit 3", Kind::ToolError,
                "status 3", false},
        EndCase{"ReadsAllThenIsKilled", "cat > /dev/null; kill -KILL $$", Kind::ToolStopped,
                "signal 9", false},
        EndCase{"ReadsAllThenSucceeds", "cat > /dev/null; exit 0", Kind::None, "", false},
        EndCase{"ReadsAllThenLingers", "cat > /dev/null; exec sleep 30", Kind::None, "", true}),
    [](const ::testing::TestParamInfo<EndCase>& param) { return param.param.label; });

// A flasher may wait for its board long after its input ends; nothing of the program may
// pile up meanwhile, and each tool is reaped once it does end.
TEST(ToolTransfer, LingeringToolsLeaveNoThreadAndNoZombie) {
    namespace platform = devicelink::platform;
    TempFolder folder;
    const std::string pids = folder.file("pids");
    const std::string tool = folder.write(
        "linger", "#!/bin/sh\necho $$ >> " + pids + "\ncat > /dev/null\nexec sleep 60\n", 0755);
    const auto transfer = [&] {
        TransferFailure failure;
        platform::ToolProcessPtr process = platform::startTool(tool, failure);
        ASSERT_TRUE(process);
        ASSERT_TRUE(platform::writeTool(*process, "10 LED 1\n", {}, failure));
        EXPECT_TRUE(platform::settleTool(*process, Clock::now(), failure))
            << describeTransferFailure(failure);
    };
    constexpr int kTransfers = 30;
    transfer();  // whatever the first tool sets up for good is not counted
    const int before = threadCount();
    for (int i = 0; i < kTransfers; ++i) {
        transfer();
    }
    EXPECT_EQ(threadCount(), before);

    std::vector<pid_t> started;
    ASSERT_TRUE(eventually([&] {
        std::istringstream lines(TempFolder::read(pids));
        started.clear();
        for (long pid = 0; lines >> pid;) {
            started.push_back(static_cast<pid_t>(pid));
        }
        return started.size() == kTransfers + 1;
    }));
    for (pid_t pid : started) {
        EXPECT_TRUE(exists("/proc/" + std::to_string(pid))) << "a lingering tool is left to run";
        ::kill(pid, SIGKILL);
    }
    for (pid_t pid : started) {
        EXPECT_TRUE(reaped(pid)) << pid;
    }
    EXPECT_EQ(threadCount(), before);
}

class NotATool : public ::testing::TestWithParam<NoTool> {};

TEST_P(NotATool, NothingIsStarted) {
    TempFolder folder;
    const std::string path = GetParam().make(folder);
    std::atomic<int> written{0};
    TransferFailure failure;
    const auto started = Clock::now();
    EXPECT_FALSE(toolEntry(path)->sendToTool(makeQueue({{"x\n", 0}}), counter(written), &failure));
    EXPECT_LT(Clock::now() - started, milliseconds(pacing::kToolSettleMs));
    EXPECT_EQ(written.load(), 0);
    EXPECT_EQ(failure.kind, GetParam().expected);
    EXPECT_FALSE(exists(folder.file("pid")));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, NotATool,
    ::testing::Values(
        NoTool{"NotExecutable",
               [](const TempFolder& f) { return f.write("plain", toolScript(f, "cat"), 0644); },
               Kind::ToolNotStarted},
        // A program for another kind of computer must not be fed to the shell.
        NoTool{"ForeignProgram",
               [](const TempFolder& f) {
                   return f.write("foreign",
                                  std::string("\x7f"
                                              "ELF\2\1\1\0\0\0\n",
                                              11) +
                                      toolScript(f, "cat"),
                                  0755);
               },
               Kind::ToolNotStarted},
        NoTool{"Missing", [](const TempFolder& f) { return f.file("absent"); }, Kind::ToolMissing},
        NoTool{"Folder", [](const TempFolder& f) { return f.path(); }, Kind::ToolNotStarted},
        NoTool{"EmptyPath", [](const TempFolder&) { return std::string(); }, Kind::ToolMissing}),
    [](const ::testing::TestParamInfo<NoTool>& param) { return param.param.label; });
