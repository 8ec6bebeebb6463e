#include "devicelink/ZundleCardSerialData.h"

#include <chrono>

#include "base/Macros.h"
#include "devicelink/LinkPlatform.h"
#include "generation/Pauses.h"

namespace platform = devicelink::platform;

ZundleCardSerialData::~ZundleCardSerialData() = default;

bool ZundleCardSerialData::init() {
    name.clear();
    description.clear();
    path.clear();
    kind = 0;
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

}  // namespace

bool ZundleCardSerialData::sendToSerialPort(const cocos2d::Vector<SendData*>& queue,
                                            const ChunkSent& onChunkSent, TransferFailure* failure,
                                            const LinkSettings& settings) const {
    TransferFailure reason;
    reason.target = name;
    platform::SerialPortPtr port = platform::openSerialPort(name, settings, reason);
    if (!port) {
        return report(false, reason, failure);
    }
    int sent = 0;
    for (SendData* chunk : queue) {
        if (!platform::writeSerialPort(*port, chunk->text, settings, reason)) {
            return report(false, reason, failure);
        }
        if (onChunkSent) {
            onChunkSent(++sent);
        }
        if (chunk->waitMs > 0) {
            // Counted from the moment the port has sent the last byte, so the board gets
            // the whole pause to digest the line.
            platform::sleepUntil(std::chrono::steady_clock::now() +
                                 std::chrono::milliseconds(chunk->waitMs));
        }
    }
    return report(true, reason, failure);
}

bool ZundleCardSerialData::sendToTool(const cocos2d::Vector<SendData*>& queue,
                                      const ChunkSent& onChunkSent, TransferFailure* failure,
                                      const LinkSettings& settings) const {
    TransferFailure reason;
    reason.target = name;
    platform::ToolProcessPtr tool = platform::startTool(path, reason);
    if (!tool) {
        return report(false, reason, failure);
    }
    int sent = 0;
    for (SendData* chunk : queue) {
        if (!platform::writeTool(*tool, chunk->text, settings, reason)) {
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
