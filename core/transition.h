// The transition of one cell: (family, state, born, survives) -> next state.
#pragma once

#include <cstdint>

namespace orvex {

// born and survives say whether the cell's neighbours are in the rule's birth and
// survive sets. In the Life family a live cell whose neighbours are in both sets
// becomes 1 (the catalogue's rules keep such a cell: their survive sets take in
// the birth set), one in the survive set only keeps its value.
// 'buffer_cleared' matters only to the Modified Generation family: a cell in the last
// state that is not born keeps what its buffer held (0 right after a seeding, else its state).
// Internal linkage: the step kernels are built with different instruction sets, and
// each must keep its own copy.
static inline int32_t next_state(int family, int32_t last, int32_t s, bool born, bool survives, bool buffer_cleared) {
    if (family == 0) {
        if (s == 0) return born ? 1 : 0;
        return survives ? (born ? 1 : s) : 0;
    }
    if (family == 1) {
        if (s == 0) return born ? 1 : 0;
        if (s == 1) return survives ? 1 : (s == last ? 0 : s + 1);
        return s == last ? 0 : s + 1;
    }
    // Modified Generation: a dying cell first ages in place, then the rule applies to it.
    const int32_t t = s > 1 ? (s == last ? 0 : s + 1) : s;
    if (t == 0) return born ? 1 : (buffer_cleared ? 0 : s);
    if (!survives) return t == last ? 0 : t + 1;
    return t;
}

// The same by live-neighbour count; a count above 8 (a Life-family sum of values
// above 1) is in neither set.
static inline int32_t next_state(int family, int32_t last, unsigned born_counts, unsigned survive_counts, int32_t s,
                                 int n, bool buffer_cleared) {
    const bool counted = n >= 0 && n <= 8;
    return next_state(family, last, s, counted && (born_counts >> n & 1), counted && (survive_counts >> n & 1),
                      buffer_cleared);
}

}  // namespace orvex
