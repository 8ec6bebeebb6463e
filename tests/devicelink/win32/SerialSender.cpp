// Sends a known program to a serial port through the link, for serial_driver.py, which
// runs it under wine against a pseudo-terminal mapped to that port. Usage:
// zc_serial_sender PORT send|long. Prints "sent INDEX MS" per chunk (milliseconds since
// the first), "finished MS", and "result OK KIND MESSAGE".
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "Entries.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: zc_serial_sender PORT send|long\n");
        return 2;
    }
    // Control bytes and a zero byte among plain lines; pauses of several lengths, the last
    // chunk's included. Kept in step with serial_driver.py.
    std::vector<Chunk> chunks = {
        {"\x1b", 20},       {"10 LED 1\n", 30},   {std::string("\x04\r\nA\0B", 6), 0},
        {"20 WAIT 5\n", 3}, {"30 GOTO 10\n", 60}, {"RUN\n", 15}};
    if (std::string(argv[2]) == "long")
        chunks.assign(40, Chunk{"10 WAIT 1\n", 50});
    using Clock = std::chrono::steady_clock;
    std::vector<Clock::time_point> sent;
    TransferFailure failure;
    const bool ok = portEntry(argv[1])->sendToSerialPort(
        makeQueue(chunks), [&sent](int) { sent.push_back(Clock::now()); }, &failure);
    sent.push_back(Clock::now());
    const auto ms = [&sent](std::size_t i) {
        return std::chrono::duration<double, std::milli>(sent[i] - sent[0]).count();
    };
    for (std::size_t i = 0; i + 1 < sent.size(); ++i)
        std::printf("sent %zu %.3f\n", i, ms(i));
    std::printf("finished %.3f\nresult %d %d %s\n", ms(sent.size() - 1), ok ? 1 : 0,
                static_cast<int>(failure.kind), describeTransferFailure(failure).c_str());
    return 0;
}
