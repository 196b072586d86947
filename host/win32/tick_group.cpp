#include "host/win32/tick_group.h"

#include <utility>

namespace orvex {

void TickGroup::join(FramePacer& pacer, std::function<void()> take_timers) {
    members_.push_back({&pacer, std::move(take_timers)});
    if (members_.size() == 1 && members_.front().take_timers) members_.front().take_timers();
}

void TickGroup::leave(FramePacer& pacer) {
    for (auto it = members_.begin(); it != members_.end(); ++it) {
        if (it->pacer != &pacer) continue;
        const bool holder = it == members_.begin();
        members_.erase(it);
        if (holder && !members_.empty() && members_.front().take_timers) members_.front().take_timers();
        return;
    }
}

void TickGroup::restart() const {
    if (!members_.empty() && members_.front().take_timers) members_.front().take_timers();
}

void TickGroup::on_timer(unsigned id) const {
    for (const Member& m : members_) m.pacer->on_timer(id);
}

}  // namespace orvex
