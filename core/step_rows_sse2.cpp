#define ORVEX_KERNEL_NS sse2
#define ORVEX_VECTOR_BYTES 16
#include "core/step_rows_impl.h"

namespace orvex::detail {

const StepKernels& kernels_sse2() { return sse2::kernels(); }

#if defined(ORVEX_HAVE_AVX2_KERNELS)
const StepKernels& kernels_avx2_unchecked();

const StepKernels* kernels_avx2() {
    static const bool supported = __builtin_cpu_supports("avx2");
    return supported ? &kernels_avx2_unchecked() : nullptr;
}
#else
const StepKernels* kernels_avx2() { return nullptr; }
#endif

}  // namespace orvex::detail
