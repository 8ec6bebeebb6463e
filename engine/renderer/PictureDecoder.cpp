#include "renderer/PictureDecoder.h"

#include <algorithm>
#include <utility>

NS_CC_BEGIN

struct PictureDecoder::Job {
    enum class State { Queued, Decoding, Done };
    std::string path;
    State state = State::Queued;
    Result result;
};

namespace {

PictureDecoder::Result decodeFile(const std::string& path) {
    PictureDecoder::Result result;
    result.decoded = backend::decodeImageFile(path, result.bitmap, result.error);
    return result;
}

}  // namespace

PictureDecoder::~PictureDecoder() {
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _ending = true;
    }
    _wake.notify_one();
    if (_thread.joinable()) {
        _thread.join();
    }
}

std::shared_ptr<PictureDecoder::Job> PictureDecoder::decode(const std::string& fullPath) {
    auto job = std::make_shared<Job>();
    job->path = fullPath;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _queue.push_back(job);
        if (!_thread.joinable()) {
            _thread = std::thread([this]() { work(); });
        }
    }
    _wake.notify_one();
    return job;
}

PictureDecoder::Result PictureDecoder::take(const std::shared_ptr<Job>& job) {
    std::unique_lock<std::mutex> lock(_mutex);
    if (job->state == Job::State::Queued) {
        _queue.erase(std::find(_queue.begin(), _queue.end(), job));
        job->state = Job::State::Decoding;
        lock.unlock();
        return decodeFile(job->path);
    }
    _done.wait(lock, [&job]() { return job->state == Job::State::Done; });
    return std::move(job->result);
}

void PictureDecoder::work() {
    std::unique_lock<std::mutex> lock(_mutex);
    for (;;) {
        _wake.wait(lock, [this]() { return _ending || !_queue.empty(); });
        if (_queue.empty()) {
            return;  // ending, and nothing left to decode
        }
        std::shared_ptr<Job> job = std::move(_queue.front());
        _queue.pop_front();
        job->state = Job::State::Decoding;
        lock.unlock();
        Result result = decodeFile(job->path);
        lock.lock();
        job->result = std::move(result);
        job->state = Job::State::Done;
        _done.notify_all();
    }
}

NS_CC_END
