#include "host/win32/display_rest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "saver/frame_pacer.h"

namespace orvex {
namespace {

using std::chrono::milliseconds;

// Which reports make the saver rest and wake: off rests, on and dimmed wake,
// a hidden window rests whatever the display does, and repeats change nothing.
TEST(DisplayRest, OffAndHiddenRestOnAndDimmedWake) {
    DisplayRest rest;
    struct Step {
        bool display;  // a display report, else a visibility report (1 seen)
        unsigned long value;
        RestChange expected;
        bool resting;
    };
    const std::vector<Step> steps = {
        {true, 1, RestChange::None, false}, {true, 2, RestChange::None, false}, {true, 0, RestChange::Rest, true},
        {true, 0, RestChange::None, true},  {true, 2, RestChange::Wake, false}, {false, 0, RestChange::Rest, true},
        {true, 0, RestChange::None, true},  {true, 1, RestChange::None, true},  {false, 1, RestChange::Wake, false},
        {true, 7, RestChange::None, false}, {true, 0, RestChange::Rest, true},  {false, 0, RestChange::None, true},
        {false, 1, RestChange::None, true}, {true, 1, RestChange::Wake, false},
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        EXPECT_EQ(s.display ? rest.on_display_state(s.value) : rest.on_visible(s.value != 0), s.expected) << i;
        EXPECT_EQ(rest.resting(), s.resting) << i;
    }
}

// A host on the pacer's own deadlines, polled every millisecond: while the
// display is off nothing is stepped or drawn; once on, the next step is one
// interval later and the steps go on at their pace, with no catch-up burst.
TEST(DisplayRest, NoStepOrFrameWhileOffAndNoBurstAfter) {
    using Clock = FramePacer::Clock;
    std::vector<Clock::time_point> steps, frames;
    Clock::time_point now{};
    FramePacer pacer([&] { steps.push_back(now); }, [&] { frames.push_back(now); });
    DisplayRest rest;
    const milliseconds simulation(75), redraw(20);
    const Clock::time_point t0{};
    pacer.start(simulation, redraw, t0);

    const Clock::time_point off_at = t0 + milliseconds(1000), on_at = t0 + milliseconds(61000);
    for (now = t0; now <= on_at + milliseconds(750); now += milliseconds(1)) {
        if (now == off_at) {
            EXPECT_EQ(rest.on_display_state(0), RestChange::Rest);
        }
        if (now == on_at && rest.on_display_state(1) == RestChange::Wake) pacer.start(simulation, redraw, now);
        if (!rest.resting()) pacer.poll(now);
    }
    auto count_between = [](const std::vector<Clock::time_point>& v, Clock::time_point a, Clock::time_point b) {
        int n = 0;
        for (Clock::time_point t : v) n += t >= a && t < b;
        return n;
    };
    EXPECT_EQ(count_between(steps, off_at, on_at), 0);
    EXPECT_EQ(count_between(frames, off_at, on_at), 0);
    EXPECT_EQ(count_between(steps, t0, off_at), 13);                        // 1000 / 75
    ASSERT_EQ(count_between(steps, on_at, on_at + milliseconds(751)), 10);  // 750 / 75: no burst
    EXPECT_EQ(*std::lower_bound(steps.begin(), steps.end(), on_at), on_at + simulation);
    EXPECT_EQ(count_between(frames, on_at, on_at + milliseconds(751)), 10 + 37);  // each step's and each redraw's
}

}  // namespace
}  // namespace orvex
