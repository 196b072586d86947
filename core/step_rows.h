// Row kernels of the generation step, built once for plain SSE2 and once for AVX2;
// the automaton picks the widest one the processor runs. Each comes for byte cells
// (every value a state of the rule) and for 32-bit cells (any value).
#pragma once

#include <cstdint>

#include "core/rules.h"

namespace orvex::detail {

// One row of the next generation: out from the rows up, mid, dn (already chosen by
// border mode). v is scratch for field_size column sums.
template <typename Cell>
struct RowJob {
    const Cell* up;
    const Cell* mid;
    const Cell* dn;
    Cell* out;
    Cell* v;
    int n;
    bool wrap;
    RuleView rule;
    const int* born;  // counts of the birth set
    int born_n;
    const int* keep;  // counts of the survive set (Life: less those in the birth set)
    int keep_n;
    bool cleared;  // Modified Generation: buffer still clear from the seeding
};

template <typename Cell>
struct FamilyKernels {
    using Kernel = void (*)(const RowJob<Cell>&);
    Kernel life;
    Kernel generation;
    Kernel modified;
};

struct StepKernels {
    FamilyKernels<int8_t> narrow;
    FamilyKernels<int32_t> wide;
};

const StepKernels& kernels_sse2();
// Null where the build has no AVX2 variant or the processor can't run it.
const StepKernels* kernels_avx2();

}  // namespace orvex::detail
