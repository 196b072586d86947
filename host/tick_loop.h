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
#include <vector>

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

// Several tick loops on one pair of timers (one saver per monitor): each tick
// goes to every member in the order they joined, so all sessions step
// together and each keeps its own redraw skip. One member holds the timers:
// the first to join, and when it leaves, the next in line.
class TickGroup {
public:
    // take_timers starts the two timers on the member's window; it runs once
    // the member becomes the holder.
    void join(TickLoop& loop, std::function<void()> take_timers);
    void leave(TickLoop& loop);
    void on_timer(unsigned id) const;
    std::size_t size() const { return members_.size(); }

private:
    struct Member {
        TickLoop* loop;
        std::function<void()> take_timers;
    };
    std::vector<Member> members_;
};

}  // namespace orvex
