// A transfer cut into frames, for a connection that cannot be half closed (a Windows named
// pipe): the sender says where its transfer ends and still hears the answers on the same
// connection. Each frame is a length (four bytes, least significant first) and that many
// bytes; a frame of length 0 ends the transfer. Pure: no system header.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace simulator {

// One frame holding `size` bytes; size 0 makes the end frame.
inline std::string transferFrame(const char* data, std::size_t size) {
    const auto length = static_cast<std::uint32_t>(size);
    std::string frame;
    frame.reserve(4 + size);
    for (int shift = 0; shift < 32; shift += 8) {
        frame += static_cast<char>((length >> shift) & 0xFF);
    }
    frame.append(data, size);
    return frame;
}

// Takes frames in whatever pieces the connection delivers them.
class TransferFrameReader {
public:
    // Appends the transfer's bytes in `data` to `out`; true once the end frame has come.
    // Whatever follows the end frame is not the transfer's and is left out.
    bool feed(const char* data, std::size_t size, std::string& out) {
        std::size_t at = 0;
        while (at < size && !_ended) {
            if (_remaining == 0) {
                _length |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[at++]))
                           << (8 * _lengthBytes);
                if (++_lengthBytes == 4) {
                    _ended = _length == 0;
                    _remaining = _length;
                    _length = 0;
                    _lengthBytes = 0;
                }
                continue;
            }
            const std::size_t take = std::min<std::size_t>(_remaining, size - at);
            out.append(data + at, take);
            at += take;
            _remaining -= static_cast<std::uint32_t>(take);
        }
        return _ended;
    }
    bool ended() const { return _ended; }

private:
    std::uint32_t _length = 0;     // the length being read
    int _lengthBytes = 0;          // how many of its bytes have come
    std::uint32_t _remaining = 0;  // bytes of the current frame still to come
    bool _ended = false;
};

}  // namespace simulator
