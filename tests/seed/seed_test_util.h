// Helpers shared by the seeding tests: settings, draws that place nothing, field reading.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "base/random_source.h"
#include "config/settings.h"
#include "core/automaton.h"
#include "tests/support/scripted_random.h"

namespace orvex::test {

inline Settings settings_for(int field_size, int pattern = 0, int family = kFamilyLife, int rule = 4) {
    Settings s;
    s.field_size = field_size;
    s.pattern = pattern;
    s.Family = family;
    s.life_rule = rule;
    return s;
}

// The listed draws first, then a value that never places anything.
inline std::unique_ptr<RandomSource> scripted(std::vector<int> first, int then = 3) {
    return scripted_draws(std::move(first), then);
}

using CellSet = std::set<std::pair<int, int>>;

inline CellSet live_cells(const Automaton& field) {
    CellSet cells;
    for (int i = 0; i < field.field_size(); ++i)
        for (int j = 0; j < field.field_size(); ++j)
            if (field.cell(i, j) != 0) cells.insert({i, j});
    return cells;
}

inline CellSet square(int first, int last) {
    CellSet cells;
    for (int i = first; i <= last; ++i)
        for (int j = first; j <= last; ++j) cells.insert({i, j});
    return cells;
}

}  // namespace orvex::test
