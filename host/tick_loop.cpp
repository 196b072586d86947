#include "host/tick_loop.h"

namespace orvex {

unsigned simulation_interval_ms(int speed) {
    constexpr unsigned kSlowestMs = 750;
    return speed < 1 ? kSlowestMs : kSlowestMs / static_cast<unsigned>(speed);
}

void TickLoop::on_timer(unsigned id) {
    if (id == kSimulationTimerId) {
        simulation_tick_();
        invalidate_();
    } else if (id == kRedrawTimerId) {
        invalidate_();
    }
}

}  // namespace orvex
