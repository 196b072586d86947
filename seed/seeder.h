// init_field: puts a fresh starting generation into the field.
//
// Order of a seeding: the picture step (a hook the host fills; pictures move on
// with every seed), the field and the Generations buffer cleared, the generator
// seeded from the calendar clock, the seed chosen by `pattern` drawn, and both
// period-check snapshots set to the new field.
//
// Seed codes: 0 Random_Points, 1 Random_Blocks, 2 Small_Blocks, 3 Random_Circles,
// 4 Big_Circles, 5 Block 5*5, 6 Block 25*25, 10 the pattern file's cells (the
// pattern matrix, field_size * field_size values row by row). Any other code
// leaves the field empty. Only cells inside the field are ever written.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/random_source.h"
#include "core/reset_check.h"

namespace orvex {

class Automaton;

extern const char* const seed_names[7];  // the built-in seeds as the Pattern list shows them

class Seeder {
public:
    // A null clock or generator means the system clock or an LcgRandom.
    explicit Seeder(int pattern, CalendarClock clock = nullptr, std::unique_ptr<RandomSource> random = nullptr);

    int pattern() const { return pattern_; }
    // Cells for code 10; values missing for a cell count as empty.
    void set_pattern_matrix(std::vector<int32_t> matrix) { pattern_matrix_ = std::move(matrix); }
    // Runs first in every seeding.
    void set_picture_step(std::function<void()> step) { picture_step_ = std::move(step); }

    void init_field(Automaton& field, ResetCheck& snapshots);

private:
    void random_points(Automaton& field);
    void random_blocks(Automaton& field, int max_half_side);
    void random_circles(Automaton& field, int max_radius, bool big);
    void centred_square(Automaton& field, int half_side);

    int pattern_;
    CalendarClock clock_;
    std::unique_ptr<RandomSource> random_;
    std::vector<int32_t> pattern_matrix_;
    std::function<void()> picture_step_;
};

}  // namespace orvex
