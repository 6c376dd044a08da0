#pragma once

// YKKernelRunner: runs a kernel over a whole plane on a number of threads, pass after pass,
// each pass split into equal bands of rows (the last reaching the bottom). Tests, benchmarks and
// the command line use it; the filter plug-ins run kernels through their own band threads.

#include "YKFilterKernel.h"

class YKKernelRunner {
public:
    // `source` carries the kernel's reach on every side (see YKFilterKernel::Reach).
    static void Run(YKFilterKernel& kernel, const YKPixelPlane& source,
                    const YKPixelPlane& destination, int32 threads);
    // Band `index` of `count` over `rows` rows: rows / count each, the last takes the rest.
    static void Band(int32 rows, int32 count, int32 index, int32* begin, int32* end);
};
