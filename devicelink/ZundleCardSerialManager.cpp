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
    if (_job != Job::None || !startWorker(Job::Search)) {
        return false;
    }
    _onSearched = std::move(callback);
    return true;
}

bool ZundleCardSerialManager::startSend(TransferPlan plan, TransferDone done) {
    CCASSERT(done, "startSend needs a callback");
    return startTransfer(plan, done, false);
}

bool ZundleCardSerialManager::startPlay(TransferPlan plan, TransferDone done) {
    CCASSERT(done, "startPlay needs a callback");
    return startTransfer(plan, done, true);
}

std::optional<TargetKind> ZundleCardSerialManager::chosenKind() const {
    if (_job == Job::Search || selectedIndex < 0 ||
        selectedIndex >= static_cast<int>(devices.size())) {
        return std::nullopt;
    }
    return devices.at(static_cast<std::size_t>(selectedIndex))->kind;
}

bool ZundleCardSerialManager::startTransfer(TransferPlan& plan, TransferDone& done,
                                            bool keepListening) {
    // The slot first: during a discovery `devices` belongs to the worker.
    if (_job != Job::None || !chosenKind()) {
        return false;
    }
    CCASSERT(plan.target == *chosenKind(), "a plan is made for the entry it is sent to");
    // The port may be the one to send to: it must be free before the worker opens it.
    releaseLink();
    _lastListenFailure = TransferFailure();
    _keepListening = keepListening;
    _inbox->begin(++_transfer);
    // Entries are counted on the main thread only: the reference the worker relies on is
    // taken here and given back by the poll after the join.
    _sendEntry = devices.at(static_cast<std::size_t>(selectedIndex));
    _sendEntry->retain();
    _plan = std::move(plan);
    _sendResult = TransferResult();
    _chunksSent.store(0, std::memory_order_relaxed);
    if (!startWorker(Job::Send)) {
        CC_SAFE_RELEASE_NULL(_sendEntry);
        _plan = TransferPlan();
        return false;
    }
    _onSent = std::move(done);
    return true;
}

bool ZundleCardSerialManager::startWorker(Job job) {
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
    TransferResult& result = _sendResult;
    switch (_sendEntry->kind) {
        case TargetKind::SerialPort:
            result.whole = _sendEntry->sendToSerialPort(_plan.chunks, count, &result.failure,
                                                        ZundleCardSerialData::LinkSettings(), heard,
                                                        _keepListening ? &_keptPort : nullptr);
            break;
        case TargetKind::Tool:
            result.whole = _sendEntry->sendToTool(_plan.chunks, count, &result.failure,
                                                  ZundleCardSerialData::LinkSettings(), heard);
            break;
        case TargetKind::Count:
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
    // Moved out first: the callback may start the next request, which stores its own.
    const Callback done = std::move(_onSearched);
    _onSearched = nullptr;
    done(true);
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
    _plan = TransferPlan();
    const TransferResult result = std::move(_sendResult);
    const TransferDone done = std::move(_onSent);
    _onSent = nullptr;
    done(result);
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
