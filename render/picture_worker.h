// Where pictures are decoded: on a worker thread of the session, so that a
// photo's decoding and reduction never hold up a frame, or inline, within the
// call that needs the picture (the tool, the tests).
//
// A job is posted from the GUI thread and runs once, in posting order. The
// thread worker's destructor lets the running job finish, drops the ones not
// started, and joins the thread.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace orvex {

class PictureWorker {
public:
    virtual ~PictureWorker() = default;
    virtual void post(std::function<void()> job) = 0;
};

class InlinePictureWorker final : public PictureWorker {
public:
    void post(std::function<void()> job) override { job(); }
};

class ThreadPictureWorker final : public PictureWorker {
public:
    ThreadPictureWorker();
    ThreadPictureWorker(const ThreadPictureWorker&) = delete;
    ThreadPictureWorker& operator=(const ThreadPictureWorker&) = delete;
    ~ThreadPictureWorker() override;
    void post(std::function<void()> job) override;

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::thread thread_;  // last: starts once the rest is built
};

}  // namespace orvex
