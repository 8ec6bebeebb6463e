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
    // The slot first: during a discovery `devices` belongs to the worker.
    if (_job != Job::None || devices.empty()) {
        return false;
    }
    if (selectedIndex < 0 || selectedIndex >= static_cast<int>(devices.size())) {
        return false;
    }
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
    switch (_sendEntry->kind) {
        case ZundleCardSerialData::kKindSerialPort:
            _sendResult = _sendEntry->sendToSerialPort(_sendChunks, count, &_sendFailure);
            break;
        case ZundleCardSerialData::kKindTool:
            _sendResult = _sendEntry->sendToTool(_sendChunks, count, &_sendFailure);
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
    cocos2d::Director::getInstance()->getScheduler()->unscheduleAllForTarget(this);
    _job = Job::None;
}

void ZundleCardSerialManager::finish(bool result) {
    // Moved out first: the callback may start the next request, which stores its own.
    Callback done = std::move(_onFinished);
    _onFinished = nullptr;
    done(result);
}
