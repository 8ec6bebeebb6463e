// A port is written to only when it is ours alone, and a refusal says why.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <linux/capability.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "ChunkQueue.h"
#include "Entries.h"
#include "PseudoTerminal.h"
#include "TempFolder.h"
#include "devicelink/ZundleCardSerialData.h"

using Kind = TransferFailure::Kind;

namespace {

bool isCooked(int fd) {
    termios settings{};
    return ::tcgetattr(fd, &settings) == 0 && (settings.c_lflag & ICANON) != 0;
}

// Another program that keeps the port open and nothing more: no flock, no TIOCEXCL, as
// `sleep 30 </dev/pts/N` does.
class OtherProgram {
public:
    explicit OtherProgram(const std::string& device) {
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, device.c_str(),
                                           O_RDWR | O_NOCTTY, 0);
        ::posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
        char program[] = "sleep";
        char seconds[] = "30";
        char* arguments[] = {program, seconds, nullptr};
        if (::posix_spawnp(&_pid, program, &actions, nullptr, arguments, environ) != 0)
            _pid = -1;
        ::posix_spawn_file_actions_destroy(&actions);
    }
    ~OtherProgram() {
        if (_pid > 0) {
            ::kill(_pid, SIGKILL);
            ::waitpid(_pid, nullptr, 0);
        }
    }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;
    pid_t pid() const { return _pid; }

private:
    pid_t _pid = -1;
};

// Lock files are named after the last part of the device's name, and hold a process id.
void writeLockFile(const TempFolder& locks, const std::string& port, const std::string& pid) {
    locks.write("LCK.." + port.substr(port.rfind('/') + 1), pid + "\n", 0644);
}

struct Held {
    std::unique_ptr<OtherProgram> program;
    std::string expectedHolder;  // what the failure's detail starts with
};

struct BusyCase {
    const char* label;
    std::function<Held(const PseudoTerminal&, const TempFolder& locks)> hold;
};

void PrintTo(const BusyCase& c, std::ostream* os) {
    *os << c.label;
}

class BusyPort : public ::testing::TestWithParam<BusyCase> {};

}  // namespace

TEST_P(BusyPort, IsNeitherWrittenNorSetAndTheHolderIsNamed) {
    PseudoTerminal terminal;
    TempFolder locks;
    ASSERT_TRUE(terminal.valid());
    const Held held = GetParam().hold(terminal, locks);
    ASSERT_TRUE(!held.program || held.program->pid() > 0);

    ZundleCardSerialData::LinkSettings settings;
    settings.lockFolders = {locks.path()};
    TransferFailure failure;
    int sent = 0;
    EXPECT_FALSE(portEntry(terminal.portName())
                     ->sendToSerialPort(
                         makeQueue({{"10 LED 1\n", 0}}), [&](int count) { sent = count; }, &failure,
                         settings));

    EXPECT_EQ(failure.kind, Kind::PortBusy);
    EXPECT_EQ(failure.target, terminal.portName());
    EXPECT_EQ(failure.detail.compare(0, held.expectedHolder.size(), held.expectedHolder), 0)
        << failure.detail;
    EXPECT_EQ(sent, 0);
    EXPECT_FALSE(terminal.hasInput(20));
    EXPECT_TRUE(isCooked(terminal.keeperFd())) << "the line was switched to raw";
}

INSTANTIATE_TEST_SUITE_P(
    Holders, BusyPort,
    ::testing::Values(
        // Only our own descriptor is open, and ours never counts: nobody can be named.
        BusyCase{"LockedWithFlock",
                 [](const PseudoTerminal& port, const TempFolder&) {
                     EXPECT_EQ(::flock(port.keeperFd(), LOCK_EX | LOCK_NB), 0);
                     return Held{nullptr, ""};
                 }},
        BusyCase{"KeptOpenByAnotherProgram",
                 [](const PseudoTerminal& port, const TempFolder&) {
                     auto program = std::make_unique<OtherProgram>("/dev/" + port.portName());
                     const std::string name =
                         "sleep (process " + std::to_string(program->pid()) + ")";
                     return Held{std::move(program), name};
                 }},
        BusyCase{"NamedByALiveLockFile",
                 [](const PseudoTerminal& port, const TempFolder& locks) {
                     // Our parent runs for as long as we do, and is not us.
                     writeLockFile(locks, port.portName(), "      " + std::to_string(::getppid()));
                     return Held{nullptr, ""};
                 }}),
    [](const ::testing::TestParamInfo<BusyCase>& param) { return param.param.label; });

TEST(PortRefusal, LockFilesOfEndedOrUnknownProcessesAreIgnored) {
    PseudoTerminal first;
    PseudoTerminal second;
    TempFolder locks;
    ASSERT_TRUE(first.valid() && second.valid());
    writeLockFile(locks, first.portName(), "2147483647");  // beyond any process id
    writeLockFile(locks, second.portName(), "not a number");

    ZundleCardSerialData::LinkSettings settings;
    settings.lockFolders = {locks.path()};
    for (const PseudoTerminal* terminal : {&first, &second}) {
        TransferFailure failure;
        EXPECT_TRUE(portEntry(terminal->portName())
                        ->sendToSerialPort(makeQueue({}), {}, &failure, settings))
            << describeTransferFailure(failure);
    }
}

// Root passes every permission check; a thread of its own that gives up that right
// meets the port's permissions as a user outside its group does. Capabilities belong to
// a thread, so the rest of the suite keeps them.
TEST(PortRefusal, PortThisAccountMayNotOpenNamesTheGroupToJoin) {
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.valid());
    const std::string device = "/dev/" + terminal.portName();
    ASSERT_EQ(::chmod(device.c_str(), 0), 0);
    struct stat info {};
    ASSERT_EQ(::stat(device.c_str(), &info), 0);
    const group* owner = ::getgrgid(info.st_gid);
    ASSERT_NE(owner, nullptr);

    ZundleCardSerialData* entry = portEntry(terminal.portName());
    const cocos2d::Vector<SendData*> queue = makeQueue({{"x", 0}});
    TransferFailure failure;
    bool sent = true;
    std::thread([&] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2] = {};
        if (::syscall(SYS_capget, &header, data) == 0) {
            data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
            ::syscall(SYS_capset, &header, data);
        }
        sent = entry->sendToSerialPort(queue, {}, &failure);
    }).join();

    EXPECT_FALSE(sent);
    EXPECT_EQ(failure.kind, Kind::NoPermission);
    EXPECT_EQ(failure.detail, owner->gr_name);
    EXPECT_FALSE(terminal.hasInput(0));
}
