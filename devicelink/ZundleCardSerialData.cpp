#include "devicelink/ZundleCardSerialData.h"

#include <chrono>

#include "devicelink/LinkPlatform.h"

namespace platform = devicelink::platform;

ZundleCardSerialData::~ZundleCardSerialData() = default;

bool ZundleCardSerialData::init() {
    name.clear();
    description.clear();
    path.clear();
    kind = 0;
    return true;
}

bool ZundleCardSerialData::sendToSerialPort(const cocos2d::Vector<SendData*>& queue,
                                            const ChunkSent& onChunkSent) const {
    platform::SerialPortPtr port = platform::openSerialPort(name);
    if (!port) {
        return false;
    }
    int sent = 0;
    for (SendData* chunk : queue) {
        if (!platform::writeSerialPort(*port, chunk->text)) {
            return false;
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
    return true;
}

bool ZundleCardSerialData::sendToTool(const cocos2d::Vector<SendData*>& queue,
                                      const ChunkSent& onChunkSent) const {
    platform::ToolProcessPtr tool = platform::startTool(path);
    if (!tool) {
        return false;
    }
    int sent = 0;
    for (SendData* chunk : queue) {
        if (!platform::writeTool(*tool, chunk->text)) {
            return false;
        }
        if (onChunkSent) {
            onChunkSent(++sent);
        }
    }
    if (!platform::closeToolInput(*tool)) {
        return false;
    }
    platform::sleepUntil(std::chrono::steady_clock::now() +
                         std::chrono::milliseconds(kToolSettleMs));
    return true;
}
