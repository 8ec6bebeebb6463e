// A board on the far side of a pseudo-terminal pair, for the suites that listen to it.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "PseudoTerminal.h"

// A board on the far side of the pair: echoes every byte, answers a direct command with OK
// and a numbered line holding BAD with a syntax error when RUN comes; or floods, sending
// `floodBlock` again and again for as long as it lives.
class FakeBoard {
public:
    enum class Manner { Echo, Flood };

    FakeBoard(PseudoTerminal& terminal, Manner manner,
              std::string floodBlock = std::string(64 * 1024, 'x'))
        : _terminal(terminal),
          _manner(manner),
          _block(std::move(floodBlock)),
          _thread([this] { run(); }) {}
    ~FakeBoard() { stop(); }
    void stop() {
        _stop.store(true);
        if (_thread.joinable())
            _thread.join();
    }
    // Writes on the board's side now, from the test's thread.
    void say(const std::string& text) {
        std::lock_guard<std::mutex> lock(_writing);
        writeAll(text);
    }
    std::size_t flooded() const { return _flooded.load(); }

private:
    void writeAll(const std::string& text) {
        std::size_t done = 0;
        while (done < text.size() && _terminal.masterFd() >= 0) {
            const ssize_t n = ::write(_terminal.masterFd(), text.data() + done, text.size() - done);
            if (n <= 0)
                return;
            done += static_cast<std::size_t>(n);
        }
    }

    void answer(const std::string& line) {
        if (line == "RUN") {
            writeAll("Syntax error in " + _badLine + "\r\n");
        } else if (!line.empty() && (line[0] < '0' || line[0] > '9')) {
            writeAll("OK\r\n");
        } else if (line.find("BAD") != std::string::npos) {
            _badLine = line.substr(0, line.find(' '));
        }
    }

    void run() {
        // A flood never waits for a reader: once nobody reads, the board's writes fail
        // and it can still be stopped.
        const int flags = ::fcntl(_terminal.masterFd(), F_GETFL);
        if (_manner == Manner::Flood)
            ::fcntl(_terminal.masterFd(), F_SETFL, flags | O_NONBLOCK);
        std::string line;
        char buffer[512];
        while (!_stop.load() && _terminal.masterFd() >= 0) {
            if (_manner == Manner::Flood) {
                std::lock_guard<std::mutex> lock(_writing);
                pollfd out{_terminal.masterFd(), POLLOUT, 0};
                if (::poll(&out, 1, 10) == 1 && (out.revents & POLLOUT)) {
                    const ssize_t n = ::write(_terminal.masterFd(), _block.data(), _block.size());
                    if (n > 0)
                        _flooded += static_cast<std::size_t>(n);
                }
                continue;
            }
            pollfd in{_terminal.masterFd(), POLLIN, 0};
            if (::poll(&in, 1, 10) != 1 || !(in.revents & POLLIN))
                continue;
            const ssize_t n = ::read(_terminal.masterFd(), buffer, sizeof(buffer));
            if (n <= 0)
                continue;
            std::lock_guard<std::mutex> lock(_writing);
            writeAll(std::string(buffer, static_cast<std::size_t>(n)));
            for (ssize_t i = 0; i < n; ++i) {
                if (buffer[i] == '\n') {
                    answer(line);
                    line.clear();
                } else if (buffer[i] != '\r') {
                    line += buffer[i];
                }
            }
        }
        ::fcntl(_terminal.masterFd(), F_SETFL, flags);
    }

    PseudoTerminal& _terminal;
    Manner _manner;
    const std::string _block;
    std::string _badLine = "0";
    std::mutex _writing;
    std::atomic<bool> _stop{false};
    std::atomic<std::size_t> _flooded{0};
    std::thread _thread;
};
