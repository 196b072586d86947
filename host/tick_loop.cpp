#include "host/tick_loop.h"

namespace orvex {

bool redraw_tick_needs_frame(int LightingNum, std::uint64_t shown_version, std::uint64_t field_version) {
    return LightingNum != 0 || shown_version != field_version;
}

void TickLoop::on_timer(unsigned id) {
    if (id == kSimulationTimerId) {
        simulation_tick_();
        invalidate_();
    } else if (id == kRedrawTimerId) {
        if (!redraw_wanted_ || redraw_wanted_()) invalidate_();
    }
}

void TickGroup::join(TickLoop& loop, std::function<void()> take_timers) {
    members_.push_back({&loop, std::move(take_timers)});
    if (members_.size() == 1 && members_.front().take_timers) members_.front().take_timers();
}

void TickGroup::leave(TickLoop& loop) {
    for (auto it = members_.begin(); it != members_.end(); ++it) {
        if (it->loop != &loop) continue;
        const bool holder = it == members_.begin();
        members_.erase(it);
        if (holder && !members_.empty() && members_.front().take_timers) members_.front().take_timers();
        return;
    }
}

void TickGroup::on_timer(unsigned id) const {
    for (const Member& m : members_) m.loop->on_timer(id);
}

}  // namespace orvex
