#include "devicelink/BoardInbox.h"

#include <utility>

void BoardInbox::begin(int number) {
    std::lock_guard<std::mutex> lock(_mutex);
    _transfer = number;
    _bytes.clear();
    _dropped = 0;
}

void BoardInbox::put(int number, const char* bytes, std::size_t size) {
    std::lock_guard<std::mutex> lock(_mutex);
    if (number != _transfer) {
        return;
    }
    if (size >= kHeldBytes) {
        _dropped += _bytes.size() + size - kHeldBytes;
        _bytes.assign(bytes + size - kHeldBytes, kHeldBytes);
        return;
    }
    _bytes.append(bytes, size);
    if (_bytes.size() > kHeldBytes) {
        const std::size_t excess = _bytes.size() - kHeldBytes;
        _bytes.erase(0, excess);
        _dropped += excess;
    }
}

BoardInbox::Taken BoardInbox::take() {
    std::lock_guard<std::mutex> lock(_mutex);
    Taken taken{_transfer, std::move(_bytes), _dropped};
    _bytes.clear();
    _dropped = 0;
    return taken;
}
