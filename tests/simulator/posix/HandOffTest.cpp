// The hand-off between simulator instances: this test holds the window's side, the real
// board-simulator program is started as a later instance with a transfer on its standard
// input. Also the socket's privacy, the folder chosen, and a long transfer reaching the
// window's board over several frames.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <future>
#include <iterator>
#include <thread>
#include <utility>

#include "HandOffWindow.h"
#include "Transfers.h"
#include "platform/headless/HeadlessHarness.h"
#include "simulator/SimulatorPlatform.h"
#include "simulator/SimulatorScene.h"
#include "tests/support/ScopedVariable.h"

using simulator::platform::InstanceHandOff;
using Role = InstanceHandOff::Role;
using Clock = std::chrono::steady_clock;

#ifndef ZC_BOARD_SIMULATOR
#define ZC_BOARD_SIMULATOR ""  // built with the program only
#endif

namespace {

std::string madeFolder(const char* pattern) {
    std::string name = pattern;
    return ::mkdtemp(name.data()) != nullptr ? name : std::string();
}

// What a later instance did: its exit status, what it printed, and how long it took.
struct Forwarded {
    int status = -1;
    std::string printed;
    Clock::duration took{};
};

// Runs board-simulator as a later instance with the bytes on its standard input and no
// display, so that an instance that wrongly took the window fails instead.
Forwarded forward(const std::string& folder, const std::string& bytes) {
    const auto start = Clock::now();
    const std::string printed =
        folder + "/printed-" + std::to_string(start.time_since_epoch().count());
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR='" + folder +
                                "' '" ZC_BOARD_SIMULATOR "' >'" + printed + "' 2>/dev/null";
    FILE* input = ::popen(command.c_str(), "w");
    std::fwrite(bytes.data(), 1, bytes.size(), input);
    const int status = ::pclose(input);
    Forwarded result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.took = Clock::now() - start;
    std::ifstream file(printed, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    result.printed = text.str();
    return result;
}

// Polls the window's side until `count` transfers have arrived (or a generous bound).
std::vector<std::string> collect(InstanceHandOff& window, std::size_t count) {
    std::vector<std::string> arrived;
    for (const auto giveUp = Clock::now() + std::chrono::seconds(10);
         arrived.size() < count && Clock::now() < giveUp;
         std::this_thread::sleep_for(std::chrono::milliseconds(2)))
        for (std::string& transfer : window.poll())
            arrived.push_back(std::move(transfer));
    return arrived;
}

// A folder of the test's own, removed with what is in it; no display, as later instances
// have none.
struct HandOff : testing::Test {
    HandOff() { ::unsetenv("DISPLAY"); }
    ~HandOff() override { EXPECT_EQ(std::system(("rm -rf '" + folder + "'").c_str()), 0); }
    ScopedVariable display{"DISPLAY"};
    std::string folder = madeFolder("/tmp/zc-handoff-XXXXXX");
};

// The lock decides who listens, one window a display: a socket left by a window that
// crashed is replaced, a closed window removes its own, and a directory in its place is
// named as the cause of no hand-off.
TEST_F(HandOff, LaterInstancesPassTheirInputToTheWindowInOrderAndEndAtOnce) {
    if (std::string(ZC_BOARD_SIMULATOR).empty())
        GTEST_SKIP() << "no board-simulator to run as a later instance";
    const std::string path = folder + "/zundle-board-simulator.sock";
    ASSERT_EQ(::mknod(path.c_str(), S_IFSOCK | 0600, 0), 0);
    {
        InstanceHandOff window(folder);
        ASSERT_EQ(window.claim(), Role::Window);
        EXPECT_EQ(InstanceHandOff(folder).claim(100), Role::Forwarder);
        ::setenv("DISPLAY", "remote:2.0", 1);
        EXPECT_EQ(InstanceHandOff(folder).claim(100), Role::Window) << "each display has its own";
        InstanceHandOff blocked(folder);
        ASSERT_EQ(::mkdir(blocked.socketPath().c_str(), 0700), 0);
        EXPECT_EQ(blocked.claim(100), Role::Alone);
        EXPECT_NE(blocked.problem().find("a directory sits where the hand-off's socket belongs"),
                  std::string::npos)
            << blocked.problem();
        ::unsetenv("DISPLAY");
        struct stat info {};
        EXPECT_TRUE(::stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode) &&
                    (info.st_mode & 0777) == 0600);
        const std::string play = programTransfer(Dialect::Vemmo, {{cards::kLedOn}});
        const std::string stop = stopTransfer(Dialect::Vemmo);
        std::vector<std::string> arrived;
        for (const std::string& transfer : {play, stop}) {
            auto later = std::async(std::launch::async, forward, folder, transfer);
            for (std::string& taken : collect(window, 1))
                arrived.push_back(std::move(taken));
            window.answer("Program ended\n");
            window.endAnswers();
            const Forwarded done = later.get();
            EXPECT_EQ(done.status, 0);
            EXPECT_EQ(done.printed, "Program ended\n");
            // Well before the five seconds a later instance waits for a window that is not
            // there (a busy machine under a sanitizer takes most of a second).
            EXPECT_LT(done.took, std::chrono::milliseconds(2500));
        }
        EXPECT_EQ(arrived, (std::vector<std::string>{play, stop}));
    }
    EXPECT_NE(::access(path.c_str(), F_OK), 0);
    EXPECT_EQ(InstanceHandOff(folder).claim(), Role::Window);
}

// A later instance prints what the board answers to its own transfer, as a board's tool
// would: the error in the board's words with the line it happened in, the lines a program
// runs, and its end; then it ends. The window runs on the headless engine.
TEST_F(HandOff, LaterInstancesPrintTheBoardsAnswersToTheirTransfer) {
    if (std::string(ZC_BOARD_SIMULATOR).empty())
        GTEST_SKIP() << "no board-simulator to run as a later instance";
    InstanceHandOff window(folder);
    ASSERT_EQ(window.claim(), Role::Window);
    cocos2d::HeadlessHarness harness;
    showHandOffWindow(harness, window);
    const std::pair<std::string, std::string> cases[] = {
        {"NEW\r\n10 LED 1\r\n20 FROB\r\nRUN\r\n", "Syntax error in 20\n"},
        {"NEW\r\nFROB\r\n", "Syntax error\n"},
        {"NEW\r\n10 LED 1:WAIT 60\r\n20 LED 0\r\nRUN\r\n", "@run 10\nProgram ended\n@run 0\n"},
        {"cat uart > .\nled(1);\nsleep(500);\nfrob(1);\n\x04ms .\n",
         "Error in line 3: unknown function \"frob\"\n"},
        {"cat uart > .\nled(1);\nsleep(500);\npwm(9, 1);\n\x04ms .\n",
         "@run 2\nError in line 3: there is no PWM channel 9\n@run 0\n"},
    };
    for (const auto& [transfer, printed] : cases) {
        SCOPED_TRACE(testing::PrintToString(transfer));
        auto later = std::async(std::launch::async, forward, folder, transfer);
        int frame = 0;
        for (; frame < 3000 &&
               later.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready;
             ++frame)
            harness.step();
        // A later instance still waiting ends now, so that a failure cannot hang the suite.
        window.endAnswers();
        EXPECT_LT(frame, 3000) << "the later instance never ended";
        const Forwarded done = later.get();
        EXPECT_EQ(done.status, 0);
        EXPECT_EQ(done.printed, printed);
    }
}

// The runtime folder when it is private, else our own below /tmp. Another local user who
// makes that one first (or one who could enter it) must not keep play and stop from
// reaching the window: a private folder of our own, randomly named, is recorded in the
// home folder, and every instance finds that one, even those that start at one moment.
TEST(HandOffFolder, PrivateRuntimeFolderElseOurOwnBelowTmpElseOneRecordedForAll) {
    const std::string home = madeFolder("/tmp/zc-home-XXXXXX");
    const ScopedVariable restored[] = {ScopedVariable("HOME"), ScopedVariable("XDG_RUNTIME_DIR")};
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", home.c_str(), 1);
    const std::string own = "/tmp/zundle-board-simulator-" + std::to_string(::getuid());
    EXPECT_EQ(InstanceHandOff::defaultFolder(), home);
    ::chmod(home.c_str(), 0755);
    EXPECT_EQ(InstanceHandOff::defaultFolder(), own) << "others may enter the runtime folder";
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(InstanceHandOff::defaultFolder(), own);
    // Root runs the tests: a folder of another uid stands for another user's.
    for (const auto& [owner, mode] : {std::pair<uid_t, mode_t>{::getuid() + 4242, 0700},
                                      std::pair<uid_t, mode_t>{::getuid(), 0777}}) {
        SCOPED_TRACE(mode);
        ASSERT_EQ(::chown(own.c_str(), owner, static_cast<gid_t>(-1)), 0);
        ASSERT_EQ(::chmod(own.c_str(), mode), 0);
        for (int round = 0; round < 100 && !HasFailure(); ++round) {
            std::string chosen[6];
            std::vector<std::thread> starting;
            for (std::string& folder : chosen)
                starting.emplace_back([&folder] { folder = InstanceHandOff::defaultFolder(); });
            for (std::thread& thread : starting)
                thread.join();
            struct stat info {};
            EXPECT_TRUE(::lstat(chosen[0].c_str(), &info) == 0 && (info.st_mode & 0777) == 0700 &&
                        chosen[0].rfind(own + "-", 0) == 0)
                << chosen[0];
            // Gone, as a cleaner of /tmp would leave it: the next round makes a new one.
            for (const std::string& folder : chosen) {
                EXPECT_EQ(folder, chosen[0]) << "round " << round;
                ::rmdir(folder.c_str());
            }
        }
        ::chown(own.c_str(), ::getuid(), static_cast<gid_t>(-1));
        ::chmod(own.c_str(), 0700);
    }
    EXPECT_EQ(std::system(("rm -rf '" + home + "'").c_str()), 0);
}

// As long a program as the hand-off passes: the window stays live while it arrives, and
// the board ends with it exactly as if it had come in whole. Lines written again over
// earlier ones make the order count.
TEST(HandOffIntake, ALongTransferReachesTheBoardOverFramesInOrder) {
    std::string program = "NEW\r\n";
    for (int line = 0; program.size() < InstanceHandOff::kMaxTransfer; ++line)
        program += std::to_string(line % 30000 + 1) + " OUT " + std::to_string(line % 64) + "\r\n";
    Board whole;
    whole.receiveTransfer(program);
    // A frame's work ends when its time runs out, or at once when a quit is asked.
    for (const bool quit : {false, true}) {
        SCOPED_TRACE(quit);
        cocos2d::HeadlessHarness harness;
        std::vector<std::string> arriving{program};
        auto* layer = SimulatorScene::create([&arriving] { return std::exchange(arriving, {}); });
        std::int64_t nowMs = 0;
        layer->setWorkClock([&nowMs, quit] { return quit ? nowMs : nowMs += 2; });
        layer->setInterrupt([quit] { return quit; });
        harness.scene()->addChild(layer);
        harness.step();
        EXPECT_NE(layer->board().console().listing(), whole.console().listing())
            << "one frame took in the whole program";
        for (int frames = 1; layer->board().console().listing() != whole.console().listing();
             frames += 50) {
            ASSERT_LT(frames, 3000) << "the program never arrived whole";
            harness.steps(50);
        }
    }
}

}  // namespace
