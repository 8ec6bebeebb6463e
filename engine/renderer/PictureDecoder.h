// Decodes picture files on one thread of its own, in the order asked: a scene being built
// goes on while its pictures decode. Whoever needs a picture first takes it, decoding it
// itself if the thread has not started on it yet, so that both share the work.
// Depends on the backend's decoder alone; its results are plain values.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "base/Macros.h"
#include "platform/Backend.h"

NS_CC_BEGIN

class PictureDecoder {
public:
    struct Result {
        bool decoded = false;
        backend::Bitmap bitmap;
        std::string error;  // why not, when not decoded
    };
    struct Job;

    PictureDecoder() = default;
    // Decodes what is still asked for before it ends, so that no one waits in vain.
    ~PictureDecoder();
    PictureDecoder(const PictureDecoder&) = delete;
    PictureDecoder& operator=(const PictureDecoder&) = delete;

    // Starts decoding the file; take() hands over the pixels.
    std::shared_ptr<Job> decode(const std::string& fullPath);
    // The job's result, once: waits while the thread decodes it, decodes it here if the
    // thread has not begun.
    Result take(const std::shared_ptr<Job>& job);

private:
    void work();

    std::mutex _mutex;
    std::condition_variable _wake;  // the thread: a job, or the end
    std::condition_variable _done;  // takers: a job decoded
    std::deque<std::shared_ptr<Job>> _queue;
    bool _ending = false;
    std::thread _thread;  // started with the first picture
};

NS_CC_END
