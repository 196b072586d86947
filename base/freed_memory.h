// How the process's allocator treats memory it is given back.
#pragma once

namespace orvex {

// Keeps freed memory in the process for reuse. Without a GPU driver, Mesa's
// llvmpipe takes the memory for a frame's work in many small blocks and frees
// them all when the frame is done; glibc, left to itself, gives the top of its
// heap back to the system whenever its thresholds (which move with every
// large block freed) say so, and the next frame faults every page in again:
// most of a frame's time for a busy field, in some runs and not in others.
// Call once, before the GL starts. Does nothing where the C library is not glibc.
void keep_freed_memory();

}  // namespace orvex
