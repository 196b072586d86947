#include "saver/frame_pacer.h"

#include <algorithm>

namespace orvex {

bool redraw_tick_needs_frame(int LightingNum, std::uint64_t shown_version, std::uint64_t field_version) {
    return LightingNum != 0 || shown_version != field_version;
}

void FramePacer::on_timer(unsigned id) {
    if (id == kSimulationTimerId) {
        simulation_tick_();
        request_frame_();
    } else if (id == kRedrawTimerId) {
        if (!redraw_wanted_ || redraw_wanted_()) request_frame_();
    }
}

void FramePacer::start(Clock::duration simulation_interval, Clock::duration redraw_interval, Clock::time_point now) {
    simulation_ = {simulation_interval, now + simulation_interval};
    redraw_ = {redraw_interval, now + redraw_interval};
}

bool FramePacer::Deadline::due(Clock::time_point now) {
    if (now < at) return false;
    at += interval;
    if (at <= now) at = now + interval;  // missed intervals are dropped, not made up
    return true;
}

void FramePacer::poll(Clock::time_point now) {
    if (simulation_.due(now)) on_timer(kSimulationTimerId);
    if (redraw_.due(now)) on_timer(kRedrawTimerId);
}

FramePacer::Clock::time_point FramePacer::next_deadline() const { return std::min(simulation_.at, redraw_.at); }

}  // namespace orvex
