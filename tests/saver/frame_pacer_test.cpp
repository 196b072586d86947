#include "saver/frame_pacer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "config/settings.h"
#include "seed/simulation.h"

namespace orvex {
namespace {

TEST(FramePacer, SimulationTickStepsBeforeItAsksForAFrame) {
    std::string log;
    FramePacer loop([&] { log += "tick "; }, [&] { log += "invalidate "; });
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
TEST(FramePacer, FrameAfterATickSeesTheStepAndItsReset) {
    Settings s;
    s.ResetMode = kResetTime;
    s.ResetTimeValue = 10.0;
    std::int64_t now = 1000;
    Simulation simulation(s, {}, [&] { return now; });
    simulation.start();

    std::int64_t generation_when_drawn = -1;
    std::int64_t resets_when_drawn = -1;
    FramePacer loop([&] { simulation.tick(); },
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
TEST(FramePacer, RedrawTicksAskOnlyForChangedPictures) {
    for (int lighting : {0, 2}) {
        SCOPED_TRACE(lighting);
        Settings s;
        Simulation simulation(s, {}, [] { return std::int64_t{1000}; });
        simulation.start();
        std::uint64_t shown = 0;
        int frames = 0;
        auto paint = [&] { shown = simulation.field().version(), ++frames; };
        FramePacer loop([&] { simulation.tick(); }, paint,
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

// The pacer's own timers: on time, and no catching up after a pause.
TEST(FramePacer, TimersFireOnTimeAndDoNotCatchUpAfterAPause) {
    using namespace std::chrono_literals;
    int steps = 0, frames = 0;
    FramePacer pacer([&] { ++steps; }, [&] { ++frames; });
    const FramePacer::Clock::time_point t0{};
    pacer.start(75ms, 20ms, t0);
    EXPECT_EQ(pacer.next_deadline(), t0 + 20ms);
    for (auto t = t0; t <= t0 + 750ms; t += 1ms) pacer.poll(t);
    EXPECT_EQ(steps, 10);
    EXPECT_GE(frames, 37);  // 37 redraw ticks and 10 steps ask for frames; the host merges them
    EXPECT_LE(frames, 47);

    // Stopped for ten seconds: one step and one frame, then the normal pace.
    const auto resumed = t0 + 10750ms;
    pacer.poll(resumed);
    EXPECT_EQ(steps, 11);
    pacer.poll(resumed);
    pacer.poll(resumed + 74ms);
    EXPECT_EQ(steps, 11);
    pacer.poll(resumed + 75ms);
    EXPECT_EQ(steps, 12);
}

}  // namespace
}  // namespace orvex
