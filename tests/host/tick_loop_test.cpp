#include "host/tick_loop.h"

#include <gtest/gtest.h>

#include <string>

#include "config/settings.h"
#include "seed/simulation.h"

namespace orvex {
namespace {

TEST(TickLoop, SimulationTickStepsBeforeItAsksForAFrame) {
    std::string log;
    TickLoop loop([&] { log += "tick "; }, [&] { log += "invalidate "; });
    loop.on_timer(kSimulationTimerId);
    EXPECT_EQ(log, "tick invalidate ");
    log.clear();
    loop.on_timer(kRedrawTimerId);
    EXPECT_EQ(log, "invalidate ");
    log.clear();
    for (unsigned other : {0u, 1u, 9100u, 9103u}) loop.on_timer(other);
    EXPECT_EQ(log, "");
}

// The frame asked for after a simulation tick already shows that tick's reset.
TEST(TickLoop, FrameAfterATickSeesTheStepAndItsReset) {
    Settings s;
    s.ResetMode = kResetTime;
    s.ResetTimeValue = 10.0;
    std::int64_t now = 1000;
    Simulation simulation(s, {}, [&] { return now; });
    simulation.start();

    std::int64_t generation_when_drawn = -1;
    std::int64_t resets_when_drawn = -1;
    TickLoop loop([&] { simulation.tick(); },
                  [&] {
                      generation_when_drawn = simulation.generation();
                      resets_when_drawn = simulation.resets();
                  });
    loop.on_timer(kSimulationTimerId);
    EXPECT_EQ(generation_when_drawn, 1);
    EXPECT_EQ(resets_when_drawn, 0);

    now += 11;  // past the reset time: this tick's check reseeds
    loop.on_timer(kSimulationTimerId);
    EXPECT_EQ(generation_when_drawn, 0);
    EXPECT_EQ(resets_when_drawn, 1);

    loop.on_timer(kRedrawTimerId);
    EXPECT_EQ(generation_when_drawn, 0);  // a redraw tick never steps
}

// Lighting off: between steps the picture cannot change, so redraw ticks ask
// for frames only until one shows the field as it is. Lighting on: always.
TEST(TickLoop, RedrawTicksAskOnlyForChangedPictures) {
    for (int lighting : {0, 2}) {
        SCOPED_TRACE(lighting);
        Settings s;
        Simulation simulation(s, {}, [] { return std::int64_t{1000}; });
        simulation.start();
        std::uint64_t shown = 0;
        int frames = 0;
        auto paint = [&] { shown = simulation.field().version(), ++frames; };
        TickLoop loop([&] { simulation.tick(); }, paint,
                      [&] { return redraw_tick_needs_frame(lighting, shown, simulation.field().version()); });
        const int per_step = lighting ? 3 : 0;
        loop.on_timer(kRedrawTimerId);  // the first seed is not on screen yet
        EXPECT_EQ(frames, 1);
        for (int k = 0; k < 3; ++k) loop.on_timer(kRedrawTimerId);
        EXPECT_EQ(frames, 1 + per_step);
        loop.on_timer(kSimulationTimerId);
        for (int k = 0; k < 3; ++k) loop.on_timer(kRedrawTimerId);
        EXPECT_EQ(frames, 2 + 2 * per_step);
        simulation.init_field();  // a reseed outside a tick is a change too
        loop.on_timer(kRedrawTimerId);
        EXPECT_EQ(frames, 3 + 2 * per_step);
    }
}

// Each tick goes to all, each keeps its redraw skip, the timers move on when their holder goes.
TEST(TickGroup, EveryMemberTicksAndTheTimersMoveOn) {
    std::string log;
    auto loop = [&](std::string n, bool changed) {
        return TickLoop([&log, n] { log += n + "-step "; }, [&log, n] { log += n + "-frame "; },
                        [=] { return changed; });
    };
    TickLoop a = loop("a", false), b = loop("b", true), c = loop("c", true);
    TickGroup group;
    group.join(a, [&] { log += "timers-a "; });
    group.join(b, [&] { log += "timers-b "; });
    group.join(c, [&] { log += "timers-c "; });
    group.on_timer(kSimulationTimerId);
    group.on_timer(kRedrawTimerId);
    group.leave(b);  // not the holder: the timers stay
    group.leave(a);
    EXPECT_EQ(log, "timers-a a-step a-frame b-step b-frame c-step c-frame b-frame c-frame timers-c ");
}

}  // namespace
}  // namespace orvex
