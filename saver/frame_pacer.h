// The saver's two timers and what each tick does, for every host.
//
// The simulation timer (750 / speed ms) runs the automaton: one simulation
// tick (a generation step, then the reset check that may reseed), then a
// request for a frame. The redraw timer (20 ms) asks for a frame only when the
// frame would differ from the one on screen (redraw_wanted): with lighting off
// nothing moves between steps. A tick never draws; the host draws once it has
// a request, and requests that come before it draws make one frame.
//
// The timers are either the platform's, whose ticks the host hands to
// on_timer(), or the pacer's own deadlines on the monotonic clock (start(),
// poll(), next_deadline()). Like platform timers, a late timer fires once,
// not once per missed interval: after the process was stopped or a step was
// slow, the next deadline counts from now, so no burst of catch-up ticks
// follows.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <utility>

namespace orvex {

constexpr unsigned kSimulationTimerId = 9101;
constexpr unsigned kRedrawTimerId = 9102;

// Whether a redraw tick needs a frame: lighting on (the lights move), or a
// field version other than the one the last frame showed.
bool redraw_tick_needs_frame(int LightingNum, std::uint64_t shown_version, std::uint64_t field_version);

class FramePacer {
public:
    using Clock = std::chrono::steady_clock;

    // redraw_wanted, when given, decides whether a redraw tick asks for a frame.
    FramePacer(std::function<void()> simulation_tick, std::function<void()> request_frame,
               std::function<bool()> redraw_wanted = nullptr)
        : simulation_tick_(std::move(simulation_tick)),
          request_frame_(std::move(request_frame)),
          redraw_wanted_(std::move(redraw_wanted)) {}

    // One tick of a platform timer; an id that is not one of ours changes nothing.
    void on_timer(unsigned id);

    // The pacer's own timers, first due one interval after now.
    void start(Clock::duration simulation_interval, Clock::duration redraw_interval, Clock::time_point now);
    // Runs the ticks due by now, each timer at most once, the simulation first.
    void poll(Clock::time_point now);
    // The earlier of the two deadlines: how long the host may sleep.
    Clock::time_point next_deadline() const;

private:
    struct Deadline {
        Clock::duration interval{};
        Clock::time_point at{};
        bool due(Clock::time_point now);
    };

    std::function<void()> simulation_tick_;
    std::function<void()> request_frame_;
    std::function<bool()> redraw_wanted_;
    Deadline simulation_;
    Deadline redraw_;
};

}  // namespace orvex
