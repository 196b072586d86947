// Compiled with -mavx2; called only after the processor has said it runs AVX2.
#define ORVEX_KERNEL_NS avx2
#define ORVEX_VECTOR_BYTES 32
#include "core/step_rows_impl.h"

namespace orvex::detail {

const StepKernels& kernels_avx2_unchecked() { return avx2::kernels(); }

}  // namespace orvex::detail
