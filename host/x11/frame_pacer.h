// The two timers of the saver on a monotonic clock: the simulation timer
// (750 / speed ms) and the redraw timer (20 ms). Like the platform timers of
// the Windows saver, a timer that is late fires once, not once per missed
// interval: after the process was stopped (SIGSTOP / SIGCONT) or a slow step,
// the next deadline counts from now, so no burst of catch-up steps follows.
#pragma once

#include <chrono>

namespace orvex::x11 {

class FramePacer {
public:
    using Clock = std::chrono::steady_clock;

    FramePacer(Clock::duration simulation_interval, Clock::duration redraw_interval, Clock::time_point now);

    struct Due {
        bool step = false;    // the simulation timer fired
        bool redraw = false;  // a frame is wanted (either timer)
    };
    // Which timers have fired by now; each fires at most once per call.
    Due poll(Clock::time_point now);
    // The earlier of the two deadlines: how long the host may sleep.
    Clock::time_point next_deadline() const;

private:
    struct Timer {
        Clock::duration interval;
        Clock::time_point deadline;
        bool fire(Clock::time_point now);
    };
    Timer simulation_;
    Timer redraw_;
};

}  // namespace orvex::x11
