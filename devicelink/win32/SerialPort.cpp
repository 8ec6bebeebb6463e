// Serial ports through the Win32 communications functions: exclusive open, 115200 8N1
// with every other setting as the port had it, writes and drain with a time limit.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "devicelink/LinkPlatform.h"
#include "devicelink/win32/PortErrors.h"
#include "devicelink/win32/TimedWrite.h"
#include "devicelink/win32/UniqueHandle.h"
#include "widetext/win32/WideText.h"

namespace devicelink::platform {

using widetext::systemMessage;
using widetext::toWide;

class SerialPort {
public:
    explicit SerialPort(UniqueHandle port) : handle(std::move(port)) {}
    UniqueHandle handle;
    bool readsAtOnce = false;  // the read time-outs are set for reads that never wait
};

namespace {

using Kind = TransferFailure::Kind;

// Short against the pauses between chunks and against what 115200 baud sends meanwhile
// (about 12 bytes), so the pause starts nearly at once.
constexpr std::chrono::milliseconds kProbeInterval{1};

bool sameFrame(const DCB& a, const DCB& b) {
    return a.BaudRate == b.BaudRate && a.ByteSize == b.ByteSize && a.Parity == b.Parity &&
           a.StopBits == b.StopBits && a.fParity == b.fParity;
}

// Sets 115200 baud, 8 data bits, no parity, one stop bit and leaves flow control, the
// modem lines and the time-outs as they were; then reads the settings back, since a
// driver may take a request only in part. 0, or the error of the refusal.
DWORD configureLine(HANDLE port) {
    DCB settings{};
    settings.DCBlength = sizeof(settings);
    if (!::GetCommState(port, &settings)) {
        return ::GetLastError();
    }
    settings.BaudRate = CBR_115200;
    settings.ByteSize = 8;
    settings.Parity = NOPARITY;
    settings.StopBits = ONESTOPBIT;
    settings.fParity = FALSE;
    if (!::SetCommState(port, &settings)) {
        return ::GetLastError();
    }
    DCB actual{};
    actual.DCBlength = sizeof(actual);
    if (!::GetCommState(port, &actual)) {
        return ::GetLastError();
    }
    return sameFrame(settings, actual) ? 0 : ERROR_INVALID_PARAMETER;
}

// Waits until the driver's output queue is empty, as long as it keeps falling. 0,
// ERROR_TIMEOUT when it stood still for the limit, or the error of a port that went.
DWORD waitUntilSent(HANDLE port, int stallLimitMs) {
    using Clock = std::chrono::steady_clock;
    const auto limit = std::chrono::milliseconds(stallLimitMs);
    DWORD last = MAXDWORD;
    auto lastProgress = Clock::now();
    for (;;) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!::ClearCommError(port, &errors, &status)) {
            return ::GetLastError();
        }
        if (status.cbOutQue == 0) {
            return 0;
        }
        const auto now = Clock::now();
        if (status.cbOutQue < last) {
            lastProgress = now;
        } else if (now - lastProgress >= limit) {
            return ERROR_TIMEOUT;
        }
        last = status.cbOutQue;
        sleepUntil(now + kProbeInterval);
    }
}

}  // namespace

void SerialPortCloser::operator()(SerialPort* port) const {
    delete port;
}

SerialPortPtr openSerialPort(const std::string& name, const LinkSettings& /*settings*/,
                             TransferFailure& failure) {
    // A name is a device name, never a path that leads elsewhere.
    if (name.empty() || name.find_first_of("\\/:") != std::string::npos) {
        failure.fail(Kind::PortMissing);
        return {};
    }
    // The device path works for every port, COM10 and above included.
    const std::wstring path = L"\\\\.\\" + toWide(name);
    UniqueHandle port(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (!port) {
        failPortOpen(::GetLastError(), failure);
        return {};
    }
    if (::GetFileType(port.get()) != FILE_TYPE_CHAR) {
        failure.fail(Kind::SettingsRefused, "not a serial port");
        return {};
    }
    if (const DWORD refused = configureLine(port.get()); refused != 0) {
        failure.fail(Kind::SettingsRefused, systemMessage(refused));
        return {};
    }
    // What the board said to whoever had the port before is no answer to us.
    ::PurgeComm(port.get(), PURGE_RXCLEAR);
    return SerialPortPtr(new SerialPort(std::move(port)));
}

bool writeSerialPort(SerialPort& port, const std::string& bytes, const LinkSettings& settings,
                     TransferFailure& failure) {
    HANDLE handle = port.handle.get();
    if (const DWORD error =
            writeAllTimed(handle, bytes.data(), bytes.size(), settings.stallLimitMs);
        error != 0) {
        return failPortWrite(error, failure);
    }
    // The pause that follows is meant for the board, so it starts once the driver has
    // sent the last byte, not once it has queued it.
    if (const DWORD error = waitUntilSent(handle, settings.stallLimitMs); error != 0) {
        return failPortWrite(error, failure);
    }
    return true;
}

bool readSerialPort(SerialPort& port, std::string& out, std::size_t maxBytes, int waitMs,
                    TransferFailure& failure) {
    HANDLE handle = port.handle.get();
    if (!port.readsAtOnce) {
        // A read returns at once with what has arrived; the waiting is done here, looking
        // at the driver's count, which is also what tells a port that went away.
        COMMTIMEOUTS timeouts{};
        if (!::GetCommTimeouts(handle, &timeouts)) {
            return failPortWrite(::GetLastError(), failure);
        }
        timeouts.ReadIntervalTimeout = MAXDWORD;
        timeouts.ReadTotalTimeoutMultiplier = 0;
        timeouts.ReadTotalTimeoutConstant = 0;
        if (!::SetCommTimeouts(handle, &timeouts)) {
            return failPortWrite(::GetLastError(), failure);
        }
        port.readsAtOnce = true;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    DWORD waiting = 0;
    for (;;) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!::ClearCommError(handle, &errors, &status)) {
            return failure.fail(Kind::PortVanished, systemMessage(::GetLastError()));
        }
        waiting = status.cbInQue;
        const auto now = std::chrono::steady_clock::now();
        if (waiting > 0 || now >= deadline) {
            break;
        }
        sleepUntil(std::min(deadline, now + kProbeInterval * 2));
    }
    if (waiting == 0) {
        return true;
    }
    UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event) {
        return failure.fail(Kind::PortVanished, systemMessage(::GetLastError()));
    }
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(maxBytes, waiting));
    const std::size_t start = out.size();
    out.resize(start + asked);
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    DWORD got = 0;
    bool done = ::ReadFile(handle, out.data() + start, asked, &got, &overlapped) != FALSE;
    DWORD error = done ? 0 : ::GetLastError();
    if (!done && error == ERROR_IO_PENDING) {
        // The bytes are there and the time-outs say not to wait; the limit only guards
        // against a driver that waits all the same, after which the read is given up on
        // before its buffer goes.
        if (::WaitForSingleObject(event.get(), 1000) != WAIT_OBJECT_0) {
            ::CancelIoEx(handle, &overlapped);
        }
        done = ::GetOverlappedResult(handle, &overlapped, &got, TRUE) != FALSE;
        error = done ? 0 : ::GetLastError();
    }
    out.resize(start + (done ? got : 0));
    if (!done && error != ERROR_OPERATION_ABORTED) {
        return failure.fail(Kind::PortVanished, systemMessage(error));
    }
    return true;
}

}  // namespace devicelink::platform
