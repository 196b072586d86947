#include "host/tick_loop.h"

namespace orvex {

void TickLoop::on_timer(unsigned id) {
    if (id == kSimulationTimerId) {
        simulation_tick_();
        invalidate_();
    } else if (id == kRedrawTimerId) {
        invalidate_();
    }
}

}  // namespace orvex
