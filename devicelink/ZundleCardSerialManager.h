// The one way into the device link: the device list, the chosen entry, the plan being sent,
// the single worker thread that runs a discovery or a transfer, whose end a 0.1 s poll on
// the main thread notices, and the listener that keeps reading a port after a play.
// Portable; depends on the engine and on this module.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "base/Ref.h"
#include "base/Vector.h"
#include "devicelink/BoardInbox.h"
#include "devicelink/DeviceDiscovery.h"
#include "devicelink/LinkPlatform.h"
#include "devicelink/TransferFailure.h"
#include "devicelink/ZundleCardSerialData.h"
#include "generation/TransferPlan.h"

class ZundleCardSerialManager : public cocos2d::Ref {
public:
    // Told on the main thread when a discovery has ended, always with true.
    using Callback = std::function<void(bool)>;
    // Told on the main thread when a transfer has ended: whether it got to its end, and why
    // not.
    using TransferDone = std::function<void(const TransferResult&)>;

    // The process-wide manager, made on first use (on the main thread) and never released.
    static ZundleCardSerialManager* getInstance();

    ~ZundleCardSerialManager() override;
    // Empties the device list and chooses its first entry.
    virtual bool init();

    // Starts a discovery that rebuilds `devices`. False, without calling back, while a
    // worker is registered.
    bool startSearch(Callback callback);
    // Starts a transfer of the plan's chunks to the entry at `selectedIndex`, whose kind
    // must be the plan's target, as for stop: a port listened to is let go first, and the
    // port is closed after the last chunk. What the board or tool answers meanwhile is
    // taken with takeReceived(). False, without calling back, while a worker is registered
    // or when there is no such entry.
    bool startSend(TransferPlan plan, TransferDone done);
    // As startSend, for play: a serial port stays open after a transfer that got to its
    // end, and is read until stop (the next startSend), the next play, another entry
    // chosen, the port gone, or releaseLink().
    bool startPlay(TransferPlan plan, TransferDone done);
    // The kind of the chosen entry, which a plan for it targets; none during a discovery
    // or when nothing is chosen.
    std::optional<TargetKind> chosenKind() const;

    // The number of the latest transfer, counted from 1; what is received belongs to it.
    int getTransferNumber() const { return _transfer; }
    // Main thread: what the board or tool sent for the latest transfer since the last take
    // (of a tool, for as long as it writes); never bytes of an earlier transfer.
    BoardInbox::Taken takeReceived() { return _inbox->take(); }
    // Whether a port is held open for listening after a play.
    bool isListening() const { return _listener.joinable(); }
    // Lets go of a port held for listening, at once (a window that closes). Main thread.
    void releaseLink();
    // Why the listening after the last play ended by itself, as a board that went away
    // (Kind::None while it goes on, and after it was let go). Main thread.
    const TransferFailure& getListenFailure() const { return _lastListenFailure; }
    // Whether the transfer worker is still writing.
    bool isSending() const { return _sending.load(); }
    // Whether a discovery is registered: `devices` must be left alone until it completes.
    bool isSearching() const { return _job == Job::Search; }
    // Chunks the current or last transfer has sent so far; readable at any time.
    int getChunksSent() const { return _chunksSent.load(std::memory_order_relaxed); }

    // Replaces the system's port listing for discovery (tests); an empty one restores it.
    void setPortSource(DeviceDiscovery::PortSource source);
    // Replaces the tool folder for discovery (tests); an empty path restores the default.
    void setToolFolder(const std::string& folder);

    // Plug-in serial ports, then tools, then the computer's own ports; holds the only
    // reference to each entry. Main thread, and only while no discovery is registered.
    cocos2d::Vector<ZundleCardSerialData*> devices;
    // Position of the chosen entry in `devices`.
    int selectedIndex = 0;

private:
    enum class Job { None, Search, Send };

    ZundleCardSerialManager();

    bool startTransfer(TransferPlan& plan, TransferDone& done, bool keepListening);
    bool startWorker(Job job);
    void startListener();
    void listenWorker();
    void pollListen(float dt);
    void searchWorker();
    void sendWorker();
    void pollSearch(float dt);
    void pollSend(float dt);
    // Joins the ended worker, stops the poll and frees the slot for the next request.
    void retireWorker();

    DeviceDiscovery _discovery;
    Job _job = Job::None;
    std::thread _worker;
    Callback _onSearched;
    TransferDone _onSent;
    // Each flag is set before its worker starts and cleared by it as its last step.
    std::atomic<bool> _searching{false};
    std::atomic<bool> _sending{false};
    std::atomic<int> _chunksSent{0};
    // What the transfer worker works on, fixed when it starts: later choices on the main
    // thread cannot reach it.
    ZundleCardSerialData* _sendEntry = nullptr;
    TransferPlan _plan;
    TransferResult _sendResult;  // written by the worker, read after the join

    // Received bytes, shared with the tool reader, which may outlive a transfer.
    std::shared_ptr<BoardInbox> _inbox = std::make_shared<BoardInbox>();
    int _transfer = 0;
    bool _keepListening = false;  // of the transfer under way; read by its worker
    // The port a play left open: the worker's until the join, then the listener's.
    ZundleCardSerialData::SerialPortPtr _keptPort;
    std::thread _listener;
    std::atomic<bool> _letGo{false};
    std::atomic<bool> _listening{false};  // cleared by the listener as its last step
    // The entry listened to, to see another chosen.
    TargetKind _listenedKind = TargetKind::SerialPort;
    std::string _listenedName;
    TransferFailure _listenFailure;      // written by the listener, read after the join
    TransferFailure _lastListenFailure;  // the main thread's copy
};
