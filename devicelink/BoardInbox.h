// What the board or tool sent back, handed from the link's reading threads to the main
// thread. Every transfer has its number; bytes that belong to an earlier one are dropped,
// so nothing said before the latest play is taken as its answer. Holds a bounded amount:
// a board that floods loses its oldest untaken bytes, never the program its memory.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>

class BoardInbox {
public:
    // Bytes held between two takes at most (the main thread takes ten times a second;
    // 115200 baud brings about 1.2 KB in that time).
    static constexpr std::size_t kHeldBytes = 256 * 1024;

    struct Taken {
        int transfer = 0;         // the transfer the bytes belong to
        std::string bytes;        // oldest first
        std::size_t dropped = 0;  // bytes of this transfer lost to the bound since the last take
    };

    // Starts transfer `number`: what earlier ones left untaken is dropped. Main thread.
    void begin(int number);
    // Any thread: bytes of transfer `number`, dropped when it is no longer the latest.
    void put(int number, const char* bytes, std::size_t size);
    // Main thread: everything held for the latest transfer, which the inbox then forgets.
    Taken take();

private:
    std::mutex _mutex;
    int _transfer = 0;
    std::string _bytes;
    std::size_t _dropped = 0;
};
