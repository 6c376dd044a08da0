#include "yk_allocator.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void yk_tune_allocator() {
#if defined(__GLIBC__)
    // A frame allocates and frees megabytes of polygons and bitmaps. Left as it is, glibc gives
    // every new thread (a playing thread, started on Play) a heap of its own that starts
    // empty, maps buffers above 128 KB afresh each time and hands freed memory back above the
    // same size: each of those pages faults again on the next frame, and a frame's first
    // showing on a new thread ran several milliseconds late. One heap, kept once grown, serves
    // every frame from pages already in place.
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
}
