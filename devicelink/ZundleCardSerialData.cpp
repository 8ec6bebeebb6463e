#include "devicelink/ZundleCardSerialData.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "base/Macros.h"
#include "devicelink/LinkPlatform.h"
#include "generation/Pauses.h"

namespace platform = devicelink::platform;

ZundleCardSerialData::~ZundleCardSerialData() = default;

bool ZundleCardSerialData::init() {
    name.clear();
    description.clear();
    path.clear();
    kind = TargetKind::SerialPort;
    usbVendor.clear();
    usbProduct.clear();
    serialNumber.clear();
    return true;
}

namespace {

// Hands the reason to a caller that asked for it and passes the path's result on.
bool report(bool succeeded, const TransferFailure& reason, TransferFailure* failure) {
    CCASSERT(succeeded == (reason.kind == TransferFailure::Kind::None),
             "a failing step names its reason, and only a failing one");
    if (failure != nullptr) {
        *failure = reason;
    }
    return succeeded;
}

// A read takes at most this much at once; the rest waits in the driver for the next.
constexpr std::size_t kReadBlock = 4096;

// Takes what the port has and waits for more until the deadline, never returning before it.
bool readUntil(platform::SerialPort& port, std::chrono::steady_clock::time_point deadline,
               const ZundleCardSerialData::Heard& heard, TransferFailure& failure) {
    std::string received;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const int waitMs = static_cast<int>(
            std::clamp<long long>(left.count(), 0, ZundleCardSerialData::kListenSliceMs));
        received.clear();
        if (!platform::readSerialPort(port, received, kReadBlock, waitMs, failure)) {
            return false;
        }
        if (!received.empty()) {
            heard(received.data(), received.size());
        }
        if (left.count() <= 0) {
            return true;
        }
    }
}

}  // namespace

void ZundleCardSerialData::listen(platform::SerialPort& port, const Heard& heard,
                                  const std::function<bool()>& letGo, TransferFailure& failure) {
    std::string received;
    while (!letGo()) {
        received.clear();
        if (!platform::readSerialPort(port, received, kReadBlock, kListenSliceMs, failure)) {
            return;
        }
        if (!received.empty()) {
            heard(received.data(), received.size());
        }
    }
}

bool ZundleCardSerialData::sendToSerialPort(const std::vector<ProgramChunk>& chunks,
                                            const ChunkSent& onChunkSent, TransferFailure* failure,
                                            const LinkSettings& settings, const Heard& heard,
                                            SerialPortPtr* keepOpen) const {
    TransferFailure reason;
    reason.target = name;
    platform::SerialPortPtr port = platform::openSerialPort(name, settings, reason);
    if (!port) {
        return report(false, reason, failure);
    }
    int sent = 0;
    for (const ProgramChunk& chunk : chunks) {
        if (!platform::writeSerialPort(*port, chunk.text, settings, reason)) {
            return report(false, reason, failure);
        }
        if (onChunkSent) {
            onChunkSent(++sent);
        }
        // Counted from the moment the port has sent the last byte, so the board gets the
        // whole pause to digest the line.
        const auto pauseEnd =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(chunk.waitMs, 0));
        if (heard) {
            if (!readUntil(*port, pauseEnd, heard, reason)) {
                return report(false, reason, failure);
            }
        } else if (chunk.waitMs > 0) {
            platform::sleepUntil(pauseEnd);
        }
    }
    if (keepOpen != nullptr) {
        *keepOpen = std::move(port);
    }
    return report(true, reason, failure);
}

bool ZundleCardSerialData::sendToTool(const std::vector<ProgramChunk>& chunks,
                                      const ChunkSent& onChunkSent, TransferFailure* failure,
                                      const LinkSettings& settings, const Heard& heard) const {
    TransferFailure reason;
    reason.target = name;
    platform::ToolProcessPtr tool = platform::startTool(path, reason, heard);
    if (!tool) {
        return report(false, reason, failure);
    }
    int sent = 0;
    for (const ProgramChunk& chunk : chunks) {
        if (!platform::writeTool(*tool, chunk.text, settings, reason)) {
            return report(false, reason, failure);
        }
        if (onChunkSent) {
            onChunkSent(++sent);
        }
    }
    const bool settled = platform::settleTool(
        *tool, std::chrono::steady_clock::now() + std::chrono::milliseconds(pacing::kToolSettleMs),
        reason);
    return report(settled, reason, failure);
}
