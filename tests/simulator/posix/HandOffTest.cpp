// The hand-off between simulator instances: this test holds the window's side, the real
// board-simulator program is started as a later instance with a transfer on its standard
// input. Also the socket's privacy, a stale socket, and the runtime folder chosen.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "Transfers.h"
#include "simulator/SimulatorPlatform.h"

using simulator::platform::InstanceHandOff;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

struct Finished {
    int status = -1;  // exit status, -1 when it had to be killed
    milliseconds took{0};
};

class HandOff : public testing::Test {
protected:
    void SetUp() override {
#ifndef ZC_BOARD_SIMULATOR
        GTEST_SKIP() << "board-simulator is built with the program only";
#endif
        char name[] = "/tmp/zc-handoff-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        folder = name;
        // The later instances get no display; the window's side must not have one either.
        const char* display = std::getenv("DISPLAY");
        savedDisplay = display != nullptr ? display : "";
        ::unsetenv("DISPLAY");
    }
    void TearDown() override {
        if (!savedDisplay.empty()) {
            ::setenv("DISPLAY", savedDisplay.c_str(), 1);
        }
        if (!folder.empty()) {
            for (const char* file :
                 {"/zundle-board-simulator.sock", "/zundle-board-simulator.lock"}) {
                ::unlink((folder + file).c_str());
            }
            ::rmdir(folder.c_str());
        }
    }

    // Runs board-simulator as a later instance with the bytes on its standard input. It
    // gets no display, so an instance that wrongly took the window fails instead.
    Finished forward(const std::string& bytes) {
        Finished result;
#ifdef ZC_BOARD_SIMULATOR
        int input[2];
        if (::pipe2(input, O_CLOEXEC) != 0) {
            return result;
        }
        std::vector<std::string> environment = {"XDG_RUNTIME_DIR=" + folder};
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string variable = *entry;
            if (variable.rfind("DISPLAY=", 0) != 0 && variable.rfind("WAYLAND_DISPLAY=", 0) != 0 &&
                variable.rfind("XDG_RUNTIME_DIR=", 0) != 0) {
                environment.push_back(variable);
            }
        }
        std::vector<char*> envp;
        for (std::string& variable : environment) {
            envp.push_back(&variable[0]);
        }
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
        ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        char* argv[] = {const_cast<char*>(ZC_BOARD_SIMULATOR), nullptr};
        pid_t pid = -1;
        const auto start = Clock::now();
        const int spawned =
            ::posix_spawn(&pid, ZC_BOARD_SIMULATOR, &actions, nullptr, argv, envp.data());
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(input[0]);
        if (spawned == 0) {
            EXPECT_EQ(::write(input[1], bytes.data(), bytes.size()),
                      static_cast<ssize_t>(bytes.size()));
        }
        ::close(input[1]);
        if (spawned != 0) {
            return result;
        }
        int status = 0;
        while (::waitpid(pid, &status, WNOHANG) == 0) {
            if (Clock::now() - start > std::chrono::seconds(10)) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                return result;
            }
            std::this_thread::sleep_for(milliseconds(2));
        }
        result.took = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#else
        (void)bytes;
        ADD_FAILURE() << "built without board-simulator, so there is no later instance to run";
#endif
        return result;
    }

    // Polls the window's side until `count` transfers have arrived (or a generous bound).
    static std::vector<std::string> collect(InstanceHandOff& window, std::size_t count) {
        std::vector<std::string> arrived;
        const auto giveUp = Clock::now() + std::chrono::seconds(10);
        while (arrived.size() < count && Clock::now() < giveUp) {
            for (std::string& transfer : window.poll()) {
                arrived.push_back(std::move(transfer));
            }
            std::this_thread::sleep_for(milliseconds(2));
        }
        return arrived;
    }

    std::string folder;
    std::string savedDisplay;
};

TEST_F(HandOff, LaterInstancesPassTheirInputToTheWindowInOrderAndEndAtOnce) {
    InstanceHandOff window(folder);
    ASSERT_EQ(window.claim(), InstanceHandOff::Role::Window);
    struct stat info {};
    ASSERT_EQ(::stat(window.socketPath().c_str(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    const std::string play = programTransfer(
        Dialect::Vemmo, {{cards::kLoopStart}, {cards::kLedOn, cards::kWait1}, {cards::kLoopEnd}});
    const std::string stop = stopTransfer(Dialect::Vemmo);
    for (const std::string& transfer : {play, stop}) {
        const Finished done = forward(transfer);
        EXPECT_EQ(done.status, 0);
        // The transfer waits one second after closing the tool's input.
        EXPECT_LT(done.took.count(), 500);
    }
    EXPECT_EQ(collect(window, 2), (std::vector<std::string>{play, stop}));
}

TEST_F(HandOff, SocketLeftByAWindowThatCrashedIsReplaced) {
    // A socket nobody listens on, and a lock file nobody holds.
    const std::string path = folder + "/zundle-board-simulator.sock";
    const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(stale, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(stale);
    ::close(::open((folder + "/zundle-board-simulator.lock").c_str(), O_CREAT | O_RDWR, 0600));

    InstanceHandOff window(folder);
    ASSERT_EQ(window.claim(), InstanceHandOff::Role::Window);
    EXPECT_EQ(forward("\033OUT0\n").status, 0);
    EXPECT_EQ(collect(window, 1), std::vector<std::string>{"\033OUT0\n"});
}

TEST_F(HandOff, TheLockDecidesWhoListensAndClosingRemovesTheSocket) {
    std::string path;
    {
        InstanceHandOff window(folder);
        ASSERT_EQ(window.claim(), InstanceHandOff::Role::Window);
        path = window.socketPath();
        InstanceHandOff second(folder);
        EXPECT_EQ(second.claim(100), InstanceHandOff::Role::Forwarder);
    }
    EXPECT_NE(::access(path.c_str(), F_OK), 0);
    InstanceHandOff next(folder);
    EXPECT_EQ(next.claim(), InstanceHandOff::Role::Window);
}

TEST_F(HandOff, EachDisplayHasItsOwnWindow) {
    ::setenv("DISPLAY", ":1", 1);
    InstanceHandOff first(folder);
    ASSERT_EQ(first.claim(), InstanceHandOff::Role::Window);
    ::setenv("DISPLAY", "remote:2.0", 1);
    InstanceHandOff second(folder);
    EXPECT_EQ(second.claim(100), InstanceHandOff::Role::Window);
    ::setenv("DISPLAY", ":1", 1);
    InstanceHandOff third(folder);
    EXPECT_EQ(third.claim(100), InstanceHandOff::Role::Forwarder);
    ::unsetenv("DISPLAY");
    for (const char* file :
         {"/zundle-board-simulator-_1.sock", "/zundle-board-simulator-_1.lock",
          "/zundle-board-simulator-remote_2.0.sock", "/zundle-board-simulator-remote_2.0.lock"}) {
        EXPECT_EQ(::access((folder + file).c_str(), F_OK), 0) << file;
    }
    for (const char* file :
         {"/zundle-board-simulator-_1.lock", "/zundle-board-simulator-remote_2.0.lock"}) {
        ::unlink((folder + file).c_str());
    }
}

TEST_F(HandOff, DirectoryAtTheSocketPathIsNamedAsTheCause) {
    InstanceHandOff window(folder);
    ASSERT_EQ(::mkdir(window.socketPath().c_str(), 0700), 0);
    EXPECT_EQ(window.claim(100), InstanceHandOff::Role::Alone);
    EXPECT_NE(window.problem().find("a directory sits where the hand-off's socket belongs"),
              std::string::npos)
        << window.problem();
    ::rmdir(window.socketPath().c_str());
}

// Another local user who makes our usual folder below /tmp first (or one who could enter
// it) must not keep play and stop from reaching the window: a private folder of our own,
// randomly named, is recorded in the home folder and found again by later instances.
TEST(HandOffFolder, UsualFolderNotOursGivesWayToARecordedPrivateOne) {
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string savedRuntime = saved != nullptr ? saved : "";
    const char* savedHomeValue = std::getenv("HOME");
    const std::string savedHome = savedHomeValue != nullptr ? savedHomeValue : "";
    char home[] = "/tmp/zc-home-XXXXXX";
    ASSERT_NE(::mkdtemp(home), nullptr);
    ::setenv("HOME", home, 1);
    ::unsetenv("XDG_RUNTIME_DIR");
    const std::string own = "/tmp/zundle-board-simulator-" + std::to_string(::getuid());
    ::mkdir(own.c_str(), 0700);

    struct Takeover {
        uid_t owner;
        mode_t mode;
    };
    // Root runs the tests: a folder of another uid stands for another user's.
    for (const Takeover& t : {Takeover{::getuid() + 4242, 0700}, Takeover{::getuid(), 0777}}) {
        SCOPED_TRACE(t.mode);
        ASSERT_EQ(::chown(own.c_str(), t.owner, static_cast<gid_t>(-1)), 0);
        ASSERT_EQ(::chmod(own.c_str(), t.mode), 0);
        const std::string chosen = InstanceHandOff::defaultFolder();
        const std::string again = InstanceHandOff::defaultFolder();
        ASSERT_EQ(::chown(own.c_str(), ::getuid(), static_cast<gid_t>(-1)), 0);
        ASSERT_EQ(::chmod(own.c_str(), 0700), 0);

        EXPECT_NE(chosen, own);
        EXPECT_EQ(chosen.rfind(own + "-", 0), 0u) << chosen;
        EXPECT_EQ(again, chosen) << "later instances find the same place";
        struct stat info {};
        ASSERT_EQ(::lstat(chosen.c_str(), &info), 0);
        EXPECT_TRUE(S_ISDIR(info.st_mode));
        EXPECT_EQ(info.st_uid, ::getuid());
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        ::rmdir(chosen.c_str());
    }
    EXPECT_EQ(InstanceHandOff::defaultFolder(), own) << "ours again, the usual one is used";

    ::unlink((std::string(home) + "/.zundle-board-simulator-place").c_str());
    ::rmdir(home);
    ::setenv("HOME", savedHome.c_str(), 1);
    if (saved != nullptr) {
        ::setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
    }
}

TEST(HandOffFolder, RuntimeFolderWhenPrivateElseOneOfOurOwnBelowTmp) {
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string savedValue = saved != nullptr ? saved : "";
    char name[] = "/tmp/zc-runtime-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    const std::string own = "/tmp/zundle-board-simulator-" + std::to_string(::getuid());

    ::setenv("XDG_RUNTIME_DIR", name, 1);
    EXPECT_EQ(InstanceHandOff::defaultFolder(), name);
    ::chmod(name, 0755);
    EXPECT_EQ(InstanceHandOff::defaultFolder(), own) << "others may enter it";
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(InstanceHandOff::defaultFolder(), own);
    struct stat info {};
    ASSERT_EQ(::lstat(own.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    ::rmdir(name);
    if (saved != nullptr) {
        ::setenv("XDG_RUNTIME_DIR", savedValue.c_str(), 1);
    }
}

}  // namespace
