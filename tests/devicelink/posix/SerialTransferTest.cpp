#include <gtest/gtest.h>

#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "ChunkQueue.h"
#include "Entries.h"
#include "PseudoTerminal.h"
#include "devicelink/ZundleCardSerialData.h"
#include "devicelink/posix/SerialDrain.h"

using Clock = std::chrono::steady_clock;
using Kind = TransferFailure::Kind;
using std::chrono::milliseconds;

namespace {

// Notes when each chunk went out, as the sending side reports it: after the port has
// sent the chunk's last byte and before its pause.
struct SentLog {
    std::vector<Clock::time_point> times;
    ZundleCardSerialData::ChunkSent recorder() {
        return [this](int sent) {
            times.push_back(Clock::now());
            EXPECT_EQ(sent, static_cast<int>(times.size()));
        };
    }
    int count() const { return static_cast<int>(times.size()); }
};

bool isCooked(int fd) {
    termios settings{};
    return ::tcgetattr(fd, &settings) == 0 && (settings.c_lflag & ICANON) != 0;
}

}  // namespace

TEST(SerialTransfer, WritesExactBytesInRawModeAt115200_8N1) {
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.valid());
    ASSERT_TRUE(isCooked(terminal.keeperFd()));
    const std::vector<Chunk> chunks = {
        {"10 LED 1\n", 60}, {"\033", 0}, {std::string("\x04\r\nA\0B", 6), 0}, {"20 GOTO 10\n", 0}};
    const std::string expected = joined(chunks);

    termios seen{};
    int exclusive = -1;
    std::atomic<bool> sampled{false};
    BoardReader reader(terminal, expected.size(), [&](const std::string& received) {
        // The first chunk is followed by a pause: the port is open and configured now.
        if (!sampled.exchange(true) && received.size() < expected.size()) {
            ::tcgetattr(terminal.keeperFd(), &seen);
            ::ioctl(terminal.keeperFd(), TIOCGEXCL, &exclusive);
        }
    });
    SentLog sent;
    EXPECT_TRUE(
        portEntry(terminal.portName())->sendToSerialPort(makeQueue(chunks), sent.recorder()));
    reader.join();

    EXPECT_EQ(reader.received(), expected);
    EXPECT_EQ(sent.count(), 4);
    ASSERT_TRUE(sampled.load());
    EXPECT_EQ(::cfgetospeed(&seen), static_cast<speed_t>(B115200));
    EXPECT_EQ(::cfgetispeed(&seen), static_cast<speed_t>(B115200));
    EXPECT_EQ(seen.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(seen.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(seen.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(seen.c_oflag & OPOST, 0u);
    EXPECT_EQ(seen.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(exclusive, 1);

    // Everything is given back at the end: the exclusive mode and the lock.
    ::ioctl(terminal.keeperFd(), TIOCGEXCL, &exclusive);
    EXPECT_EQ(exclusive, 0);
    EXPECT_EQ(::flock(terminal.keeperFd(), LOCK_EX | LOCK_NB), 0);
}

TEST(SerialTransfer, PausesFollowEveryChunkIncludingTheLast) {
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.valid());
    const std::vector<Chunk> chunks = {{"A1\n", 30}, {"B22\n", 0}, {"C333\n", 60}, {"D\n", 40}};
    const std::string expected = joined(chunks);
    BoardReader reader(terminal, expected.size());

    SentLog sent;
    EXPECT_TRUE(
        portEntry(terminal.portName())->sendToSerialPort(makeQueue(chunks), sent.recorder()));
    const auto finished = Clock::now();
    reader.join();
    ASSERT_EQ(reader.received(), expected);
    ASSERT_EQ(sent.count(), 4);

    // Measured where the pauses are made: the board side sees the bytes through a kernel
    // worker and a reader thread, whose delays would blur the gaps.
    Clock::duration paused{};
    int intended = 0;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        SCOPED_TRACE(i);
        const auto gap = (i + 1 < chunks.size() ? sent.times[i + 1] : finished) - sent.times[i];
        EXPECT_GE(gap, milliseconds(chunks[i].waitMs));
        paused += gap;
        intended += chunks[i].waitMs;
    }
    // Pauses far too long would slow every run; as a ratio, so a busy machine passes.
    const double pausedMs = std::chrono::duration<double, std::milli>(paused).count();
    EXPECT_LT(pausedMs, 3.0 * intended);
}

TEST(SerialTransfer, EmptyQueueConfiguresThePortAndWritesNothing) {
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.valid());
    EXPECT_TRUE(portEntry(terminal.portName())->sendToSerialPort(makeQueue({})));
    EXPECT_FALSE(isCooked(terminal.keeperFd()));
    EXPECT_FALSE(terminal.hasInput(0));
}

TEST(SerialTransfer, PortLockedByAnotherProgramIsLeftAlone) {
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.valid());
    ASSERT_EQ(::flock(terminal.keeperFd(), LOCK_EX | LOCK_NB), 0);
    SentLog sent;
    EXPECT_FALSE(portEntry(terminal.portName())
                     ->sendToSerialPort(makeQueue({{"10 LED 1\n", 0}}), sent.recorder()));
    EXPECT_EQ(sent.count(), 0);
    EXPECT_FALSE(terminal.hasInput(20));
    EXPECT_TRUE(isCooked(terminal.keeperFd()));
}

TEST(SerialTransfer, PortThatVanishesEndsTheTransfer) {
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.valid());
    const std::vector<Chunk> chunks = {{"first\n", 30}, {"second\n", 30}, {"third\n", 0}};
    BoardReader reader(terminal, 100, [&](const std::string&) { terminal.hangUp(); });
    SentLog sent;
    TransferFailure failure;
    const auto started = Clock::now();
    EXPECT_FALSE(portEntry(terminal.portName())
                     ->sendToSerialPort(makeQueue(chunks), sent.recorder(), &failure));
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(10));
    EXPECT_EQ(failure.kind, Kind::PortVanished);
    reader.join();
    EXPECT_EQ(reader.received(), "first\n");
    // The port may vanish before it reports the first chunk as sent.
    EXPECT_LE(sent.count(), 1);
}

TEST(SerialTransfer, PortThatTakesNothingEndsTheTransfer) {
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.valid());
    // Nobody reads the board side, so the pseudo-terminal fills up and stays full.
    SentLog sent;
    TransferFailure failure;
    ZundleCardSerialData::LinkSettings settings;
    settings.stallLimitMs = 100;
    const auto started = Clock::now();
    EXPECT_FALSE(portEntry(terminal.portName())
                     ->sendToSerialPort(makeQueue({{std::string(256 * 1024, 'x'), 0}}),
                                        sent.recorder(), &failure, settings));
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(5));
    EXPECT_EQ(sent.count(), 0);
    EXPECT_EQ(failure.kind, Kind::PortStalled);
}

// A pseudo-terminal's output queue always reads empty, so the drain is given the counts
// a real port would report.
struct DrainCase {
    const char* label;
    std::function<int(milliseconds sinceStart)> unsent;
    int expected;
};

void PrintTo(const DrainCase& c, std::ostream* os) {
    *os << c.label;
}

class Drain : public ::testing::TestWithParam<DrainCase> {};

constexpr int kDrainLimitMs = 60;

TEST_P(Drain, EndsWhenTheQueueIsEmptyOrStandsStillTooLong) {
    const auto started = Clock::now();
    const int result = devicelink::platform::waitUntilSent(-1, kDrainLimitMs, [&](int) {
        return GetParam().unsent(std::chrono::duration_cast<milliseconds>(Clock::now() - started));
    });
    const auto elapsed = Clock::now() - started;
    EXPECT_EQ(result, GetParam().expected);
    if (result == ETIMEDOUT) {
        EXPECT_GE(elapsed, milliseconds(kDrainLimitMs));
        EXPECT_LT(elapsed, std::chrono::seconds(2));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Queues, Drain,
    ::testing::Values(DrainCase{"Empty", [](milliseconds) { return 0; }, 0},
                      // A slow line that keeps moving is waited for well past the limit.
                      DrainCase{"SlowButMoving",
                                [](milliseconds since) {
                                    return std::max(
                                        0, 10 - static_cast<int>(since / milliseconds(20)));
                                },
                                0},
                      DrainCase{"HeldFull", [](milliseconds) { return 4095; }, ETIMEDOUT},
                      DrainCase{"PortGone",
                                [](milliseconds) {
                                    errno = EIO;
                                    return -1;
                                },
                                EIO}),
    [](const ::testing::TestParamInfo<DrainCase>& param) { return param.param.label; });

struct BadPort {
    const char* label;
    const char* name;
    Kind expected;
};

void PrintTo(const BadPort& c, std::ostream* os) {
    *os << c.label;
}

class SerialPortName : public ::testing::TestWithParam<BadPort> {};

TEST_P(SerialPortName, ThatIsNoUsablePortSendsNothing) {
    TransferFailure failure;
    EXPECT_FALSE(portEntry(GetParam().name)->sendToSerialPort(makeQueue({{"x", 0}}), {}, &failure));
    EXPECT_EQ(failure.kind, GetParam().expected);
    EXPECT_EQ(failure.target, GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SerialPortName,
    ::testing::Values(BadPort{"Empty", "", Kind::PortMissing},
                      BadPort{"Missing", "ttyNoSuch9", Kind::PortMissing},
                      BadPort{"NotATerminal", "null", Kind::SettingsRefused},
                      BadPort{"OutsideDev", "../dev/null", Kind::PortMissing},
                      BadPort{"GonePseudoTerminal", "pts/999999", Kind::PortMissing}),
    [](const ::testing::TestParamInfo<BadPort>& param) { return param.param.label; });
