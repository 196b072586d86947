// Row kernels of the generation step, built once for plain SSE2 and once for AVX2;
// the automaton picks the widest one the processor runs. Each comes for byte cells
// (every value a state of the rule) and for 32-bit cells (any value).
#pragma once

#include <cstdint>

namespace orvex::detail {

// One row of the next generation: out from the rows up, mid, dn (already chosen by
// border mode). v is scratch for field_size + 2 column sums.
template <typename Cell>
struct RowJob {
    const Cell* up;
    const Cell* mid;
    const Cell* dn;
    Cell* out;
    Cell* v;
    int n;
    bool wrap;
    int32_t last;           // the rule's last state (1 for two-state rules)
    unsigned born_bits;     // birth counts, bit n
    unsigned survive_bits;  // survive counts, bit n
    const int* born;        // counts of the birth set (Life: those also in the survive set)
    int born_n;
    const int* keep;  // counts of the survive set (Life: less those in the birth set)
    int keep_n;
    const int* born_only;  // Life: counts of the birth set not in the survive set
    int born_only_n;
    // Non-totalistic rules: by the 3 x 3 block (bit 3c + r: column c, row r, from
    // the top left), bit 0 the birth set holds its neighbours, bit 1 the survive set.
    const uint8_t* blocks;
    bool cleared;  // Modified Generation: buffer still clear from the seeding
};

template <typename Cell>
struct FamilyKernels {
    using Kernel = void (*)(const RowJob<Cell>&);
    Kernel life;
    Kernel generation;
    Kernel modified;
    Kernel blocks[3];  // non-totalistic rules, by family
};

struct StepKernels {
    FamilyKernels<int8_t> narrow;
    FamilyKernels<int32_t> wide;
};

const StepKernels& kernels_sse2();
// Null where the build has no AVX2 variant or the processor can't run it.
const StepKernels* kernels_avx2();

}  // namespace orvex::detail
