// Sends a known program to a serial port through the link, for serial_driver.py, which
// runs it under wine against a pseudo-terminal mapped to that port and checks what
// arrives. Usage: zc_serial_sender PORT send|long. Prints one line per chunk sent
// ("sent INDEX MS", milliseconds since the first) and one with the outcome
// ("result OK KIND MESSAGE").

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "ChunkQueue.h"
#include "Entries.h"
#include "devicelink/ZundleCardSerialData.h"

namespace {

using Clock = std::chrono::steady_clock;

// Control bytes, an escape and a zero byte among plain lines; pauses of several lengths,
// the last chunk's included. Kept in step with serial_driver.py.
std::vector<Chunk> program(const std::string& mode) {
    if (mode == "long") {
        std::vector<Chunk> chunks;
        for (int line = 10; line <= 400; line += 10) {
            chunks.push_back({std::to_string(line) + " WAIT 1\n", 50});
        }
        return chunks;
    }
    return {{"\x1b", 20},       {"10 LED 1\n", 30},   {std::string("\x04\r\nA\0B", 6), 0},
            {"20 WAIT 5\n", 3}, {"30 GOTO 10\n", 60}, {"RUN\n", 15}};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: zc_serial_sender PORT send|long\n");
        return 2;
    }
    const std::string port = argv[1];
    const std::string mode = argv[2];
    std::vector<Clock::time_point> sent;
    TransferFailure failure;
    const bool ok = portEntry(port)->sendToSerialPort(
        makeQueue(program(mode)), [&sent](int) { sent.push_back(Clock::now()); }, &failure);
    const auto finished = Clock::now();
    for (std::size_t i = 0; i < sent.size(); ++i) {
        std::printf("sent %zu %.3f\n", i,
                    std::chrono::duration<double, std::milli>(sent[i] - sent[0]).count());
    }
    if (!sent.empty()) {
        std::printf("finished %.3f\n",
                    std::chrono::duration<double, std::milli>(finished - sent[0]).count());
    }
    std::printf("result %d %d %s\n", ok ? 1 : 0, static_cast<int>(failure.kind),
                describeTransferFailure(failure).c_str());
    return 0;
}
