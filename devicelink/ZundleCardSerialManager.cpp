#include "devicelink/ZundleCardSerialManager.h"

#include <system_error>
#include <utility>

#include "base/Director.h"
#include "base/Scheduler.h"

namespace {

constexpr float kPollInterval = 0.1f;

ZundleCardSerialManager* s_instance = nullptr;

}  // namespace

ZundleCardSerialManager* ZundleCardSerialManager::getInstance() {
    if (s_instance == nullptr) {
        s_instance = new ZundleCardSerialManager();
        s_instance->init();
    }
    return s_instance;
}

ZundleCardSerialManager::ZundleCardSerialManager() = default;

ZundleCardSerialManager::~ZundleCardSerialManager() {
    if (_listener.joinable()) {
        _letGo.store(true);
        _listener.join();
    }
    CC_SAFE_RELEASE(_sendEntry);
}

bool ZundleCardSerialManager::init() {
    selectedIndex = 0;
    devices.clear();
    return true;
}

void ZundleCardSerialManager::setPortSource(DeviceDiscovery::PortSource source) {
    CCASSERT(_job != Job::Search, "the port listing is in use by a discovery");
    _discovery.setPortSource(std::move(source));
}

void ZundleCardSerialManager::setToolFolder(const std::string& folder) {
    CCASSERT(_job != Job::Search, "the tool folder is in use by a discovery");
    _discovery.setToolFolder(folder);
}

bool ZundleCardSerialManager::startSearch(Callback callback) {
    CCASSERT(callback, "startSearch needs a callback");
    if (_job != Job::None) {
        return false;
    }
    return startWorker(Job::Search, callback);
}

bool ZundleCardSerialManager::startSend(Callback callback) {
    CCASSERT(callback, "startSend needs a callback");
    return startTransfer(callback, false);
}

bool ZundleCardSerialManager::startPlay(Callback callback) {
    CCASSERT(callback, "startPlay needs a callback");
    return startTransfer(callback, true);
}

bool ZundleCardSerialManager::startTransfer(Callback& callback, bool keepListening) {
    // The slot first: during a discovery `devices` belongs to the worker.
    if (_job != Job::None || devices.empty()) {
        return false;
    }
    if (selectedIndex < 0 || selectedIndex >= static_cast<int>(devices.size())) {
        return false;
    }
    // The port may be the one to send to: it must be free before the worker opens it.
    releaseLink();
    _lastListenFailure = TransferFailure();
    _keepListening = keepListening;
    _inbox->begin(++_transfer);
    // Entries and chunks are counted on the main thread only: the references the worker
    // relies on are taken here and given back by the poll after the join.
    _sendEntry = devices.at(static_cast<std::size_t>(selectedIndex));
    _sendEntry->retain();
    _sendChunks = sendQueue;
    _sendResult = false;
    _sendFailure = TransferFailure();
    _lastFailure = TransferFailure();
    _chunksSent.store(0, std::memory_order_relaxed);
    if (!startWorker(Job::Send, callback)) {
        CC_SAFE_RELEASE_NULL(_sendEntry);
        _sendChunks.clear();
        return false;
    }
    return true;
}

bool ZundleCardSerialManager::startWorker(Job job, Callback& callback) {
    std::atomic<bool>& flag = job == Job::Search ? _searching : _sending;
    flag.store(true);
    try {
        _worker = std::thread(job == Job::Search ? &ZundleCardSerialManager::searchWorker
                                                 : &ZundleCardSerialManager::sendWorker,
                              this);
    } catch (const std::system_error&) {
        flag.store(false);
        return false;
    }
    _job = job;
    _onFinished = std::move(callback);
    auto* scheduler = cocos2d::Director::getInstance()->getScheduler();
    if (job == Job::Search) {
        scheduler->schedule([this](float dt) { pollSearch(dt); }, this, kPollInterval, false,
                            "pollSearch");
    } else {
        scheduler->schedule([this](float dt) { pollSend(dt); }, this, kPollInterval, false,
                            "pollSend");
    }
    return true;
}

void ZundleCardSerialManager::searchWorker() {
    devices.clear();
    _discovery.listDevices(devices);
    _searching.store(false);
}

void ZundleCardSerialManager::sendWorker() {
    const auto count = [this](int sent) { _chunksSent.store(sent, std::memory_order_relaxed); };
    // Tagged with this transfer's number: a tool may write long after the next one began.
    const auto heard = [inbox = _inbox, number = _transfer](const char* bytes, std::size_t size) {
        inbox->put(number, bytes, size);
    };
    switch (_sendEntry->kind) {
        case ZundleCardSerialData::kKindSerialPort:
            _sendResult = _sendEntry->sendToSerialPort(_sendChunks, count, &_sendFailure,
                                                       ZundleCardSerialData::LinkSettings(), heard,
                                                       _keepListening ? &_keptPort : nullptr);
            break;
        case ZundleCardSerialData::kKindTool:
            _sendResult = _sendEntry->sendToTool(_sendChunks, count, &_sendFailure,
                                                 ZundleCardSerialData::LinkSettings(), heard);
            break;
        default:
            // Never listed, so there is nothing to tell the user about it.
            _sendResult = false;
            break;
    }
    _sending.store(false);
}

void ZundleCardSerialManager::pollSearch(float /*dt*/) {
    if (_searching.load()) {
        return;
    }
    retireWorker();
    if (selectedIndex < 0 || selectedIndex >= static_cast<int>(devices.size())) {
        selectedIndex = 0;
    }
    finish(true);
}

void ZundleCardSerialManager::pollSend(float /*dt*/) {
    if (_sending.load()) {
        return;
    }
    retireWorker();
    if (_keptPort) {
        _listenedKind = _sendEntry->kind;
        _listenedName = _sendEntry->name;
        startListener();
    }
    CC_SAFE_RELEASE_NULL(_sendEntry);
    _sendChunks.clear();
    _lastFailure = _sendFailure;
    finish(_sendResult);
}

void ZundleCardSerialManager::retireWorker() {
    // The flag is down, so the worker is at its very end and the join returns at once;
    // the join is also what makes the worker's writes visible here.
    if (_worker.joinable()) {
        _worker.join();
    }
    auto* scheduler = cocos2d::Director::getInstance()->getScheduler();
    scheduler->unschedule(_job == Job::Search ? "pollSearch" : "pollSend", this);
    _job = Job::None;
}

void ZundleCardSerialManager::startListener() {
    _letGo.store(false);
    _listening.store(true);
    _listenFailure = TransferFailure();
    _listenFailure.target = _listenedName;
    try {
        _listener = std::thread(&ZundleCardSerialManager::listenWorker, this);
    } catch (const std::system_error&) {
        // No thread to listen with: the port is let go rather than held unread.
        _listening.store(false);
        _keptPort.reset();
        return;
    }
    cocos2d::Director::getInstance()->getScheduler()->schedule(
        [this](float dt) { pollListen(dt); }, this, kPollInterval, false, "pollListen");
}

void ZundleCardSerialManager::listenWorker() {
    ZundleCardSerialData::SerialPortPtr port = std::move(_keptPort);
    const auto heard = [inbox = _inbox, number = _transfer](const char* bytes, std::size_t size) {
        inbox->put(number, bytes, size);
    };
    ZundleCardSerialData::listen(
        *port, heard, [this] { return _letGo.load(); }, _listenFailure);
    // Closed before the flag goes down: whoever sees it down may open the port again.
    port.reset();
    _listening.store(false);
}

void ZundleCardSerialManager::pollListen(float /*dt*/) {
    if (!_listening.load()) {
        const TransferFailure ended = _listenFailure;
        releaseLink();
        _lastListenFailure = ended;
        return;
    }
    // Another entry chosen, or the list changed under the choice: the port is not the
    // user's choice any more. During a discovery the list is the worker's to look at.
    if (_job == Job::Search) {
        return;
    }
    const bool inRange = selectedIndex >= 0 && selectedIndex < static_cast<int>(devices.size());
    const ZundleCardSerialData* chosen =
        inRange ? devices.at(static_cast<std::size_t>(selectedIndex)) : nullptr;
    if (chosen == nullptr || chosen->kind != _listenedKind || chosen->name != _listenedName) {
        releaseLink();
    }
}

void ZundleCardSerialManager::releaseLink() {
    if (!_listener.joinable()) {
        return;
    }
    // The listener looks at the flag after every read, each at most a short slice.
    _letGo.store(true);
    _listener.join();
    _keptPort.reset();
    cocos2d::Director::getInstance()->getScheduler()->unschedule("pollListen", this);
}

void ZundleCardSerialManager::finish(bool result) {
    // Moved out first: the callback may start the next request, which stores its own.
    Callback done = std::move(_onFinished);
    _onFinished = nullptr;
    done(result);
}
