// The serial path on a pseudo-terminal: the exact bytes at 115200 8N1 raw with every pause,
// a port written to only when it is ours alone, and a port that goes wrong ending the
// transfer with its reason instead of holding it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <linux/capability.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Entries.h"
#include "PseudoTerminal.h"
#include "TempFolder.h"
#include "devicelink/posix/SerialDrain.h"
#include "devicelink/posix/WriteAll.h"

using Clock = std::chrono::steady_clock;
using Kind = TransferFailure::Kind;
using std::chrono::milliseconds;

namespace {

bool isCooked(int fd) {
    termios settings{};
    return ::tcgetattr(fd, &settings) == 0 && (settings.c_lflag & ICANON) != 0;
}

TransferFailure sendTo(const std::string& port, const std::vector<Chunk>& chunks,
                       const ZundleCardSerialData::ChunkSent& onSent = {},
                       const ZundleCardSerialData::LinkSettings& settings = {}) {
    TransferFailure failure;
    portEntry(port)->sendToSerialPort(chunks, onSent, &failure, settings);
    return failure;
}

}  // namespace

TEST(SerialTransfer, WritesExactBytesRawAt115200_8N1AndPausesAfterEveryChunk) {
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.valid() && isCooked(terminal.keeperFd()));
    const std::vector<Chunk> chunks = {{"10 LED 1\n", 60},
                                       {"\033", 0},
                                       {std::string("\x04\r\nA\0B", 6), 30},
                                       {"20 GOTO 10\n", 40}};
    BoardReader reader(terminal, joined(chunks).size());
    std::vector<Clock::time_point> sent;
    termios seen{};
    int exclusive = -1;
    EXPECT_EQ(sendTo(terminal.portName(), chunks,
                     [&](int count) {
                         sent.push_back(Clock::now());
                         EXPECT_EQ(count, static_cast<int>(sent.size()));
                         if (count == 1) {  // the port is open and set now
                             ::tcgetattr(terminal.keeperFd(), &seen);
                             ::ioctl(terminal.keeperFd(), TIOCGEXCL, &exclusive);
                         }
                     })
                  .kind,
              Kind::None);
    const auto finished = Clock::now();
    reader.join();
    EXPECT_EQ(reader.received(), joined(chunks));

    EXPECT_EQ(::cfgetospeed(&seen), static_cast<speed_t>(B115200));
    EXPECT_EQ(::cfgetispeed(&seen), static_cast<speed_t>(B115200));
    EXPECT_EQ(seen.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8));
    EXPECT_EQ(seen.c_oflag & OPOST, 0u);
    EXPECT_EQ(seen.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(exclusive, 1);
    // Everything is given back at the end: the exclusive mode and the lock.
    ::ioctl(terminal.keeperFd(), TIOCGEXCL, &exclusive);
    EXPECT_EQ(exclusive, 0);
    EXPECT_EQ(::flock(terminal.keeperFd(), LOCK_EX | LOCK_NB), 0);

    // Measured where the pauses are made, the last chunk's included; far too long would
    // slow every run, as a ratio so that a busy machine passes.
    ASSERT_EQ(sent.size(), chunks.size());
    sent.push_back(finished);
    for (std::size_t i = 0; i < chunks.size(); ++i)
        EXPECT_GE(sent[i + 1] - sent[i], milliseconds(chunks[i].waitMs)) << i;
    EXPECT_LT(finished - sent[0], 3 * milliseconds(60 + 30 + 40));
}

TEST(SerialTransfer, PortThatVanishesOrTakesNothingEndsTheTransfer) {
    PseudoTerminal vanishing;
    ASSERT_TRUE(vanishing.valid());
    int sent = 0;
    EXPECT_EQ(sendTo(vanishing.portName(), {{"first\n", 30}, {"second\n", 0}},
                     [&](int count) {
                         sent = count;
                         vanishing.hangUp();
                     })
                  .kind,
              Kind::PortVanished);
    EXPECT_EQ(sent, 1);

    // Nobody reads the board side, so the pseudo-terminal fills up and stays full.
    PseudoTerminal full;
    ASSERT_TRUE(full.valid());
    ZundleCardSerialData::LinkSettings settings;
    settings.stallLimitMs = 100;
    const auto started = Clock::now();
    EXPECT_EQ(sendTo(full.portName(), {{std::string(256 * 1024, 'x'), 0}}, {}, settings).kind,
              Kind::PortStalled);
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(5));
}

// The name comes from the list, but a port may be gone or be no serial port by the time
// play is pressed; and nothing outside /dev is opened.
TEST(SerialTransfer, NameThatIsNoUsablePortSendsNothing) {
    for (const auto& [name, kind] :
         {std::pair{"ttyNoSuch9", Kind::PortMissing}, std::pair{"null", Kind::SettingsRefused},
          std::pair{"../dev/null", Kind::PortMissing}}) {
        const TransferFailure failure = sendTo(name, {{"x", 0}});
        EXPECT_EQ(failure.kind, kind) << name;
        EXPECT_EQ(failure.target, name);
    }
}

namespace {

// Another program that keeps the port open and nothing more, as `sleep 30 </dev/pts/N` does.
struct OtherProgram {
    explicit OtherProgram(const std::string& device) {
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_addopen(&actions, 0, device.c_str(), O_RDWR | O_NOCTTY, 0);
        ::posix_spawn_file_actions_addclosefrom_np(&actions, 3);
        char* arguments[] = {const_cast<char*>("sleep"), const_cast<char*>("30"), nullptr};
        if (::posix_spawnp(&pid, "sleep", &actions, nullptr, arguments, environ) != 0)
            pid = -1;
        ::posix_spawn_file_actions_destroy(&actions);
    }
    ~OtherProgram() {
        if (pid > 0 && ::kill(pid, SIGKILL) == 0)
            ::waitpid(pid, nullptr, 0);
    }
    pid_t pid = -1;
};

}  // namespace

// A held port is neither written nor set, and the holder is named where it can be: our own
// descriptor never counts, and a lock file counts only while its process lives.
TEST(PortRefusal, BusyPortIsLeftAloneAndItsHolderNamed) {
    PseudoTerminal terminal;
    TempFolder locks;
    ASSERT_TRUE(terminal.valid());
    ZundleCardSerialData::LinkSettings settings;
    settings.lockFolders = {locks.path()};
    const std::string lockFile = "LCK.." + terminal.portName().substr(4);
    const auto expectRefused = [&](const std::string& holder) {
        int sent = 0;
        const TransferFailure failure = sendTo(
            terminal.portName(), {{"10 LED 1\n", 0}}, [&](int count) { sent = count; }, settings);
        EXPECT_EQ(failure.kind, Kind::PortBusy);
        EXPECT_EQ(failure.detail.compare(0, holder.size(), holder), 0) << failure.detail;
        EXPECT_EQ(sent, 0);
        EXPECT_FALSE(terminal.hasInput(20));
        EXPECT_TRUE(isCooked(terminal.keeperFd())) << "the line was switched to raw";
    };

    ASSERT_EQ(::flock(terminal.keeperFd(), LOCK_EX | LOCK_NB), 0);
    expectRefused("");
    ASSERT_EQ(::flock(terminal.keeperFd(), LOCK_UN), 0);
    {
        OtherProgram other("/dev/" + terminal.portName());
        ASSERT_GT(other.pid, 0);
        expectRefused("sleep (process " + std::to_string(other.pid) + ")");
    }
    // Our parent runs for as long as we do, and is not us.
    locks.write(lockFile, "      " + std::to_string(::getppid()) + "\n", 0644);
    expectRefused("");
    for (const char* ended : {"2147483647\n", "not a number\n"}) {
        locks.write(lockFile, ended, 0644);
        EXPECT_EQ(sendTo(terminal.portName(), {}, {}, settings).kind, Kind::None) << ended;
    }
}

// Root passes every permission check; a thread of its own that gives up that right meets
// the port's permissions as a user outside its group does. Capabilities belong to a thread,
// so the rest of the suite keeps them.
TEST(PortRefusal, PortThisAccountMayNotOpenNamesTheGroupToJoin) {
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.valid());
    const std::string device = "/dev/" + terminal.portName();
    struct stat info {};
    ASSERT_EQ(::chmod(device.c_str(), 0), 0);
    ASSERT_EQ(::stat(device.c_str(), &info), 0);
    const group* owner = ::getgrgid(info.st_gid);
    ASSERT_NE(owner, nullptr);
    ZundleCardSerialData* entry = portEntry(terminal.portName());
    const std::vector<Chunk> queue = {{"x", 0}};
    TransferFailure failure;
    std::thread([&] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2] = {};
        if (::syscall(SYS_capget, &header, data) == 0) {
            data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
            ::syscall(SYS_capset, &header, data);
        }
        entry->sendToSerialPort(queue, {}, &failure);
    }).join();
    EXPECT_EQ(failure.kind, Kind::NoPermission);
    EXPECT_EQ(failure.detail, owner->gr_name);
    EXPECT_FALSE(terminal.hasInput(0));
}

// A pseudo-terminal's output queue always reads empty, so the drain is given the counts a
// real port would report. A slow line that keeps moving is waited for well past the limit.
TEST(SerialDrain, EndsWhenTheQueueIsEmptyOrStandsStillTooLong) {
    const std::pair<std::function<int(milliseconds)>, int> cases[] = {
        {[](milliseconds since) {
             return std::max(0, 10 - static_cast<int>(since / milliseconds(20)));
         },
         0},
        {[](milliseconds) { return 4095; }, ETIMEDOUT},
        {[](milliseconds) { return errno = EIO, -1; }, EIO}};
    for (const auto& [unsent, expected] : cases) {
        const auto started = Clock::now();
        const auto since = [&started] {
            return std::chrono::duration_cast<milliseconds>(Clock::now() - started);
        };
        EXPECT_EQ(devicelink::platform::waitUntilSent(-1, 60, [&](int) { return unsent(since()); }),
                  expected);
        EXPECT_LT(since(), std::chrono::seconds(2));
    }
}

namespace {
std::atomic<bool> s_signalled{false};
}  // namespace

// A signal that arrives while a write waits is no failure: the write goes on. Checked on a
// blocking pipe, where the write is surely waiting when the signal comes.
TEST(WriteAll, InterruptedWriteIsRetried) {
    struct sigaction quiet {};
    struct sigaction before {};
    quiet.sa_handler = [](int) { s_signalled = true; };  // no SA_RESTART: write says EINTR
    ASSERT_EQ(::sigaction(SIGUSR1, &quiet, &before), 0);
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ::fcntl(ends[1], F_SETFL, O_NONBLOCK);
    std::size_t filled = 0;
    for (char block[4096] = {}; ::write(ends[1], block, sizeof block) > 0;)
        filled += sizeof block;
    ::fcntl(ends[1], F_SETFL, 0);

    std::atomic<pid_t> writer{0};
    std::atomic<int> result{-1};
    std::thread thread([&] {
        writer = static_cast<pid_t>(::syscall(SYS_gettid));
        result = devicelink::platform::writeAll(ends[1], "10 LED 1\n", 9, 2000);
    });
    // Signalled once the kernel shows it blocked in write.
    const std::string inWrite = std::to_string(SYS_write) + " ";
    EXPECT_TRUE(eventually([&] {
        const pid_t tid = writer.load();
        return tid != 0 && TempFolder::read("/proc/self/task/" + std::to_string(tid) + "/syscall")
                                   .compare(0, inWrite.size(), inWrite) == 0;
    }));
    ::pthread_kill(thread.native_handle(), SIGUSR1);
    // Room made before the signal is handled would let the write end without it.
    eventually([] { return s_signalled.load(); });
    std::string drained(filled, '\0');
    for (std::size_t got = 0; got < filled;) {
        got += static_cast<std::size_t>(
            std::max<ssize_t>(0, ::read(ends[0], &drained[got], filled - got)));
    }
    thread.join();
    EXPECT_EQ(result.load(), 0);
    ::fcntl(ends[0], F_SETFL, O_NONBLOCK);
    EXPECT_EQ(::read(ends[0], &drained[0], filled), 9);
    ::close(ends[0]);
    ::close(ends[1]);
    ::sigaction(SIGUSR1, &before, nullptr);
}
