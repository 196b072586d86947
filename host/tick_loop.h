// The simulation window's two timers and what a tick does.
//
// Timer 9101 runs the automaton: one simulation tick (a generation step, then
// the reset check that may reseed), then a redraw request. Timer 9102 only asks
// for a redraw, every 20 ms, so the lights move between steps. A tick never
// draws; the frame is drawn when the platform asks for a paint. The intervals
// are the session's (saver/saver_session.h).
//
// A redraw tick that would draw the same picture again is dropped: with
// lighting off nothing moves between steps, so it asks for a frame only when
// the field changed since the last frame drawn. Paints the platform asks for
// by itself (exposure, resize) are not ticks and always draw.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

namespace orvex {

constexpr unsigned kSimulationTimerId = 9101;
constexpr unsigned kRedrawTimerId = 9102;

// Whether a redraw tick needs a frame: lighting on (the lights move), or a
// field version other than the one the last frame showed.
bool redraw_tick_needs_frame(int LightingNum, std::uint64_t shown_version, std::uint64_t field_version);

class TickLoop {
public:
    // redraw_wanted, when given, decides whether a redraw tick asks for a frame.
    TickLoop(std::function<void()> simulation_tick, std::function<void()> invalidate,
             std::function<bool()> redraw_wanted = nullptr)
        : simulation_tick_(std::move(simulation_tick)),
          invalidate_(std::move(invalidate)),
          redraw_wanted_(std::move(redraw_wanted)) {}

    // Handles one timer tick; an id that is not one of ours changes nothing.
    void on_timer(unsigned id);

private:
    std::function<void()> simulation_tick_;
    std::function<void()> invalidate_;
    std::function<bool()> redraw_wanted_;
};

}  // namespace orvex
