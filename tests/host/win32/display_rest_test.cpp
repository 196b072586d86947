#include "host/win32/display_rest.h"

#include <gtest/gtest.h>

#include "saver/frame_pacer.h"

namespace orvex {
namespace {

// A host on the pacer's own deadlines, polled every millisecond: off (or
// hidden), nothing is stepped or drawn; on again, the next step is one
// interval later and the minute off is not made up.
TEST(DisplayRest, NoStepOrFrameWhileOffAndNoBurstAfter) {
    using ms = std::chrono::milliseconds;
    int steps = 0, frames = 0;
    FramePacer::Clock::time_point now{}, first_step{};
    FramePacer pacer([&] { first_step = steps++ ? first_step : now; }, [&] { ++frames; });
    DisplayRest rest;
    auto run = [&](ms for_ms) {
        for (const auto until = now + for_ms; now <= until; now += ms(1))
            if (!rest.resting()) pacer.poll(now);
    };
    pacer.start(ms(75), ms(20), now);
    EXPECT_EQ(rest.on_display_state(0), RestChange::Rest);
    EXPECT_EQ(rest.on_visible(false), RestChange::None);
    EXPECT_EQ(rest.on_display_state(2), RestChange::None);  // lit, but the window is still hidden
    run(ms(60000));
    EXPECT_EQ(steps + frames, 0);
    ASSERT_EQ(rest.on_visible(true), RestChange::Wake);
    const auto on_at = now;
    pacer.start(ms(75), ms(20), now);
    run(ms(750));
    EXPECT_EQ(first_step - on_at, ms(75));
    EXPECT_EQ(steps, 10);        // 750 / 75
    EXPECT_EQ(frames, 10 + 37);  // one for each step and each redraw tick
}

}  // namespace
}  // namespace orvex
