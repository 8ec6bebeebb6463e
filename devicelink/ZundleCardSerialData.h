// One entry of the device list (a serial port or a transfer tool) and the two ways of
// sending a queue of chunks to it. Portable: the system calls sit behind LinkPlatform.h.
#pragma once

#include <functional>
#include <string>

#include "base/Macros.h"
#include "base/Ref.h"
#include "base/Vector.h"
#include "devicelink/LinkPlatform.h"
#include "devicelink/SendData.h"
#include "devicelink/TransferFailure.h"

class ZundleCardSerialData : public cocos2d::Ref {
public:
    static constexpr int kKindSerialPort = 100;
    static constexpr int kKindTool = 101;

    // An empty entry handed to the autorelease pool (main thread only).
    CREATE_FUNC(ZundleCardSerialData);

    ~ZundleCardSerialData() override;
    // Empties the strings and sets the kind to 0 (never listed).
    virtual bool init();

    // Told, on the sending thread, how many chunks have gone out; on the serial path it
    // comes once the port has sent a chunk's last byte, before the chunk's pause.
    using ChunkSent = std::function<void(int chunksSent)>;

    using LinkSettings = devicelink::platform::LinkSettings;

    // Writes the chunks to the port `name`, each followed by its pause. True when every
    // chunk went out; otherwise the reason goes to `failure` when one is given.
    bool sendToSerialPort(const cocos2d::Vector<SendData*>& queue,
                          const ChunkSent& onChunkSent = {}, TransferFailure* failure = nullptr,
                          const LinkSettings& settings = LinkSettings()) const;
    // Feeds the chunks without pauses to the tool at `path`, closes its input and gives
    // it pacing::kToolSettleMs. True when every chunk went in; otherwise the reason goes to
    // `failure`.
    bool sendToTool(const cocos2d::Vector<SendData*>& queue, const ChunkSent& onChunkSent = {},
                    TransferFailure* failure = nullptr,
                    const LinkSettings& settings = LinkSettings()) const;

    std::string name;         // port name below /dev, or the tool's file name
    std::string description;  // the port's model; empty for a tool
    std::string path;         // the tool's full path; empty for a port
    int kind = 0;             // kKindSerialPort or kKindTool
};
