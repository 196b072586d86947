#include "core/automaton.h"

#include <algorithm>
#include <utility>

#include "core/rules.h"
#include "core/transition.h"

namespace orvex {

Automaton::Automaton(const Settings& settings)
    : family_(settings.Family),
      life_rule_(settings.life_rule),
      field_size_(std::clamp(settings.field_size, kMinFieldSize, kMaxFieldSize)),
      wrap_(settings.MatrixTr != 0),
      states_(2) {
    const size_t cells = static_cast<size_t>(field_size_) * field_size_;
    life.assign(cells, 0);
    life_tmp.assign(cells, 0);
    alive_.assign(cells, 0);
    column_sum_.assign(field_size_, 0);
    column_alive_.assign(field_size_, 0);
    build_tables();
}

void Automaton::build_tables() {
    if (family_ < 0 || family_ > 2) return;  // the step leaves such a field unchanged
    const RuleView r = rule_view(family_, life_rule_);
    states_ = r.states;
    for (int n = 0; n <= 9; ++n) {
        const bool counted = n <= 8;
        life_born_[n] = counted && r.born[n];
        life_survive_[n] = (counted && r.stable[n]) ? -1 : 0;
    }
    next_.assign(kTableStates * kCountSlots, 0);
}

void Automaton::clear() {
    std::fill(life.begin(), life.end(), 0);
    life_to_grow_cleared_ = true;
}

void Automaton::load(const std::vector<int32_t>& values) {
    clear();
    std::copy_n(values.begin(), std::min(values.size(), life.size()), life.begin());
}

int64_t Automaton::population() const {
    return std::count_if(life.begin(), life.end(), [](int32_t v) { return v != 0; });
}

void Automaton::step() {
    switch (family_) {
        case kFamilyLife: step_life(); break;
        case kFamilyGeneration: step_generations(false); break;
        case kFamilyModifiedGeneration: step_generations(true); break;
        default: return;
    }
    life.swap(life_tmp);
}

namespace {

// Row above and below row i, by border mode.
inline void neighbour_rows(int i, int n, bool wrap, int& up, int& down) {
    up = i - 1;
    down = i + 1;
    if (i == 0) up = wrap ? n - 1 : 0;
    if (i == n - 1) down = wrap ? 0 : n - 1;
}

}  // namespace

// Life family: the count is the plain sum of the eight neighbours' values. Each row
// first sums its three rows column by column; a cell's count is then the sum of
// three adjacent column sums less its own value.
void Automaton::step_life() {
    const int n = field_size_;
    int32_t* v = column_sum_.data();
    for (int i = 0; i < n; ++i) {
        int iu, id;
        neighbour_rows(i, n, wrap_, iu, id);
        const int32_t* up = &life[index(iu, 0)];
        const int32_t* mid = &life[index(i, 0)];
        const int32_t* dn = &life[index(id, 0)];
        int32_t* out = &life_tmp[index(i, 0)];
        for (int j = 0; j < n; ++j) v[j] = up[j] + mid[j] + dn[j];

        auto apply = [&](int j, int32_t count) {
            const unsigned slot = std::min(static_cast<unsigned>(count), 9u);
            out[j] = life_born_[slot] ? 1 : (mid[j] & life_survive_[slot]);
        };
        const int left_of_0 = wrap_ ? n - 1 : 0;
        const int right_of_last = wrap_ ? 0 : n - 1;
        apply(0, v[left_of_0] + v[0] + v[1] - mid[0]);
        for (int j = 1; j < n - 1; ++j) apply(j, v[j - 1] + v[j] + v[j + 1] - mid[j]);
        apply(n - 1, v[n - 2] + v[n - 1] + v[right_of_last] - mid[n - 1]);
    }
}

// Generations families: the count is of neighbours in exactly state 1, taken from
// a plane of 0/1 bytes so the sums run many cells at a time.
void Automaton::step_generations(bool modified) {
    const int n = field_size_;
    const size_t cells = life.size();
    for (size_t k = 0; k < cells; ++k) alive_[k] = life[k] == 1;

    // The table depends on the buffer flag, which changes only after a seeding.
    const RuleView r = rule_view(family_, life_rule_);
    const bool cleared = modified && life_to_grow_cleared_;
    const int fam = modified ? kFamilyModifiedGeneration : kFamilyGeneration;
    for (int s = 0; s < kTableStates; ++s)
        for (int c = 0; c <= 8; ++c) next_[s * kCountSlots + c] = next_state(fam, r, s, c, cleared);

    uint8_t* v = column_alive_.data();
    for (int i = 0; i < n; ++i) {
        int iu, id;
        neighbour_rows(i, n, wrap_, iu, id);
        const uint8_t* up = &alive_[index(iu, 0)];
        const uint8_t* amid = &alive_[index(i, 0)];
        const uint8_t* dn = &alive_[index(id, 0)];
        const int32_t* mid = &life[index(i, 0)];
        int32_t* out = &life_tmp[index(i, 0)];
        for (int j = 0; j < n; ++j) v[j] = static_cast<uint8_t>(up[j] + amid[j] + dn[j]);

        auto apply = [&](int j, int count) {
            const int32_t s = mid[j];
            out[j] = (s >= 0 && s < kTableStates) ? next_[s * kCountSlots + count]
                                                  : next_state(fam, r, s, count, cleared);
        };
        const int left_of_0 = wrap_ ? n - 1 : 0;
        const int right_of_last = wrap_ ? 0 : n - 1;
        apply(0, v[left_of_0] + v[0] + v[1] - amid[0]);
        for (int j = 1; j < n - 1; ++j) apply(j, v[j - 1] + v[j] + v[j + 1] - amid[j]);
        apply(n - 1, v[n - 2] + v[n - 1] + v[right_of_last] - amid[n - 1]);
    }
    if (modified) life_to_grow_cleared_ = false;
}

}  // namespace orvex
