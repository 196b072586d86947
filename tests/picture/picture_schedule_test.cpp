// When pictures are decoded and shown, without GL: a decoder slower than the
// seedings, the worker's one waiting job, closing during a decode, and the
// window sizes the pictures are reduced for.
#include "picture/picture_schedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace orvex {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kBand(40);  // one band of rows of the slow decoder
constexpr int kBands = 5;          // one picture: 200 ms

// A decoder that takes kBands bands per picture and looks at its cancel flag
// between them, as the real ones do.
// A loaded machine oversleeps, so the decoder keeps the longest picture and
// band it really took, and the time bounds below are in those.
struct SlowDecoder {
    std::atomic<bool> busy{false};
    std::atomic<Clock::rep> longest_picture{0}, longest_band{0};
    static void keep_longest(std::atomic<Clock::rep>& longest, Clock::duration took) {
        Clock::rep seen = longest;
        while (took.count() > seen && !longest.compare_exchange_weak(seen, took.count())) {
        }
    }
    std::optional<RgbImage> operator()(const PictureLimits& limits) {
        busy = true;
        const Clock::time_point start = Clock::now();
        for (int band = 0; band < kBands && !limits.cancelled(); ++band) {
            const Clock::time_point band_start = Clock::now();
            std::this_thread::sleep_for(kBand);
            keep_longest(longest_band, Clock::now() - band_start);
        }
        keep_longest(longest_picture, Clock::now() - start);
        busy = false;
        if (limits.cancelled()) return std::nullopt;
        RgbImage image;
        image.width = image.height = 1;
        image.pixels = {1, 2, 3};
        return image;
    }
};

Settings cycling() {
    Settings s;
    s.TextureFlag = 1;
    s.Texture_Renew = 1;
    s.picture_name = "p0.bmp";
    return s;
}

// Seedings every 5 ms for 1.6 s against 200 ms decodes: every picture of the
// cycle is shown in turn, a new one at least every two decode times, the
// worker never holds more than two jobs, and closing during a decode returns
// within about one band. A minimised window keeps the size before it.
TEST(PictureSchedule, FastSeedingsSkipPicturesAndClosingAbandonsTheDecode) {
    const std::vector<std::string> names = {"p0.bmp", "p1.bmp", "p2.bmp", "p3.bmp"};
    auto decoder = std::make_shared<SlowDecoder>();
    auto worker = std::make_shared<ThreadPictureWorker>();
    RecordingMessageSink messages;
    std::vector<std::string> shown;
    std::vector<Clock::time_point> shown_at;
    {
        PictureSchedule schedule(
            cycling(), "pictures", messages, [](const RgbImage&) { return true; }, [&] { return names; }, worker, 0,
            [decoder](const std::filesystem::path&, MessageSink&, const PictureLimits& limits) {
                return (*decoder)(limits);
            });
        schedule.set_window_size(800, 600);
        schedule.set_window_size(0, 0);
        EXPECT_EQ(schedule.limits().max_side, 1024);
        schedule.load_first_picture();
        schedule.list_pictures();
        const Clock::time_point end = Clock::now() + milliseconds(1600);
        int seen = schedule.shown_pictures();
        auto tick = [&] {
            schedule.upload_ready();
            if (schedule.shown_pictures() != seen) {
                seen = schedule.shown_pictures();
                shown.push_back(schedule.picture_name());
                shown_at.push_back(Clock::now());
            }
            schedule.picture_step();
        };
        int ticks = 0;
        while (Clock::now() < end) {
            tick();
            ++ticks;
            std::this_thread::sleep_for(milliseconds(5));
        }
        EXPECT_GT(schedule.late_pictures(), ticks / 2);
        EXPECT_EQ(schedule.TextureFlag(), 1);
        while (!decoder->busy) tick();  // until the next one is under way
        std::this_thread::sleep_for(milliseconds(10));
    }
    ASSERT_GE(shown.size(), 5u);
    for (std::size_t k = 0; k < shown.size(); ++k) EXPECT_EQ(shown[k], names[(k + 1) % names.size()]);
    const Clock::duration decode_time(decoder->longest_picture.load());
    for (std::size_t k = 1; k < shown_at.size(); ++k) EXPECT_LE(shown_at[k] - shown_at[k - 1], 2 * decode_time);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_LE(worker->most_held(), 2);

    const Clock::time_point closing = Clock::now();
    worker.reset();
    EXPECT_LT(Clock::now() - closing, Clock::duration(decoder->longest_band.load()) + milliseconds(30));
    EXPECT_FALSE(decoder->busy);

    // Jobs posted while one runs: each replaces the one waiting, only the last runs.
    std::vector<int> ran;
    std::mutex ran_mutex;
    std::atomic<bool> first_under_way{false};
    worker = std::make_shared<ThreadPictureWorker>();
    for (int job = 0; job < 4; ++job) {
        worker->post([&, job](const std::atomic<bool>&) {
            first_under_way = true;
            std::this_thread::sleep_for(kBand);
            std::lock_guard<std::mutex> lock(ran_mutex);
            ran.push_back(job);
        });
        while (job == 0 && !first_under_way) std::this_thread::yield();  // under way before the others come
    }
    for (int wait = 0; wait < 500; ++wait) {  // the last one done, 5 s at most
        {
            std::lock_guard<std::mutex> lock(ran_mutex);
            if (ran.size() == 2) break;
        }
        std::this_thread::sleep_for(milliseconds(10));
    }
    EXPECT_EQ(worker->most_held(), 2);
    EXPECT_EQ(worker->replaced(), 2);
    worker.reset();
    EXPECT_EQ(ran, (std::vector<int>{0, 3}));
}

}  // namespace
}  // namespace orvex

namespace orvex {
namespace {

// A worker that holds each job until its file is "ready", as the page's does.
struct DeferringWorker final : PictureWorker {
    std::filesystem::path file;
    PictureJob job;
    std::atomic<bool> never{false};
    void post(PictureJob j) override { post_for({}, std::move(j)); }
    void post_for(const std::filesystem::path& f, PictureJob j) override {
        file = f;
        job = std::move(j);
    }
    bool defers() const override { return true; }
    void ready() {
        PictureJob j = std::move(job);
        job = nullptr;
        if (j) j(never);
    }
};

// The first picture is asked for, not decoded, at the start; the run goes on
// without it, the first seeding lands on it, and once it is shown the next of
// the cycle is asked for: the cycle is that of an inline decoder. A renderer
// built anew asks for the picture on show again; one that fails turns
// pictures off with its message.
TEST(PictureSchedule, ADeferringWorkerKeepsTheCycleOfTheInlineOne) {
    const std::vector<std::string> names = {"p0.bmp", "p1.bmp", "p2.bmp"};
    auto worker = std::make_shared<DeferringWorker>();
    RecordingMessageSink messages;
    std::vector<std::string> uploaded;
    bool fail = false;
    PictureSchedule schedule(
        cycling(), "pictures", messages, [&](const RgbImage&) { return true; }, [&] { return names; }, worker, 0,
        [&](const std::filesystem::path& file, MessageSink& sink, const PictureLimits&) -> std::optional<RgbImage> {
            if (fail) {
                sink.show("Error", file.filename().string() + ": damaged");
                return std::nullopt;
            }
            uploaded.push_back(file.filename().string());
            return RgbImage{1, 1, {1, 2, 3}};
        });
    schedule.load_first_picture();
    schedule.list_pictures();
    EXPECT_EQ(worker->file.filename(), "p0.bmp");
    EXPECT_TRUE(schedule.waiting());
    schedule.picture_step();  // the first seeding, before the picture came
    EXPECT_EQ(schedule.late_pictures(), 0);
    worker->ready();
    schedule.upload_ready();
    EXPECT_EQ(schedule.shown_pictures(), 1);
    EXPECT_EQ(worker->file.filename(), "p1.bmp");  // asked for at once
    worker->ready();
    schedule.picture_step();
    EXPECT_EQ(schedule.picture_name(), "p1.bmp");
    EXPECT_EQ(schedule.shown_pictures(), 2);
    EXPECT_EQ(worker->file.filename(), "p2.bmp");

    schedule.reload();  // a new renderer: the picture on show again, in place of the next
    EXPECT_EQ(worker->file.filename(), "p1.bmp");
    fail = true;
    worker->ready();
    schedule.upload_ready();
    EXPECT_EQ(schedule.TextureFlag(), 0);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "p1.bmp: damaged");
    EXPECT_EQ(uploaded, (std::vector<std::string>{"p0.bmp", "p1.bmp"}));
}

}  // namespace
}  // namespace orvex
