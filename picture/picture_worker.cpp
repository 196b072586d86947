#include "picture/picture_worker.h"

#include <algorithm>
#include <utility>

namespace orvex {

ThreadPictureWorker::ThreadPictureWorker() : thread_([this] { run(); }) {}

ThreadPictureWorker::~ThreadPictureWorker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        waiting_ = nullptr;
    }
    cancel_.store(true);
    wake_.notify_one();
    thread_.join();
}

void ThreadPictureWorker::post(PictureJob job) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (waiting_) ++replaced_;
        waiting_ = std::move(job);
        most_held_ = std::max(most_held_, busy_ ? 2 : 1);
    }
    wake_.notify_one();
}

int ThreadPictureWorker::most_held() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return most_held_;
}

int ThreadPictureWorker::replaced() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return replaced_;
}

void ThreadPictureWorker::run() {
    for (;;) {
        PictureJob job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            busy_ = false;
            wake_.wait(lock, [this] { return stopping_ || waiting_; });
            if (stopping_) return;
            job = std::move(waiting_);
            waiting_ = nullptr;
            busy_ = true;
        }
        job(cancel_);
    }
}

}  // namespace orvex
