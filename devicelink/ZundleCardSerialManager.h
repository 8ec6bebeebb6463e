// The one way into the device link: the device list, the chosen entry, the send queue,
// and the single worker thread that runs a discovery or a transfer, whose end a 0.1 s
// poll on the main thread notices. Portable; depends on the engine and on this module.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "base/Ref.h"
#include "base/Vector.h"
#include "devicelink/DeviceDiscovery.h"
#include "devicelink/LinkPlatform.h"
#include "devicelink/SendData.h"
#include "devicelink/TransferFailure.h"
#include "devicelink/ZundleCardSerialData.h"

class ZundleCardSerialManager : public cocos2d::Ref {
public:
    // Told on the main thread when a worker has ended: true after a discovery, and after
    // a transfer whether it got to its end.
    using Callback = std::function<void(bool)>;

    // The process-wide manager, made on first use (on the main thread) and never released.
    static ZundleCardSerialManager* getInstance();

    ~ZundleCardSerialManager() override;
    // Empties the device list and chooses its first entry.
    virtual bool init();

    // Starts a discovery that rebuilds `devices`. False, without calling back, while a
    // worker is registered.
    bool startSearch(Callback callback);
    // Starts a transfer of `sendQueue` to the entry at `selectedIndex`. False, without
    // calling back, while a worker is registered or when there is no such entry.
    bool startSend(Callback callback);
    // Whether the transfer worker is still writing.
    bool isSending() const { return _sending.load(); }
    // Whether a discovery is registered: `devices` must be left alone until it completes.
    bool isSearching() const { return _job == Job::Search; }
    // Chunks the current or last transfer has sent so far; readable at any time.
    int getChunksSent() const { return _chunksSent.load(std::memory_order_relaxed); }
    // Why the last completed transfer did not get to its end (Kind::None after a success
    // and while a transfer runs). Main thread; set before the transfer's callback runs.
    const TransferFailure& getLastFailure() const { return _lastFailure; }

    // Replaces the system's port listing for discovery (tests); an empty one restores it.
    void setPortSource(DeviceDiscovery::PortSource source);
    // Replaces the tool folder for discovery (tests); an empty path restores the default.
    void setToolFolder(const std::string& folder);

    // Plug-in serial ports, then tools, then the computer's own ports; holds the only
    // reference to each entry. Main thread, and only while no discovery is registered.
    cocos2d::Vector<ZundleCardSerialData*> devices;
    // The chunks of the next transfer. Main thread, while no transfer is registered.
    cocos2d::Vector<SendData*> sendQueue;
    // Position of the chosen entry in `devices`.
    int selectedIndex = 0;

private:
    enum class Job { None, Search, Send };

    ZundleCardSerialManager();

    bool startWorker(Job job, Callback& callback);
    void searchWorker();
    void sendWorker();
    void pollSearch(float dt);
    void pollSend(float dt);
    // Joins the ended worker, stops the poll and frees the slot for the next request.
    void retireWorker();
    void finish(bool result);

    DeviceDiscovery _discovery;
    Job _job = Job::None;
    std::thread _worker;
    Callback _onFinished;
    // Each flag is set before its worker starts and cleared by it as its last step.
    std::atomic<bool> _searching{false};
    std::atomic<bool> _sending{false};
    std::atomic<int> _chunksSent{0};
    // What the transfer worker works on, fixed when it starts: later choices and queue
    // changes on the main thread cannot reach it.
    ZundleCardSerialData* _sendEntry = nullptr;
    cocos2d::Vector<SendData*> _sendChunks;
    bool _sendResult = false;      // written by the worker, read after the join
    TransferFailure _sendFailure;  // likewise
    TransferFailure _lastFailure;  // the main thread's copy, taken after the join
};
