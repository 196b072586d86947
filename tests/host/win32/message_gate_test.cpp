// The Windows host's gate for the session's message boxes, with sessions drawn
// headless through OSMesa.
#include "host/win32/message_gate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/gl_test_support.h"
#include "tests/support/session_starts.h"

namespace orvex {
namespace {

using test::cycling_start;
using test::plain_picture;
using test::TempFolder;

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

}  // namespace
}  // namespace orvex
