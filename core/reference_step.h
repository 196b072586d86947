// The generation step written out literally, cell by cell, over 1000 x 1000 arrays
// of which the top-left field_size block is used. Slow and obviously correct: the
// oracle that the production Automaton is tested and measured against.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/automaton.h"

namespace orvex {

class ReferenceAutomaton {
public:
    static constexpr int kStride = 1000;

    explicit ReferenceAutomaton(const FieldSetup& setup);

    int field_size() const { return field_size_; }
    int32_t cell(int i, int j) const { return life[i * kStride + j]; }
    void set_cell(int i, int j, int32_t value) { life[i * kStride + j] = value; }
    // Any cell of the 1000 x 1000 arrays, also outside the field.
    int32_t& raw_life(int i, int j) { return life[i * kStride + j]; }
    int32_t& raw_life_to_grow(int i, int j) { return life_to_grow[i * kStride + j]; }

    // Start of a seeding: the field and life_to_grow become empty.
    void clear();
    void step();

private:
    void neighbour_indices();
    void own_rule_cell(int32_t& out);

    int Family, life_rule, field_size_, MatrixTr;
    std::optional<RuleSets> own_rule;  // in place of the catalogue's, when set
    bool own_totalistic = true;
    unsigned own_birth_counts = 0, own_survive_counts = 0;
    std::vector<int32_t> life, life_tmp, life_to_grow;
    int il = 0, jl = 0, ilm1 = 0, ilp1 = 0, jlm1 = 0, jlp1 = 0;
};

}  // namespace orvex
