// One entry of the device list (a serial port or a transfer tool) and the two ways of
// sending a plan's chunks to it. Portable: the system calls sit behind LinkPlatform.h.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "base/Macros.h"
#include "base/Ref.h"
#include "devicelink/LinkPlatform.h"
#include "devicelink/TransferFailure.h"
#include "generation/TransferPlan.h"

class ZundleCardSerialData : public cocos2d::Ref {
public:
    // An empty entry handed to the autorelease pool (main thread only).
    CREATE_FUNC(ZundleCardSerialData);

    ~ZundleCardSerialData() override;
    // Empties the strings and makes the entry a serial port.
    virtual bool init();

    // Told, on the sending thread, how many chunks have gone out; on the serial path it
    // comes once the port has sent a chunk's last byte, before the chunk's pause.
    using ChunkSent = std::function<void(int chunksSent)>;

    // Told each piece the board or tool sent back: on the sending thread for a port, on
    // the link's tool reader thread for a tool, for as long as the tool writes.
    using Heard = std::function<void(const char* bytes, std::size_t size)>;

    using LinkSettings = devicelink::platform::LinkSettings;
    using SerialPortPtr = devicelink::platform::SerialPortPtr;

    // Writes the chunks to the port `name`, each followed by its pause. True when every
    // chunk went out; otherwise the reason goes to `failure` when one is given. With
    // `heard`, the port is read during the pauses and what came goes there; with
    // `keepOpen`, the port is handed over there, still ours, after a transfer that got to
    // its end.
    bool sendToSerialPort(const std::vector<ProgramChunk>& chunks,
                          const ChunkSent& onChunkSent = {}, TransferFailure* failure = nullptr,
                          const LinkSettings& settings = LinkSettings(), const Heard& heard = {},
                          SerialPortPtr* keepOpen = nullptr) const;
    // Feeds the chunks without pauses to the tool at `path`, closes its input and gives
    // it pacing::kToolSettleMs. True when every chunk went in; otherwise the reason goes to
    // `failure`. The tool's output and error go to `heard`, or are thrown away without it.
    bool sendToTool(const std::vector<ProgramChunk>& chunks, const ChunkSent& onChunkSent = {},
                    TransferFailure* failure = nullptr,
                    const LinkSettings& settings = LinkSettings(), const Heard& heard = {}) const;
    // Reads the open port into `heard` until `letGo` says so or the port fails; the
    // reason of a failure goes to `failure`. Waits at most kListenSliceMs to see `letGo`.
    static void listen(devicelink::platform::SerialPort& port, const Heard& heard,
                       const std::function<bool()>& letGo, TransferFailure& failure);

    // How long one read of a listened port may wait: bounds how long letting go takes.
    static constexpr int kListenSliceMs = 20;

    std::string name;         // port name below /dev, or the tool's file name
    std::string description;  // the port's model; empty for a tool
    std::string path;         // the tool's full path; empty for a port
    TargetKind kind = TargetKind::SerialPort;
    // The USB device behind a port (see PortRecord); empty for a tool or another port.
    std::string usbVendor;
    std::string usbProduct;
    std::string serialNumber;
};
