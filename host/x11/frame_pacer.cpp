#include "host/x11/frame_pacer.h"

#include <algorithm>

namespace orvex::x11 {

FramePacer::FramePacer(Clock::duration simulation_interval, Clock::duration redraw_interval, Clock::time_point now)
    : simulation_{simulation_interval, now + simulation_interval}, redraw_{redraw_interval, now + redraw_interval} {}

bool FramePacer::Timer::fire(Clock::time_point now) {
    if (now < deadline) return false;
    deadline += interval;
    if (deadline <= now) deadline = now + interval;  // missed intervals are dropped, not made up
    return true;
}

FramePacer::Due FramePacer::poll(Clock::time_point now) {
    Due due;
    due.step = simulation_.fire(now);
    due.redraw = redraw_.fire(now) || due.step;
    return due;
}

FramePacer::Clock::time_point FramePacer::next_deadline() const {
    return std::min(simulation_.deadline, redraw_.deadline);
}

}  // namespace orvex::x11
