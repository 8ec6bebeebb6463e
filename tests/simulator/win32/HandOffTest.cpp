// The hand-off between simulator instances on Windows: this test holds the window's side,
// the real board-simulator program is started as a later instance with a transfer on its
// standard input. Also a window's process ended without letting go, senders kept in
// the order they connected, the cap on a transfer, and the window's own input.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "Transfers.h"
#include "simulator/SimulatorPlatform.h"

using simulator::platform::InstanceHandOff;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

const char* const kNameVariable = "ZC_BOARD_SIMULATOR_HANDOFF";

struct Finished {
    DWORD status = 0xFFFFFFFF;  // exit status; all ones when it had to be ended
    milliseconds took{0};
};

// A name of this test's own for the lock and the pipe.
std::string uniqueName() {
    static int made = 0;
    return "zc-handoff-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(++made);
}

// A pipe whose read end a child inherits; the write end stays here.
bool inheritablePipe(HANDLE* childEnd, HANDLE* ourEnd, bool childReads) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 1024 * 1024)) {
        return false;
    }
    *childEnd = childReads ? readEnd : writeEnd;
    *ourEnd = childReads ? writeEnd : readEnd;
    ::SetHandleInformation(*ourEnd, HANDLE_FLAG_INHERIT, 0);
    return true;
}

// Starts a program with the given standard input and output; null when it cannot start.
HANDLE start(std::string command, HANDLE input, HANDLE output) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return nullptr;
    }
    ::CloseHandle(process.hThread);
    return process.hProcess;
}

// A sender of the test's own, connected to the window's pipe now.
HANDLE openSender(const std::string& pipe) {
    return ::CreateFileA(pipe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool writeAll(HANDLE handle, const std::string& bytes) {
    DWORD written = 0;
    return ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

class HandOff : public testing::Test {
protected:
    void SetUp() override {
#ifndef ZC_BOARD_SIMULATOR
        GTEST_SKIP() << "board-simulator is built with the program only";
#endif
        name = uniqueName();
        // Later instances started from here find the window under the same name.
        ::SetEnvironmentVariableA(kNameVariable, name.c_str());
    }
    void TearDown() override {
        ::SetEnvironmentVariableA(kNameVariable, nullptr);
    }

    // Runs board-simulator as a later instance with the bytes on its standard input,
    // polling the window meanwhile as its frames would; what arrives goes to `arrived`.
    Finished forward(InstanceHandOff& window, const std::string& bytes) {
        Finished result;
#ifdef ZC_BOARD_SIMULATOR
        HANDLE childInput = nullptr;
        HANDLE ours = nullptr;
        if (!inheritablePipe(&childInput, &ours, true)) {
            ADD_FAILURE() << "no pipe";
            return result;
        }
        const auto began = Clock::now();
        const HANDLE process = start("\"" ZC_BOARD_SIMULATOR "\"", childInput, nullptr);
        ::CloseHandle(childInput);
        EXPECT_NE(process, nullptr) << ZC_BOARD_SIMULATOR;
        if (process != nullptr) {
            EXPECT_TRUE(writeAll(ours, bytes));
        }
        ::CloseHandle(ours);
        if (process == nullptr) {
            return result;
        }
        while (::WaitForSingleObject(process, 2) == WAIT_TIMEOUT) {
            takeFrom(window);
            if (Clock::now() - began > std::chrono::seconds(10)) {
                ::TerminateProcess(process, 0xFFFFFFFF);
                ::WaitForSingleObject(process, INFINITE);
                break;
            }
        }
        result.took = std::chrono::duration_cast<milliseconds>(Clock::now() - began);
        ::GetExitCodeProcess(process, &result.status);
        ::CloseHandle(process);
#else
        (void)window;
        (void)bytes;
        ADD_FAILURE() << "built without board-simulator, so there is no later instance to run";
#endif
        return result;
    }

    void takeFrom(InstanceHandOff& window) {
        for (std::string& transfer : window.poll()) {
            arrived.push_back(std::move(transfer));
        }
    }

    // Polls the window until `count` transfers have arrived in all (or a generous bound).
    std::vector<std::string> collect(InstanceHandOff& window, std::size_t count) {
        const auto giveUp = Clock::now() + std::chrono::seconds(10);
        while (arrived.size() < count && Clock::now() < giveUp) {
            takeFrom(window);
            std::this_thread::sleep_for(milliseconds(2));
        }
        return arrived;
    }

    std::string name;
    std::vector<std::string> arrived;
};

TEST_F(HandOff, LaterInstancesPassTheirInputToTheWindowInOrderAndEndAtOnce) {
    InstanceHandOff window(name);
    ASSERT_EQ(window.claim(), InstanceHandOff::Role::Window);
    EXPECT_EQ(window.socketPath(), "\\\\.\\pipe\\" + name);

    const std::string play = programTransfer(
        Dialect::Vemmo, {{cards::kLoopStart}, {cards::kLedOn, cards::kWait1}, {cards::kLoopEnd}});
    const std::string stop = stopTransfer(Dialect::Vemmo);
    for (const std::string& transfer : {play, stop}) {
        const Finished done = forward(window, transfer);
        EXPECT_EQ(done.status, 0u);
        // The transfer waits one second after closing the tool's input.
        EXPECT_LT(done.took.count(), 1000);
    }
    EXPECT_EQ(collect(window, 2), (std::vector<std::string>{play, stop}));
}

TEST_F(HandOff, ASenderStillSendingHoldsBackTheOnesThatConnectedAfterIt) {
    InstanceHandOff window(name);
    ASSERT_EQ(window.claim(), InstanceHandOff::Role::Window);
    const HANDLE first = openSender(window.socketPath());
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(writeAll(first, "\033OUT"));

    EXPECT_EQ(forward(window, "\033OUT0\n").status, 0u);
    takeFrom(window);
    EXPECT_TRUE(arrived.empty()) << "the later sender has ended, the first has not";

    // The rest goes after the sender has gone: the pipe keeps it for the window.
    ASSERT_TRUE(writeAll(first, "63\n"));
    ::CloseHandle(first);
    EXPECT_EQ(collect(window, 2), (std::vector<std::string>{"\033OUT63\n", "\033OUT0\n"}));
}

TEST_F(HandOff, ATransferPastTheCapIsCutAndTheNextOneStillArrivesWhole) {
    InstanceHandOff window(name);
    ASSERT_EQ(window.claim(), InstanceHandOff::Role::Window);
    std::string longOne(InstanceHandOff::kMaxTransfer + 5000, 'x');
    for (std::size_t i = 0; i < longOne.size(); i += 4096) {
        longOne[i] = static_cast<char>('a' + i / 4096 % 26);
    }
    // Written from a thread: the pipe holds less than this until the window reads.
    std::thread sender([&] {
        const HANDLE pipe = openSender(window.socketPath());
        EXPECT_TRUE(writeAll(pipe, longOne));
        ::CloseHandle(pipe);
        const HANDLE next = openSender(window.socketPath());
        EXPECT_TRUE(writeAll(next, "\033OUT0\n"));
        ::CloseHandle(next);
    });
    const std::vector<std::string> got = collect(window, 2);
    sender.join();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], longOne.substr(0, InstanceHandOff::kMaxTransfer));
    EXPECT_EQ(got[1], "\033OUT0\n");
}

TEST_F(HandOff, TheLockDecidesWhoListensAndAnEndedWindowIsTakenOver) {
    {
        InstanceHandOff window(name);
        ASSERT_EQ(window.claim(), InstanceHandOff::Role::Window);
        // The same thread holds the lock already, and is still not a second window.
        InstanceHandOff second(name);
        EXPECT_EQ(second.claim(100), InstanceHandOff::Role::Forwarder);
    }
    InstanceHandOff next(name);
    EXPECT_EQ(next.claim(), InstanceHandOff::Role::Window);
}

TEST_F(HandOff, AWindowWhoseProcessEndedWithoutLettingGoIsTakenOver) {
    // The holder waits for its input to close, which it never sees before it is ended.
    HANDLE childOutput = nullptr;
    HANDLE ours = nullptr;
    HANDLE childInput = nullptr;
    HANDLE keptOpen = nullptr;
    ASSERT_TRUE(inheritablePipe(&childOutput, &ours, false));
    ASSERT_TRUE(inheritablePipe(&childInput, &keptOpen, true));
    const HANDLE holder = start("\"" ZC_HANDOFF_HOLDER "\" " + name, childInput, childOutput);
    ::CloseHandle(childOutput);
    ::CloseHandle(childInput);
    ASSERT_NE(holder, nullptr);
    char said[8] = {};
    DWORD got = 0;
    const bool ready = ::ReadFile(ours, said, 6, &got, nullptr) && std::string(said) == "window";
    ::CloseHandle(ours);
    if (ready) {
        InstanceHandOff second(name);
        EXPECT_EQ(second.claim(100), InstanceHandOff::Role::Forwarder);
    }
    ::TerminateProcess(holder, 9);
    ::WaitForSingleObject(holder, INFINITE);
    ::CloseHandle(holder);
    ::CloseHandle(keptOpen);
    ASSERT_TRUE(ready) << "the holder did not become the window";

    InstanceHandOff window(name);
    ASSERT_EQ(window.claim(), InstanceHandOff::Role::Window);
    EXPECT_EQ(forward(window, "\033OUT0\n").status, 0u);
    EXPECT_EQ(collect(window, 1), std::vector<std::string>{"\033OUT0\n"});
}

TEST_F(HandOff, TheWindowsOwnInputComesFirstWhenThereIsOneToRead) {
    const HANDLE saved = ::GetStdHandle(STD_INPUT_HANDLE);
    struct Case {
        const char* what;
        HANDLE input;
        std::vector<std::string> expected;
    };
    HANDLE pipeRead = nullptr;
    HANDLE pipeWrite = nullptr;
    ASSERT_TRUE(::CreatePipe(&pipeRead, &pipeWrite, nullptr, 0));
    EXPECT_TRUE(writeAll(pipeWrite, "\033OUT1\n"));
    ::CloseHandle(pipeWrite);
    const Case cases[] = {
        {"a pipe", pipeRead, {"\033OUT1\n", "late"}},
        {"none", nullptr, {"late"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        arrived.clear();
        InstanceHandOff window(uniqueName());
        ASSERT_EQ(window.claim(), InstanceHandOff::Role::Window);
        const HANDLE late = openSender(window.socketPath());
        EXPECT_TRUE(writeAll(late, "late"));
        ::CloseHandle(late);
        ::SetStdHandle(STD_INPUT_HANDLE, c.input);
        window.watchStandardInput();
        ::SetStdHandle(STD_INPUT_HANDLE, saved);
        EXPECT_EQ(collect(window, c.expected.size()), c.expected);
    }
    ::CloseHandle(pipeRead);
}

}  // namespace
