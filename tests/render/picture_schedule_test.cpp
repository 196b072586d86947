// When pictures are decoded and shown, without GL: a decoder slower than the
// seedings, the worker's one waiting job, closing during a decode, and the
// window sizes the pictures are reduced for.
#include "render/picture_schedule.h"

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
struct SlowDecoder {
    std::atomic<bool> busy{false};
    std::optional<RgbImage> operator()(const PictureLimits& limits) {
        busy = true;
        for (int band = 0; band < kBands && !limits.cancelled(); ++band) std::this_thread::sleep_for(kBand);
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
        while (Clock::now() < end) {
            tick();
            std::this_thread::sleep_for(milliseconds(5));
        }
        EXPECT_GT(schedule.late_pictures(), 100);
        EXPECT_EQ(schedule.TextureFlag(), 1);
        while (!decoder->busy) tick();  // until the next one is under way
        std::this_thread::sleep_for(milliseconds(10));
    }
    ASSERT_GE(shown.size(), 5u);
    for (std::size_t k = 0; k < shown.size(); ++k) EXPECT_EQ(shown[k], names[(k + 1) % names.size()]);
    for (std::size_t k = 1; k < shown_at.size(); ++k) EXPECT_LE(shown_at[k] - shown_at[k - 1], 2 * kBands * kBand);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_LE(worker->most_held(), 2);

    const Clock::time_point closing = Clock::now();
    worker.reset();
    EXPECT_LT(Clock::now() - closing, kBand + milliseconds(30));
    EXPECT_FALSE(decoder->busy);

    // Jobs posted while one runs: each replaces the one waiting, only the last runs.
    std::vector<int> ran;
    std::mutex ran_mutex;
    worker = std::make_shared<ThreadPictureWorker>();
    for (int job = 0; job < 4; ++job) {
        worker->post([&, job](const std::atomic<bool>&) {
            std::this_thread::sleep_for(kBand);
            std::lock_guard<std::mutex> lock(ran_mutex);
            ran.push_back(job);
        });
        if (job == 0) std::this_thread::sleep_for(kBand / 4);  // under way before the others come
    }
    std::this_thread::sleep_for(3 * kBand);
    EXPECT_EQ(worker->most_held(), 2);
    EXPECT_EQ(worker->replaced(), 2);
    worker.reset();
    EXPECT_EQ(ran, (std::vector<int>{0, 3}));
}

}  // namespace
}  // namespace orvex
