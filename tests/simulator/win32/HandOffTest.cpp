// The hand-off between simulator instances on Windows: this test holds the window's side,
// the real board-simulator program is started as a later instance with a transfer on its
// standard input. Also a window's process ended without letting go, senders kept in
// the order they connected, the cap on a transfer, and the window's own input.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <thread>

#include "Transfers.h"
#include "simulator/SimulatorPlatform.h"

using simulator::platform::InstanceHandOff;
using Role = InstanceHandOff::Role;
using Clock = std::chrono::steady_clock;

#ifndef ZC_BOARD_SIMULATOR
#define ZC_BOARD_SIMULATOR ""  // built with the program only
#endif

namespace {

// A name of this test's own for the lock and the pipe.
std::string uniqueName() {
    static int made = 0;
    return "zc-handoff-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(++made);
}

bool write(HANDLE to, const std::string& bytes) {
    DWORD written = 0;
    return ::WriteFile(to, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// A sender of the test's own, connected to the window's pipe now.
HANDLE connect(const std::string& pipe) {
    return ::CreateFileA(pipe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool send(const std::string& pipe, const std::string& bytes) {
    const HANDLE sender = connect(pipe);
    const bool sent = write(sender, bytes);
    ::CloseHandle(sender);
    return sent;
}

// Starts a program whose standard input is a pipe, its other end in `input`; null when it
// cannot start.
HANDLE start(std::string command, HANDLE& input) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE childInput = nullptr;
    ::CreatePipe(&childInput, &input, &inherit, 1024 * 1024);
    ::SetHandleInformation(input, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput;
    PROCESS_INFORMATION process{};
    const bool started = ::CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                          nullptr, &startup, &process);
    ::CloseHandle(childInput);
    if (!started)
        return nullptr;
    ::CloseHandle(process.hThread);
    return process.hProcess;
}

class HandOff : public testing::Test {
protected:
    void SetUp() override {
        if (std::string(ZC_BOARD_SIMULATOR).empty())
            GTEST_SKIP() << "no board-simulator to run as a later instance";
        // Later instances started from here find the window under the same name.
        ::SetEnvironmentVariableA("ZC_BOARD_SIMULATOR_HANDOFF", name.c_str());
        ASSERT_EQ(window.claim(), Role::Window);
    }
    void TearDown() override { ::SetEnvironmentVariableA("ZC_BOARD_SIMULATOR_HANDOFF", nullptr); }

    // Runs board-simulator as a later instance with the bytes on its standard input,
    // polling the window meanwhile as its frames would; its exit status and time taken.
    std::pair<DWORD, Clock::duration> forward(const std::string& bytes) {
        const auto began = Clock::now();
        HANDLE input = nullptr;
        const HANDLE process = start("\"" ZC_BOARD_SIMULATOR "\"", input);
        write(input, bytes);
        ::CloseHandle(input);
        DWORD status = 0xFFFFFFFF;
        while (process != nullptr && ::WaitForSingleObject(process, 2) == WAIT_TIMEOUT)
            collect(0);
        ::GetExitCodeProcess(process, &status);
        ::CloseHandle(process);
        return {status, Clock::now() - began};
    }

    // Polls until `count` transfers have arrived in all (or a generous bound); at least once.
    std::vector<std::string> collect(std::size_t count, InstanceHandOff* from = nullptr) {
        for (const auto giveUp = Clock::now() + std::chrono::seconds(10);;
             std::this_thread::sleep_for(std::chrono::milliseconds(2))) {
            for (std::string& transfer : (from != nullptr ? *from : window).poll())
                arrived.push_back(std::move(transfer));
            if (arrived.size() >= count || Clock::now() >= giveUp)
                return arrived;
        }
    }

    std::string name = uniqueName();
    InstanceHandOff window{name};
    std::vector<std::string> arrived;
};

// A sender of the test's own connects first and is still sending when the later instances
// have ended: theirs wait behind it, kept by the pipe for the window. The first one then
// sends past the cap on a transfer, which cuts it; the next ones still arrive whole.
TEST_F(HandOff, LaterInstancesPassTheirInputInTheOrderTheyConnectedAndEndAtOnce) {
    const HANDLE first = connect(window.socketPath());
    ASSERT_TRUE(write(first, "\033OUT"));
    const std::string play = programTransfer(Dialect::Vemmo, {{cards::kLedOn}});
    const std::string stop = stopTransfer(Dialect::Vemmo);
    for (const std::string& transfer : {play, stop}) {
        const auto [status, took] = forward(transfer);
        EXPECT_EQ(status, 0u);
        // The transfer waits one second after closing the tool's input.
        EXPECT_LT(took, std::chrono::seconds(1));
    }
    EXPECT_TRUE(collect(0).empty()) << "the later senders have ended, the first has not";
    std::string longOne = "\033OUT" + std::string(InstanceHandOff::kMaxTransfer, 'x');
    for (std::size_t i = 4; i < longOne.size(); i += 4096)
        longOne[i] = static_cast<char>('a' + i / 4096 % 26);
    // From a thread: the pipe holds less than this until the window reads.
    std::thread rest([&] {
        EXPECT_TRUE(write(first, longOne.substr(4)));
        ::CloseHandle(first);
    });
    collect(3);
    rest.join();
    longOne.resize(InstanceHandOff::kMaxTransfer);
    EXPECT_EQ(arrived, (std::vector<std::string>{longOne, play, stop}));
}

// The lock is held by a process of its own, which waits for an input that it never sees
// closed before it is ended (a later instance finds it); then by this test, whose own
// thread still is no second window.
TEST_F(HandOff, TheLockDecidesWhoListensAndAWindowEndedWithoutLettingGoIsTakenOver) {
    const std::string other = uniqueName();
    HANDLE keptOpen = nullptr;
    const HANDLE holder = start("\"" ZC_HANDOFF_HOLDER "\" " + other, keptOpen);
    bool held = false;
    for (const auto giveUp = Clock::now() + std::chrono::seconds(10);
         !held && Clock::now() < giveUp;) {
        held = InstanceHandOff(other).claim(100) == Role::Forwarder;
    }
    ::TerminateProcess(holder, 9);
    ::WaitForSingleObject(holder, INFINITE);
    ::CloseHandle(holder);
    ::CloseHandle(keptOpen);
    ASSERT_TRUE(held) << "the holder did not become the window";

    InstanceHandOff takenOver(other);
    ASSERT_EQ(takenOver.claim(), Role::Window);
    ASSERT_TRUE(send(takenOver.socketPath(), "\033OUT0\n"));
    EXPECT_EQ(collect(1, &takenOver), std::vector<std::string>{"\033OUT0\n"});
    EXPECT_EQ(InstanceHandOff(other).claim(100), Role::Forwarder);
}

// The window's own input comes first when there is one to read, and holds nothing back
// when there is none.
TEST_F(HandOff, TheWindowsOwnInputComesFirst) {
    const HANDLE saved = ::GetStdHandle(STD_INPUT_HANDLE);
    HANDLE input = nullptr;
    HANDLE ours = nullptr;
    ASSERT_TRUE(::CreatePipe(&input, &ours, nullptr, 0));
    EXPECT_TRUE(write(ours, "\033OUT1\n"));
    ::CloseHandle(ours);
    EXPECT_TRUE(send(window.socketPath(), "late"));
    for (const HANDLE stdInput : {HANDLE(nullptr), input}) {
        ::SetStdHandle(STD_INPUT_HANDLE, stdInput);
        window.watchStandardInput();
    }
    ::SetStdHandle(STD_INPUT_HANDLE, saved);
    EXPECT_EQ(collect(2), (std::vector<std::string>{"\033OUT1\n", "late"}));
    ::CloseHandle(input);
}

}  // namespace
