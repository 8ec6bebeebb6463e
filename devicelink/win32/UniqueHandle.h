// Ownership of one kernel handle, closed when the owner goes. Win32 only; shared by the
// serial port, the tool's pipe and process, and the timed writes.
#pragma once

#include <windows.h>

namespace devicelink::platform {

class UniqueHandle {
public:
    UniqueHandle() = default;
    // Takes the handle; null and INVALID_HANDLE_VALUE both mean none.
    explicit UniqueHandle(HANDLE handle)
        : _handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : _handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset();
            _handle = other.release();
        }
        return *this;
    }

    // The handle, null when none.
    HANDLE get() const { return _handle; }
    explicit operator bool() const { return _handle != nullptr; }
    // Gives the handle up without closing it.
    HANDLE release() {
        HANDLE handle = _handle;
        _handle = nullptr;
        return handle;
    }
    // Closes the handle now; false when the system refused, which callers may report.
    bool reset() {
        HANDLE handle = release();
        return handle == nullptr || ::CloseHandle(handle) != 0;
    }

private:
    HANDLE _handle = nullptr;
};

}  // namespace devicelink::platform
