// One running automaton as the hosts drive it: the field, its seeder, the reset
// check and the pattern matrix, built from normalised settings.
//
// start() makes the first seed and opens the first reset interval; tick() is one
// simulation tick: a generation step, then the check that ResetMode selects,
// which may reseed. Not copyable: the reset check calls back into this object.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/random_source.h"
#include "config/settings.h"
#include "core/automaton.h"
#include "core/reset_check.h"
#include "seed/seeder.h"

namespace orvex {

class Simulation {
public:
    // pattern_matrix: the loaded pattern file for code 10 (see Load_Pattern).
    // A null clock or generator means the system clock or an LcgRandom.
    explicit Simulation(const Settings& settings, std::vector<int32_t> pattern_matrix = {},
                        CalendarClock clock = nullptr, std::unique_ptr<RandomSource> random = nullptr);
    Simulation(const Simulation&) = delete;
    Simulation& operator=(const Simulation&) = delete;

    // Runs first in every seeding (the picture step).
    void set_picture_step(std::function<void()> step) { seeder_.set_picture_step(std::move(step)); }

    void start();
    // True when the tick's check reseeded the field.
    bool tick();
    // A fresh seed now; the reset counters and interval are left as they are.
    void init_field();

    const Automaton& field() const { return life_; }
    const ResetCheck& reset_check() const { return reset_; }
    int64_t resets() const { return resets_; }
    int64_t generation() const { return generation_; }  // steps since the last seeding

private:
    CalendarClock clock_;  // one clock, read by the seeder and the reset check
    Automaton life_;
    ResetCheck reset_;
    Seeder seeder_;
    int64_t resets_ = 0;
    int64_t generation_ = 0;
};

}  // namespace orvex
