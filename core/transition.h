// The transition of one cell: (family, rule, state, live-neighbour count) -> next state.
#pragma once

#include <cstdint>

#include "core/rules.h"

namespace orvex {

// In the Life family the count is the sum of the neighbours' values; a sum above 8
// is in neither set. In the Generations families the count is of neighbours in state 1.
// 'buffer_cleared' matters only to the Modified Generation family: a cell in the last
// state that is not born keeps what its buffer held (0 right after a seeding, else its state).
// Internal linkage: the step kernels are built with different instruction sets, and
// each must keep its own copy.
static inline int32_t next_state(int family, const RuleView& r, int32_t s, int n, bool buffer_cleared) {
    const bool counted = n >= 0 && n <= 8;
    const bool born = counted && r.born[n];
    const bool survives = counted && r.stable[n];
    const int32_t last = r.states - 1;
    if (family == 0) return born ? 1 : (survives ? s : 0);
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

}  // namespace orvex
