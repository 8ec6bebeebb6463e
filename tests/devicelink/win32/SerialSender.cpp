// Sends a known program to a serial port through the link, for serial_driver.py, which
// runs it under wine against a pseudo-terminal mapped to that port. Usage:
// zc_serial_sender PORT send|long|listen. Prints "sent INDEX MS" per chunk (milliseconds
// since the first), "finished MS", and "result OK KIND MESSAGE". With listen, what came
// back while sending and in the two seconds after, read through the open port, follows as
// "heard TEXT" (line ends as \r and \n) and "listened KIND".
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
    const std::string mode = argv[2];
    if (mode == "long")
        chunks.assign(40, Chunk{"10 WAIT 1\n", 50});
    if (mode == "listen")
        chunks = {{"10 LED 1\r\n", 200}, {"RUN\r\n", 200}};
    std::string heard;
    const auto hear = [&heard](const char* bytes, std::size_t size) { heard.append(bytes, size); };
    ZundleCardSerialData::SerialPortPtr port;
    using Clock = std::chrono::steady_clock;
    std::vector<Clock::time_point> sent;
    TransferFailure failure;
    const bool listen = mode == "listen";
    const bool ok = portEntry(argv[1])->sendToSerialPort(
        chunks, [&sent](int) { sent.push_back(Clock::now()); }, &failure, {},
        listen ? ZundleCardSerialData::Heard(hear) : ZundleCardSerialData::Heard(),
        listen ? &port : nullptr);
    sent.push_back(Clock::now());
    TransferFailure listened;
    if (port) {
        const auto until = Clock::now() + std::chrono::seconds(2);
        ZundleCardSerialData::listen(
            *port, hear, [until] { return Clock::now() >= until; }, listened);
    }
    const auto ms = [&sent](std::size_t i) {
        return std::chrono::duration<double, std::milli>(sent[i] - sent[0]).count();
    };
    for (std::size_t i = 0; i + 1 < sent.size(); ++i)
        std::printf("sent %zu %.3f\n", i, ms(i));
    std::printf("finished %.3f\nresult %d %d %s\n", ms(sent.size() - 1), ok ? 1 : 0,
                static_cast<int>(failure.kind), describeTransferFailure(failure).c_str());
    if (listen) {
        std::string shown;
        for (const char c : heard)
            shown += c == '\r'   ? std::string("\\r")
                     : c == '\n' ? std::string("\\n")
                                 : std::string(1, c);
        std::printf("heard %s\nlistened %d\n", shown.c_str(), static_cast<int>(listened.kind));
    }
    return 0;
}
