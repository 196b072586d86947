// The session as the hosts drive it, drawn headless through OSMesa.
#include "saver/saver_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <set>
#include <thread>
#include <vector>

#include "tests/support/gl_test_support.h"

namespace orvex {
namespace {

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

RgbImage plain_picture() {
    RgbImage img;
    img.width = img.height = 4;
    img.pixels.assign(4 * 4 * 3, 200);
    return img;
}

// Pictures on and cycling, reset by time every 10 s, a 640-pixel window.
SaverStart cycling_start(const std::filesystem::path& pictures) {
    SaverStart start;
    start.settings.DrawStyle = kStyleQuads;
    start.settings.TextureFlag = start.settings.Texture_Renew = 1;
    start.settings.ResetMode = kResetTime;
    start.settings.ResetTimeValue = 10.0;
    start.settings.picture_name = "p0.bmp";
    start.pictures_folder = pictures;
    return start;
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

// Five good pictures and a damaged one, cycling, a reset on every tick. The
// host shows messages after each tick through the gate; the box's own loop
// delivers more ticks, and the clock tries to run a tick inside a tick. One
// message for the whole run, shown with pictures already off, one box at a
// time, and no tick ever runs inside another.
TEST(SaverSession, DamagedPictureGivesOneMessageAndNoNestedTicks) {
    TempFolder folder("session_damaged");
    std::vector<std::string> names;
    for (int k = 0; k < 6; ++k) {
        names.push_back("p" + std::to_string(k) + ".bmp");
        if (k == 3)
            std::ofstream(folder.path / names.back()) << "BM damaged";
        else
            test::write_bmp(folder.path / names.back(), plain_picture());
    }
    OsMesaSurface surface(640, 480);
    SaverSession* running = nullptr;
    std::int64_t now = 1000;
    int depth = 0, deepest = 0, tried_inside = 0;
    bool trying = false;
    SessionServices services;
    services.clock = [&] {
        if (running && depth > 0 && !trying) {  // read inside a tick: try to run another
            trying = true;
            const std::int64_t generation = running->simulation().generation();
            EXPECT_FALSE(running->tick());
            EXPECT_EQ(running->simulation().generation(), generation);
            ++tried_inside;
            trying = false;
        }
        return now;
    };
    services.pictures_lister = [&] { return names; };
    auto shared = std::make_shared<SaverSession>(cycling_start(folder.path), std::move(services));
    SaverSession& session = *shared;
    session.init(640, 480);

    int boxes_open = 0, most_boxes = 0;
    std::function<void()> on_timer;
    MessageGate gate([&](const SessionMessage& m) {
        EXPECT_EQ(m.caption, "Error");
        EXPECT_EQ(session.pictures().TextureFlag(), 0);
        most_boxes = std::max(most_boxes, ++boxes_open);
        for (int k = 0; k < 20; ++k) on_timer();  // the box's own message loop
        --boxes_open;
    });
    on_timer = [&] {
        now += 11;
        ++depth;
        deepest = std::max(deepest, depth);
        session.tick();
        --depth;
        session.draw();
        gate.show_pending(shared);
    };
    running = &session;
    for (int k = 0; k < 60; ++k) on_timer();

    EXPECT_EQ(gate.shown(), 1);
    EXPECT_EQ(most_boxes, 1);
    EXPECT_EQ(deepest, 1);
    EXPECT_GT(tried_inside, 0);
    EXPECT_EQ(session.nested_ticks(), tried_inside);
    EXPECT_EQ(session.simulation().resets(), 80);
    running = nullptr;
}

// The close of the saver can come through a box's own message loop: the
// window that owns the session and the gate is destroyed under the box, as
// the host does it (gate closed, session released, both let go). The box
// returns into live objects and nothing more is shown; the session goes once
// the box is done. Under ASan a gate or session freed under the box fails here.
struct HostWindow {
    std::shared_ptr<SaverSession> session;
    MessageGate gate;
};
// What the box double sees; it captures nothing, as the host's box does not.
HostWindow* g_window = nullptr;
std::weak_ptr<SaverSession> g_session;
int g_boxes = 0;
bool g_alive_under_box = false;

TEST(SaverSession, WindowDestroyedUnderItsMessageBox) {
    TempFolder folder("session_closed_under_box");
    std::ofstream(folder.path / "p0.bmp") << "BM damaged";
    OsMesaSurface surface(640, 480);
    g_window = new HostWindow{std::make_shared<SaverSession>(cycling_start(folder.path)),
                              MessageGate([](const SessionMessage&) {
                                  ++g_boxes;
                                  g_window->gate.close();
                                  g_window->session->release();
                                  delete g_window;
                                  g_alive_under_box = !g_session.expired();
                              })};
    g_session = g_window->session;
    g_window->session->init(640, 480);
    ASSERT_TRUE(g_window->session->has_message());
    g_window->gate.show_pending(g_window->session);
    EXPECT_EQ(g_boxes, 1);
    EXPECT_TRUE(g_alive_under_box);
    EXPECT_TRUE(g_session.expired());
}

// A worker that runs its jobs only when told: a reseed whose picture isn't
// decoded keeps the previous texture, ticks go on, and the first tick after
// the decoding uploads it and asks for the next one.
struct HeldWorker final : PictureWorker {
    std::vector<std::function<void()>> jobs;
    void post(std::function<void()> job) override { jobs.push_back(std::move(job)); }
    void run() {
        auto now = std::move(jobs);
        jobs.clear();
        for (auto& job : now) job();
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
    session.init(640, 480);  // the first picture at once; its first reseed waits
    const unsigned texture = session.pictures().texture();
    ASSERT_NE(texture, 0u);
    EXPECT_TRUE(session.pictures().waiting());
    worker->run();
    session.tick();
    EXPECT_FALSE(session.pictures().waiting());
    ASSERT_EQ(worker->jobs.size(), 1u);  // p1 asked for as soon as p0 shows

    now += 11;
    EXPECT_TRUE(session.tick());
    EXPECT_EQ(session.pictures().picture_name(), "p1.bmp");
    EXPECT_TRUE(session.pictures().waiting());
    session.tick();
    EXPECT_TRUE(session.pictures().waiting());
    EXPECT_EQ(session.pictures().TextureFlag(), 1);
    EXPECT_EQ(session.pictures().texture(), texture);
    worker->run();
    session.tick();
    EXPECT_FALSE(session.pictures().waiting());
    EXPECT_EQ(session.pictures().late_pictures(), 2);
    EXPECT_FALSE(session.has_message());
}

// The real thread: every reseed's picture arrives, a damaged one gives its
// message once, and the session goes on without pictures.
TEST(SaverSession, PicturesDecodedOnTheWorkerThread) {
    TempFolder folder("session_thread");
    const std::vector<std::string> names = {"p0.bmp", "p1.bmp", "p2.bmp", "p3.bmp"};
    for (const auto& name : names) test::write_bmp(folder.path / name, plain_picture());
    std::ofstream(folder.path / "p3.bmp", std::ios::trunc) << "BM damaged";
    OsMesaSurface surface(640, 480);
    std::int64_t now = 1000;
    SessionServices services;
    services.clock = [&] { return now; };
    services.pictures_lister = [&] { return names; };
    services.picture_worker = std::make_shared<ThreadPictureWorker>();
    SaverSession session(cycling_start(folder.path), std::move(services));
    session.init(640, 480);
    std::vector<std::string> shown;
    for (int reseed = 0; reseed < 4 && session.pictures().TextureFlag() == 1; ++reseed) {
        now += 11;
        session.tick();
        for (int k = 0; k < 500 && session.pictures().waiting(); ++k) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            session.tick();
        }
        ASSERT_FALSE(session.pictures().waiting());
        shown.push_back(session.pictures().picture_name());
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"p1.bmp", "p2.bmp", "p3.bmp"}));
    EXPECT_EQ(session.pictures().TextureFlag(), 0);
    const auto m = session.take_message();
    ASSERT_TRUE(m);
    EXPECT_EQ(m->text, "p3.bmp: Unknown DIB file format.");
    EXPECT_FALSE(session.has_message());
}

}  // namespace
}  // namespace orvex
