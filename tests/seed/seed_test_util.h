// Helpers shared by the seeding tests: settings, scripted draws, field reading.
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

namespace orvex::test {

inline Settings settings_for(int field_size, int pattern = 0, int family = kFamilyLife, int rule = 4) {
    Settings s;
    s.field_size = field_size;
    s.pattern = pattern;
    s.Family = family;
    s.life_rule = rule;
    return s;
}

// Draws given by a function of the draw's number (0, 1, ...); ignores seeding.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::function<int(long)> script) : script_(std::move(script)) {}
    void seed(std::uint32_t) override {}
    int draw() override { return script_(count_++); }

private:
    std::function<int(long)> script_;
    long count_ = 0;
};

// The listed draws first, then a value that never places anything.
inline std::unique_ptr<RandomSource> scripted(std::vector<int> first, int then = 3) {
    return std::make_unique<ScriptedRandom>(
        [first, then](long k) { return k < static_cast<long>(first.size()) ? first[k] : then; });
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
