// Where pictures are decoded: on a worker thread of the session, so that a
// photo's decoding and reduction never hold up a frame, or inline, within the
// call that needs the picture (the tool, the tests).
//
// A job is posted from the GUI thread and gets a cancel flag to hand to the
// decoder (PictureLimits::cancel). A worker that defers may hold a job until
// its file is ready somewhere else (the page's browser decodes it first); the
// run then starts without its first picture and shows it when it comes.
//
// The thread worker holds at most two jobs: the one under way and one
// waiting, the latest posted; a job posted while another waits replaces it,
// which is then never run. Its destructor drops the waiting job, sets the flag
// of the one under way, which gives up at its next band of rows, and joins the
// thread: closing waits no longer than that.
#pragma once

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

namespace orvex {

using PictureJob = std::function<void(const std::atomic<bool>& cancel)>;

class PictureWorker {
public:
    virtual ~PictureWorker() = default;
    virtual void post(PictureJob job) = 0;
    // The job decodes this file.
    virtual void post_for(const std::filesystem::path& file, PictureJob job) {
        (void)file;
        post(std::move(job));
    }
    virtual bool defers() const { return false; }
};

class InlinePictureWorker final : public PictureWorker {
public:
    void post(PictureJob job) override { job(never_); }

private:
    std::atomic<bool> never_{false};
};

class ThreadPictureWorker final : public PictureWorker {
public:
    ThreadPictureWorker();
    ThreadPictureWorker(const ThreadPictureWorker&) = delete;
    ThreadPictureWorker& operator=(const ThreadPictureWorker&) = delete;
    ~ThreadPictureWorker() override;
    void post(PictureJob job) override;

    // The most jobs held at once so far, the one under way included.
    int most_held() const;
    // Jobs replaced before they started.
    int replaced() const;

private:
    void run();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    PictureJob waiting_;
    bool busy_ = false;
    bool stopping_ = false;
    int most_held_ = 0;
    int replaced_ = 0;
    std::atomic<bool> cancel_{false};
    std::thread thread_;  // last: starts once the rest is built
};

}  // namespace orvex
