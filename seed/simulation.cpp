#include "seed/simulation.h"

#include <memory>
#include <utility>

#include "seed/field_setup.h"

namespace orvex {

Simulation::Simulation(const Settings& settings, std::vector<int32_t> pattern_matrix, CalendarClock clock,
                       std::unique_ptr<RandomSource> random)
    : clock_(shared_clock(std::move(clock))),
      life_(field_setup(settings)),
      reset_(reset_setup(settings), clock_, [this] { init_field(); }),
      seeder_(settings.pattern, clock_, std::move(random)) {
    seeder_.set_pattern_matrix(std::move(pattern_matrix));
}

void Simulation::start() {
    init_field();
    reset_.start_interval();
}

void Simulation::init_field() {
    seeder_.init_field(life_, reset_);
    generation_ = 0;
}

bool Simulation::tick() {
    life_.step();
    ++generation_;
    const bool reseeded = reset_.after_step(life_);
    if (reseeded) ++resets_;
    return reseeded;
}

}  // namespace orvex
