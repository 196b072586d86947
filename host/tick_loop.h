// The simulation window's two timers and what a tick does.
//
// Timer 9101 runs the automaton: one simulation tick (a generation step, then
// the reset check that may reseed), then a redraw request. Timer 9102 only asks
// for a redraw, every 20 ms, so the lights move between steps. A tick never
// draws; the frame is drawn when the platform asks for a paint. The intervals
// are the session's (saver/saver_session.h).
#pragma once

#include <functional>
#include <utility>

namespace orvex {

constexpr unsigned kSimulationTimerId = 9101;
constexpr unsigned kRedrawTimerId = 9102;

class TickLoop {
public:
    TickLoop(std::function<void()> simulation_tick, std::function<void()> invalidate)
        : simulation_tick_(std::move(simulation_tick)), invalidate_(std::move(invalidate)) {}

    // Handles one timer tick; an id that is not one of ours changes nothing.
    void on_timer(unsigned id);

private:
    std::function<void()> simulation_tick_;
    std::function<void()> invalidate_;
};

}  // namespace orvex
