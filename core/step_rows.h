// Row kernels of the generation step, built once for plain SSE2 and once for AVX2;
// the automaton picks the widest one the processor runs.
#pragma once

#include <cstdint>

#include "core/rules.h"

namespace orvex::detail {

// One row of the next generation: out from the rows up, mid, dn (already chosen by
// border mode). v is scratch for field_size column sums.
struct RowJob {
    const int32_t* up;
    const int32_t* mid;
    const int32_t* dn;
    int32_t* out;
    int32_t* v;
    int n;
    bool wrap;
    RuleView rule;
    const int* born;  // counts of the birth set
    int born_n;
    const int* keep;  // counts of the survive set (Life: less those in the birth set)
    int keep_n;
    bool cleared;  // Modified Generation: buffer still clear from the seeding
};

using RowKernel = void (*)(const RowJob&);

struct StepKernels {
    RowKernel life;
    RowKernel generation;
    RowKernel modified;
};

const StepKernels& kernels_sse2();
// Null where the build has no AVX2 variant or the processor can't run it.
const StepKernels* kernels_avx2();

}  // namespace orvex::detail
