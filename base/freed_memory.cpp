#include "base/freed_memory.h"

#include <cstdlib>  // says, through the C library's own headers, whether that library is glibc

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace orvex {

void keep_freed_memory() {
#ifdef __GLIBC__
    // Fixed thresholds: freed memory up to 512 MiB stays at the top of the
    // heap, and blocks up to 32 MiB (the GL's per-draw buffers) come from it
    // rather than from a mapping of their own.
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
#endif
}

}  // namespace orvex
