// The hand-off between simulator instances on Windows: this test holds the window's side,
// the real board-simulator program is started as a later instance with a transfer on its
// standard input and prints the board's answers. Also a window's process ended without
// letting go, senders kept in the order they connected, the cap on a transfer, and the
// window's own input with its answers on the window's own output.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "HandOffWindow.h"
#include "Transfers.h"
#include "platform/headless/HeadlessHarness.h"
#include "simulator/SimulatorPlatform.h"
#include "simulator/SimulatorScene.h"
#include "simulator/TransferFrames.h"

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

// A sender of the test's own, connected to the window's pipe, waiting as a later instance
// does while the window makes its next free end.
HANDLE connect(const std::string& pipe) {
    for (const auto giveUp = Clock::now() + std::chrono::seconds(10);;) {
        const HANDLE sender = ::CreateFileA(pipe.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                            OPEN_EXISTING, 0, nullptr);
        if (sender != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_PIPE_BUSY ||
            Clock::now() >= giveUp)
            return sender;
        ::WaitNamedPipeA(pipe.c_str(), 100);
    }
}

// Bytes of a transfer as a later instance frames them; `last` adds the end of the transfer.
std::string framed(const std::string& bytes, bool last = true) {
    return simulator::transferFrame(bytes.data(), bytes.size()) +
           (last ? simulator::transferFrame(nullptr, 0) : std::string());
}

bool send(const std::string& pipe, const std::string& bytes) {
    const HANDLE sender = connect(pipe);
    const bool sent = write(sender, framed(bytes));
    ::CloseHandle(sender);
    return sent;
}

// Everything that comes from the pipe `from` until its writer closes it, or what came within
// 30 seconds: peeked at first, so that a writer that never closes cannot hang the suite.
std::string readToEnd(HANDLE from) {
    std::string bytes;
    char buffer[4096];
    for (const auto giveUp = Clock::now() + std::chrono::seconds(30); Clock::now() < giveUp;) {
        DWORD available = 0;
        if (!::PeekNamedPipe(from, nullptr, 0, nullptr, &available, nullptr))
            break;
        DWORD got = 0;
        if (available == 0)
            ::Sleep(5);
        else if (::ReadFile(from, buffer, std::min<DWORD>(sizeof buffer, available), &got, nullptr))
            bytes.append(buffer, got);
    }
    return bytes;
}

// Starts a program whose standard input is a pipe, its other end in `input`, and whose
// standard output, when `output` is given, a pipe whose other end goes there; null when it
// cannot start.
HANDLE start(std::string command, HANDLE& input, HANDLE* output = nullptr) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE childInput = nullptr;
    HANDLE childOutput = nullptr;
    ::CreatePipe(&childInput, &input, &inherit, 1024 * 1024);
    ::SetHandleInformation(input, HANDLE_FLAG_INHERIT, 0);
    if (output != nullptr) {
        ::CreatePipe(output, &childOutput, &inherit, 0);
        ::SetHandleInformation(*output, HANDLE_FLAG_INHERIT, 0);
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput;
    startup.hStdOutput = childOutput;
    PROCESS_INFORMATION process{};
    const bool started = ::CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                          nullptr, &startup, &process);
    ::CloseHandle(childInput);
    if (childOutput != nullptr)
        ::CloseHandle(childOutput);
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

    // What a later instance did: its exit status, what it printed, and the time it took.
    struct Forwarded {
        DWORD status = 0xFFFFFFFF;
        std::string printed;
        Clock::duration took{};
    };
    // Runs board-simulator as a later instance with the bytes on its standard input, taking
    // the window's frames meanwhile through `frame` (by default a poll); gives up on an
    // instance that outlasts 30 seconds, so that a failure cannot hang the suite.
    Forwarded forward(const std::string& bytes, const std::function<void()>& frame = {}) {
        Forwarded done;
        const auto began = Clock::now();
        HANDLE input = nullptr;
        HANDLE output = nullptr;
        const HANDLE process = start("\"" ZC_BOARD_SIMULATOR "\"", input, &output);
        write(input, bytes);
        ::CloseHandle(input);
        auto printed = std::async(std::launch::async, readToEnd, output);
        while (process != nullptr && ::WaitForSingleObject(process, 2) == WAIT_TIMEOUT &&
               Clock::now() - began < std::chrono::seconds(30))
            frame ? frame() : static_cast<void>(collect(0));
        if (process != nullptr && ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(process, 9);
        ::WaitForSingleObject(process, INFINITE);
        ::GetExitCodeProcess(process, &done.status);
        ::CloseHandle(process);
        done.printed = printed.get();
        ::CloseHandle(output);
        done.took = Clock::now() - began;
        return done;
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

// Senders of the test's own: the first is still sending when the next two have sent their
// whole transfers, which wait behind it. The first then sends past the cap on a transfer,
// which cuts it; the next ones still arrive whole, in order. The answers go to the sender
// of the last transfer alone, which hears where they end; a later instance whose transfer
// is answered ends at once.
TEST_F(HandOff, TransfersArriveInTheOrderTheirSendersConnectedAndTheLastOneHearsTheAnswers) {
    const HANDLE first = connect(window.socketPath());
    ASSERT_TRUE(write(first, framed("\033OUT", false)));
    const std::string play = programTransfer(Dialect::Vemmo, {{cards::kLedOn}});
    const std::string stop = stopTransfer(Dialect::Vemmo);
    std::vector<std::future<std::string>> heard;
    for (const std::string& transfer : {play, stop}) {
        const HANDLE sender = connect(window.socketPath());
        ASSERT_TRUE(write(sender, framed(transfer)));
        heard.push_back(std::async(std::launch::async, [sender] {
            std::string bytes = readToEnd(sender);
            ::CloseHandle(sender);
            return bytes;
        }));
    }
    EXPECT_TRUE(collect(0).empty()) << "the first sender has not finished";
    std::string longOne = "\033OUT" + std::string(InstanceHandOff::kMaxTransfer, 'x');
    for (std::size_t i = 4; i < longOne.size(); i += 4096)
        longOne[i] = static_cast<char>('a' + i / 4096 % 26);
    // From a thread: the pipe holds less than this until the window reads.
    std::thread rest([&] {
        EXPECT_TRUE(write(first, framed(longOne.substr(4))));
        ::CloseHandle(first);
    });
    collect(3);
    rest.join();
    longOne.resize(InstanceHandOff::kMaxTransfer);
    EXPECT_EQ(arrived, (std::vector<std::string>{longOne, play, stop}));
    window.answer("Stopped in line 1\n");
    window.endAnswers();
    window.answer("heard by nobody\n");
    for (auto& sender : heard)
        ASSERT_EQ(sender.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(heard[0].get(), "") << "an earlier sender hears nothing";
    EXPECT_EQ(heard[1].get(), "Stopped in line 1\n");

    const Forwarded later = forward(stop, [this] {
        if (collect(0).size() == 4) {
            window.answer("Program ended\n");
            window.endAnswers();  // later answers go nowhere
        }
    });
    EXPECT_EQ(later.status, 0u);
    EXPECT_EQ(later.printed, "Program ended\n");
    // The transfer waits one second after closing the tool's input.
    EXPECT_LT(later.took, std::chrono::seconds(1));
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

// Gives `to` the bytes as its own standard input and a pipe of the test's own as its
// standard output and error while `during` runs (the test's own again after it); what `to`
// printed there, once it closed that pipe; whether standard output and error named that
// pipe no more at the end of `during`.
std::pair<std::string, bool> withOwnInputAndOutput(InstanceHandOff& to, const std::string& bytes,
                                                   const std::function<void()>& during) {
    const HANDLE saved[] = {::GetStdHandle(STD_INPUT_HANDLE), ::GetStdHandle(STD_OUTPUT_HANDLE),
                            ::GetStdHandle(STD_ERROR_HANDLE)};
    HANDLE input = nullptr, ours = nullptr, printed = nullptr, output = nullptr;
    if (!::CreatePipe(&input, &ours, nullptr, 0) || !::CreatePipe(&printed, &output, nullptr, 0))
        return {"(no pipe)", false};
    write(ours, bytes);
    ::CloseHandle(ours);
    for (const HANDLE stdInput : {HANDLE(nullptr), input}) {
        ::SetStdHandle(STD_INPUT_HANDLE, stdInput);
        to.watchStandardInput();
    }
    ::SetStdHandle(STD_OUTPUT_HANDLE, output);
    ::SetStdHandle(STD_ERROR_HANDLE, output);
    during();
    const bool retired =
        ::GetStdHandle(STD_OUTPUT_HANDLE) != output && ::GetStdHandle(STD_ERROR_HANDLE) != output;
    ::SetStdHandle(STD_INPUT_HANDLE, saved[0]);
    ::SetStdHandle(STD_OUTPUT_HANDLE, saved[1]);
    ::SetStdHandle(STD_ERROR_HANDLE, saved[2]);
    auto reading = std::async(std::launch::async, readToEnd, printed);
    std::string text = reading.wait_for(std::chrono::seconds(10)) == std::future_status::ready
                           ? reading.get()
                           : "(the window's own output stayed open)";
    if (text.rfind("(the", 0) == 0)
        ::CloseHandle(output);  // lets the reader end
    ::CloseHandle(input);
    ::CloseHandle(printed);
    return {text, retired};
}

// The window's own input comes first when there is one to read, and holds nothing back
// when there is none; its answers go to the window's own output, closed once they are over
// (at the latest when the next transfer comes) and named standard output or error no more.
TEST_F(HandOff, TheWindowsOwnInputComesFirstAndItsAnswersGoToTheWindowsOwnOutput) {
    EXPECT_TRUE(send(window.socketPath(), "late"));
    const auto [unanswered, retiredFirst] = withOwnInputAndOutput(window, "\033OUT1\n", [this] {
        EXPECT_EQ(collect(2), (std::vector<std::string>{"\033OUT1\n", "late"}));
    });
    EXPECT_EQ(unanswered, "");
    EXPECT_TRUE(retiredFirst);

    arrived.clear();
    InstanceHandOff alone(uniqueName());
    ASSERT_EQ(alone.claim(), Role::Window);
    const auto [answered, retired] = withOwnInputAndOutput(alone, "RUN\r\n", [&] {
        EXPECT_EQ(collect(1, &alone), std::vector<std::string>{"RUN\r\n"});
        alone.answer("@run 0\n");
        alone.endAnswers();
    });
    EXPECT_EQ(answered, "@run 0\n");
    EXPECT_TRUE(retired);
}

// A later instance prints what the board answers to its own transfer, as a board's tool
// would: the error in the board's words with the line it happened in, the lines a program
// runs, and its end; then it ends. The window runs on the headless engine.
TEST_F(HandOff, LaterInstancesPrintTheBoardsAnswersToTheirTransfer) {
    cocos2d::HeadlessHarness harness;
    showHandOffWindow(harness, window);
    const std::pair<std::string, std::string> cases[] = {
        {"NEW\r\n10 LED 1\r\n20 FROB\r\nRUN\r\n", "Syntax error in 20\n"},
        {"NEW\r\n10 LED 1:WAIT 60\r\n20 LED 0\r\nRUN\r\n", "@run 10\nProgram ended\n@run 0\n"},
        {"cat uart > .\nled(1);\nsleep(500);\npwm(9, 1);\n\x04ms .\n",
         "@run 2\nError in line 3: there is no PWM channel 9\n@run 0\n"},
    };
    for (const auto& [transfer, printed] : cases) {
        SCOPED_TRACE(testing::PrintToString(transfer));
        const Forwarded done = forward(transfer, [&harness] { harness.step(); });
        // A later instance still waiting ends now.
        window.endAnswers();
        EXPECT_EQ(done.status, 0u);
        EXPECT_EQ(done.printed, printed);
    }
}

}  // namespace
