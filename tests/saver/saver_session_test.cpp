// The session as the hosts drive it, drawn headless through OSMesa.
#include "saver/saver_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <set>
#include <thread>
#include <vector>

#include "tests/support/gl_test_support.h"
#include "tests/support/session_starts.h"

namespace orvex {
namespace {

using test::cycling_start;
using test::plain_picture;
using test::TempFolder;

TEST(SaverSession, SimulationIntervalIsIntegerDivisionOf750) {
    EXPECT_EQ(simulation_interval_ms(1), 750u);
    EXPECT_EQ(simulation_interval_ms(2), 375u);
    EXPECT_EQ(simulation_interval_ms(3), 250u);
    EXPECT_EQ(simulation_interval_ms(4), 187u);
    EXPECT_EQ(simulation_interval_ms(7), 107u);
    EXPECT_EQ(simulation_interval_ms(20), 37u);
    EXPECT_EQ(simulation_interval_ms(25), 30u);
    // Never a division by zero, never a zero-length timer.
    EXPECT_EQ(simulation_interval_ms(0), 750u);
    EXPECT_EQ(simulation_interval_ms(-3), 750u);
}

// Every reseed brings the next listed picture; the frame shows the field.
TEST(SaverSession, ReseedMovesToTheNextPicture) {
    TempFolder folder("session_cycle");
    const std::vector<std::string> names = {"p0.bmp", "p1.bmp", "p2.bmp"};
    for (const auto& name : names) test::write_bmp(folder.path / name, plain_picture());
    OsMesaSurface surface(640, 480);
    std::int64_t now = 1000;
    SessionServices services;
    services.clock = [&] { return now; };
    services.pictures_lister = [&] { return names; };
    SaverSession session(cycling_start(folder.path), std::move(services));
    EXPECT_FALSE(session.tick());  // nothing runs before init
    session.init(640, 480);
    EXPECT_EQ(session.pictures().picture_name(), "p0.bmp");
    EXPECT_EQ(session.simulation_interval_ms(), 750u);
    for (const char* expected : {"p1.bmp", "p2.bmp", "p0.bmp"}) {
        now += 11;
        EXPECT_TRUE(session.tick());
        EXPECT_EQ(session.pictures().picture_name(), expected);
    }
    EXPECT_FALSE(session.tick());
    session.draw();
    surface.finish();
    EXPECT_GT(test::lit_pixels(surface).count, 0);
    EXPECT_FALSE(session.has_message());
    session.release();
    EXPECT_FALSE(session.tick());
}

// Savers of four monitors started in the same second: the first seeds as one
// alone (-1) does, the others draw fields of their own, and start at the next pictures.
TEST(SaverSession, EachMonitorHasItsOwnSeedAndFirstPicture) {
    TempFolder folder("session_monitors");
    const std::vector<std::string> names = {"p0.bmp", "p1.bmp", "p2.bmp"};
    for (const auto& name : names) test::write_bmp(folder.path / name, plain_picture());
    OsMesaSurface surface(640, 480);
    std::vector<std::string> fields;
    for (int monitor : {-1, 0, 1, 2, 3}) {
        SessionServices services;
        services.clock = [] { return std::int64_t{5000}; };
        services.pictures_lister = [&] { return names; };
        if (monitor >= 0) set_monitor_random(services, monitor);
        SaverSession session(cycling_start(folder.path), std::move(services));  // Random_Points
        session.init(640, 480);
        fields.emplace_back();
        for (int k = 0; k < 100 * 100; ++k)
            fields.back() += session.simulation().field().cell(k / 100, k % 100) ? '*' : '.';
        EXPECT_EQ(session.pictures().picture_name(), names[std::max(monitor, 0) % 3]);
    }
    EXPECT_EQ(fields[1], fields[0]);
    EXPECT_EQ(std::set<std::string>(fields.begin() + 1, fields.end()).size(), 4u);
}

// A worker that runs its jobs only when told: the first seeding keeps the
// picture already shown without decoding it again; a reseed whose picture
// isn't decoded keeps the previous texture, and so do the reseeds that come
// before it is, without moving the cycle on or asking for more; the first
// tick after the decoding uploads it and asks for the next one.
struct HeldWorker final : PictureWorker {
    std::vector<PictureJob> jobs;
    std::atomic<bool> cancel{false};
    void post(PictureJob job) override { jobs.push_back(std::move(job)); }
    void run() {
        auto now = std::move(jobs);
        jobs.clear();
        for (auto& job : now) job(cancel);
    }
};

TEST(SaverSession, PictureNotDecodedAtItsReseedKeepsThePreviousOne) {
    TempFolder folder("session_late");
    const std::vector<std::string> names = {"p0.bmp", "p1.bmp"};
    for (const auto& name : names) test::write_bmp(folder.path / name, plain_picture());
    OsMesaSurface surface(640, 480);
    std::int64_t now = 1000;
    auto worker = std::make_shared<HeldWorker>();
    SessionServices services;
    services.clock = [&] { return now; };
    services.pictures_lister = [&] { return names; };
    services.picture_worker = worker;
    SaverSession session(cycling_start(folder.path), std::move(services));
    session.init(640, 480);  // the first picture at once, and its first seeding with it
    const unsigned texture = session.pictures().texture();
    ASSERT_NE(texture, 0u);
    EXPECT_FALSE(session.pictures().waiting());
    ASSERT_EQ(worker->jobs.size(), 1u);  // p1 asked for; p0 decoded once

    for (int reseed = 0; reseed < 2; ++reseed) {
        now += 11;
        EXPECT_TRUE(session.tick());
        EXPECT_EQ(session.pictures().picture_name(), "p1.bmp");
        EXPECT_TRUE(session.pictures().waiting());
    }
    EXPECT_EQ(worker->jobs.size(), 1u);
    EXPECT_EQ(session.pictures().TextureFlag(), 1);
    EXPECT_EQ(session.pictures().texture(), texture);
    worker->run();
    session.tick();
    EXPECT_FALSE(session.pictures().waiting());
    EXPECT_EQ(session.pictures().late_pictures(), 2);
    EXPECT_EQ(session.pictures().schedule().shown_pictures(), 2);
    EXPECT_EQ(worker->jobs.size(), 1u);  // p0 again, for the next reseed
    EXPECT_FALSE(session.has_message());
}

// A renderer that draws nothing and counts the pictures it is given.
class PictureCountingRenderer final : public FrameRenderer {
public:
    explicit PictureCountingRenderer(int& pictures) : pictures_(pictures) {}
    bool setup() override { return true; }
    void resize(int, int) override {}
    void draw_frame(const Automaton&) override {}
    bool load_picture(const RgbImage& image) override {
        ++pictures_;
        return image.width > 0;
    }
    int max_texture_size() const override { return 4096; }
    void draw_text(int, int, int, const char*) override {}
    void release() override {}
    const MovingLights& lights() const override { return lights_; }

private:
    int& pictures_;
    MovingLights lights_{nullptr, nullptr};
};

// The real thread, for the OpenGL 1.1 texture and for a renderer that takes
// decoded pictures alike: every reseed's picture arrives, a damaged one gives
// its message once, and the session goes on without pictures.
TEST(SaverSession, PicturesDecodedOnTheWorkerThread) {
    TempFolder folder("session_thread");
    const std::vector<std::string> names = {"p0.bmp", "p1.bmp", "p2.bmp", "p3.bmp"};
    for (const auto& name : names) test::write_bmp(folder.path / name, plain_picture());
    std::ofstream(folder.path / "p3.bmp", std::ios::trunc) << "BM damaged";
    OsMesaSurface surface(640, 480);
    for (bool own_renderer : {false, true}) {
        SCOPED_TRACE(own_renderer ? "renderer taking decoded pictures" : "OpenGL 1.1");
        std::int64_t now = 1000;
        int given = 0;
        SessionServices services;
        services.clock = [&] { return now; };
        services.pictures_lister = [&] { return names; };
        services.picture_worker = std::make_shared<ThreadPictureWorker>();
        if (own_renderer)
            services.renderer = [&](const Settings&, CalendarClock, std::unique_ptr<RandomSource>, MessageSink&,
                                    GlyphSource*) { return std::make_unique<PictureCountingRenderer>(given); };
        SaverSession session(cycling_start(folder.path), std::move(services));
        session.init(640, 480);
        const PictureSchedule& pictures = session.picture_schedule();
        std::vector<std::string> shown;
        for (int reseed = 0; reseed < 4 && pictures.TextureFlag() == 1; ++reseed) {
            now += 11;
            session.tick();
            for (int k = 0; k < 500 && pictures.waiting(); ++k) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                session.tick();
            }
            ASSERT_FALSE(pictures.waiting());
            shown.push_back(pictures.picture_name());
        }
        EXPECT_EQ(shown, (std::vector<std::string>{"p1.bmp", "p2.bmp", "p3.bmp"}));
        EXPECT_EQ(pictures.TextureFlag(), 0);
        EXPECT_EQ(pictures.shown_pictures(), 3);
        EXPECT_EQ(given, own_renderer ? 3 : 0);  // p0 at the start, p1, p2
        const auto m = session.take_message();
        ASSERT_TRUE(m);
        EXPECT_EQ(m->text, "p3.bmp: Unknown DIB file format.");
        EXPECT_FALSE(session.has_message());
    }
}

}  // namespace
}  // namespace orvex
