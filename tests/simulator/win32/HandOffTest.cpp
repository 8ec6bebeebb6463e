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

// A pipe one of whose ends a child inherits (its reading end when childReads).
void inheritablePipe(HANDLE& childEnd, HANDLE& ourEnd, bool childReads) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE ends[2] = {nullptr, nullptr};
    ASSERT_TRUE(::CreatePipe(&ends[0], &ends[1], &inherit, 1024 * 1024));
    childEnd = ends[childReads ? 0 : 1];
    ourEnd = ends[childReads ? 1 : 0];
    ::SetHandleInformation(ourEnd, HANDLE_FLAG_INHERIT, 0);
}

// Starts a program with the given standard input and output; null when it cannot start.
HANDLE start(std::string command, HANDLE input, HANDLE output) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = startup.hStdError = output;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return nullptr;
    }
    ::CloseHandle(process.hThread);
    return process.hProcess;
}

// Writes the bytes as a sender of the test's own that connects now, and leaves it
// connected when `keep` is given.
bool send(const std::string& pipe, const std::string& bytes, HANDLE* keep = nullptr) {
    const HANDLE sender =
        ::CreateFileA(pipe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD written = 0;
    const bool sent =
        ::WriteFile(sender, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    if (keep != nullptr) {
        *keep = sender;
    } else {
        ::CloseHandle(sender);
    }
    return sent;
}

class HandOff : public testing::Test {
protected:
    void SetUp() override {
        if (std::string(ZC_BOARD_SIMULATOR).empty()) {
            GTEST_SKIP() << "no board-simulator to run as a later instance";
        }
        // Later instances started from here find the window under the same name.
        ::SetEnvironmentVariableA("ZC_BOARD_SIMULATOR_HANDOFF", name.c_str());
        ASSERT_EQ(window.claim(), Role::Window);
    }
    void TearDown() override { ::SetEnvironmentVariableA("ZC_BOARD_SIMULATOR_HANDOFF", nullptr); }

    // Runs board-simulator as a later instance with the bytes on its standard input,
    // polling the window meanwhile as its frames would. Its exit status (all ones when it
    // had to be ended) and how long it took, in ms.
    std::pair<DWORD, long> forward(const std::string& bytes) {
        HANDLE childInput = nullptr;
        HANDLE ours = nullptr;
        inheritablePipe(childInput, ours, true);
        const auto began = Clock::now();
        const HANDLE process = start("\"" ZC_BOARD_SIMULATOR "\"", childInput, nullptr);
        ::CloseHandle(childInput);
        DWORD status = 0xFFFFFFFF;
        DWORD written = 0;
        ::WriteFile(ours, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(ours);
        while (process != nullptr && ::WaitForSingleObject(process, 2) == WAIT_TIMEOUT) {
            takeFrom(window);
            if (Clock::now() - began > std::chrono::seconds(10)) {
                ::TerminateProcess(process, 0xFFFFFFFF);
            }
        }
        if (process != nullptr) {
            ::GetExitCodeProcess(process, &status);
            ::CloseHandle(process);
        }
        return {status, static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              Clock::now() - began)
                                              .count())};
    }

    void takeFrom(InstanceHandOff& handOff) {
        for (std::string& transfer : handOff.poll()) {
            arrived.push_back(std::move(transfer));
        }
    }

    // Polls until `count` transfers have arrived in all (or a generous bound).
    std::vector<std::string> collect(std::size_t count, InstanceHandOff* from = nullptr) {
        for (const auto giveUp = Clock::now() + std::chrono::seconds(10);
             arrived.size() < count && Clock::now() < giveUp;
             std::this_thread::sleep_for(std::chrono::milliseconds(2))) {
            takeFrom(from != nullptr ? *from : window);
        }
        return arrived;
    }

    std::string name = uniqueName();
    InstanceHandOff window{name};
    std::vector<std::string> arrived;
};

TEST_F(HandOff, LaterInstancesPassTheirInputToTheWindowInOrderAndEndAtOnce) {
    EXPECT_EQ(window.socketPath(), "\\\\.\\pipe\\" + name);
    const std::string play = programTransfer(
        Dialect::Vemmo, {{cards::kLoopStart}, {cards::kLedOn, cards::kWait1}, {cards::kLoopEnd}});
    const std::string stop = stopTransfer(Dialect::Vemmo);
    for (const std::string& transfer : {play, stop}) {
        const auto [status, tookMs] = forward(transfer);
        EXPECT_EQ(status, 0u);
        // The transfer waits one second after closing the tool's input.
        EXPECT_LT(tookMs, 1000);
    }
    EXPECT_EQ(collect(2), (std::vector<std::string>{play, stop}));
}

TEST_F(HandOff, ASenderStillSendingHoldsBackTheOnesThatConnectedAfterIt) {
    HANDLE first = nullptr;
    ASSERT_TRUE(send(window.socketPath(), "\033OUT", &first));
    EXPECT_EQ(forward("\033OUT0\n").first, 0u);
    takeFrom(window);
    EXPECT_TRUE(arrived.empty()) << "the later sender has ended, the first has not";
    // The rest goes after the sender has gone: the pipe keeps it for the window.
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(first, "63\n", 3, &written, nullptr));
    ::CloseHandle(first);
    EXPECT_EQ(collect(2), (std::vector<std::string>{"\033OUT63\n", "\033OUT0\n"}));
}

TEST_F(HandOff, ATransferPastTheCapIsCutAndTheNextOneStillArrivesWhole) {
    std::string longOne(InstanceHandOff::kMaxTransfer + 5000, 'x');
    for (std::size_t i = 0; i < longOne.size(); i += 4096) {
        longOne[i] = static_cast<char>('a' + i / 4096 % 26);
    }
    // Written from a thread: the pipe holds less than this until the window reads.
    std::thread sender([&] {
        EXPECT_TRUE(send(window.socketPath(), longOne));
        EXPECT_TRUE(send(window.socketPath(), "\033OUT0\n"));
    });
    const std::vector<std::string> got = collect(2);
    sender.join();
    EXPECT_EQ(got, (std::vector<std::string>{longOne.substr(0, InstanceHandOff::kMaxTransfer),
                                             "\033OUT0\n"}));
}

// The lock is held by a process of its own, which waits for an input that it never sees
// closed before it is ended; then by this test, whose own thread still is no second window.
TEST_F(HandOff, TheLockDecidesWhoListensAndAWindowEndedWithoutLettingGoIsTakenOver) {
    HANDLE childOutput = nullptr, ours = nullptr, childInput = nullptr, keptOpen = nullptr;
    inheritablePipe(childOutput, ours, false);
    inheritablePipe(childInput, keptOpen, true);
    const std::string other = uniqueName();
    const HANDLE holder = start("\"" ZC_HANDOFF_HOLDER "\" " + other, childInput, childOutput);
    ::CloseHandle(childOutput);
    ::CloseHandle(childInput);
    ASSERT_NE(holder, nullptr);
    char said[8] = {};
    DWORD got = 0;
    const bool ready = ::ReadFile(ours, said, 6, &got, nullptr) && std::string(said) == "window";
    ::CloseHandle(ours);
    EXPECT_EQ(InstanceHandOff(other).claim(100), ready ? Role::Forwarder : Role::Window);
    ::TerminateProcess(holder, 9);
    ::WaitForSingleObject(holder, INFINITE);
    ::CloseHandle(holder);
    ::CloseHandle(keptOpen);
    ASSERT_TRUE(ready) << "the holder did not become the window";

    InstanceHandOff takenOver(other);
    ASSERT_EQ(takenOver.claim(), Role::Window);
    ASSERT_TRUE(send(takenOver.socketPath(), "\033OUT0\n"));
    EXPECT_EQ(collect(1, &takenOver), std::vector<std::string>{"\033OUT0\n"});
    EXPECT_EQ(InstanceHandOff(other).claim(100), Role::Forwarder);
}

TEST_F(HandOff, TheWindowsOwnInputComesFirstWhenThereIsOneToRead) {
    const HANDLE saved = ::GetStdHandle(STD_INPUT_HANDLE);
    HANDLE pipeRead = nullptr;
    HANDLE pipeWrite = nullptr;
    ASSERT_TRUE(::CreatePipe(&pipeRead, &pipeWrite, nullptr, 0));
    DWORD written = 0;
    EXPECT_TRUE(::WriteFile(pipeWrite, "\033OUT1\n", 6, &written, nullptr));
    ::CloseHandle(pipeWrite);
    for (const HANDLE input : {pipeRead, HANDLE(nullptr)}) {
        SCOPED_TRACE(input != nullptr ? "a pipe" : "none");
        arrived.clear();
        InstanceHandOff fresh(uniqueName());
        ASSERT_EQ(fresh.claim(), Role::Window);
        EXPECT_TRUE(send(fresh.socketPath(), "late"));
        ::SetStdHandle(STD_INPUT_HANDLE, input);
        fresh.watchStandardInput();
        ::SetStdHandle(STD_INPUT_HANDLE, saved);
        const std::vector<std::string> expected =
            input != nullptr ? std::vector<std::string>{"\033OUT1\n", "late"}
                             : std::vector<std::string>{"late"};
        EXPECT_EQ(collect(expected.size(), &fresh), expected);
    }
    ::CloseHandle(pipeRead);
}

}  // namespace
