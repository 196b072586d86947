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

}  // namespace orvex
