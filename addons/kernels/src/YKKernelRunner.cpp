// Pass after pass, bands on threads.

#include "YKKernelRunner.h"

#include <algorithm>
#include <thread>
#include <vector>

void YKKernelRunner::Band(int32 rows, int32 count, int32 index, int32* begin, int32* end) {
    const int32 height = rows / count;
    *begin = height * index;
    *end = index == count - 1 ? rows : *begin + height;
}

void YKKernelRunner::Run(YKFilterKernel& kernel, const YKPixelPlane& source,
                         const YKPixelPlane& destination, int32 threads) {
    kernel.Prepare(source, destination);
    for (int32 pass = 0; pass < kernel.PassCount(); ++pass) {
        const int32 rows = kernel.RowCount(pass);
        const int32 count = std::clamp(std::min(threads, rows), 1, 8);
        std::vector<std::thread> bands;
        for (int32 i = 1; i < count; ++i) {
            int32 begin = 0, end = 0;
            Band(rows, count, i, &begin, &end);
            bands.emplace_back([&kernel, pass, begin, end] { kernel.RunPass(pass, begin, end); });
        }
        int32 begin = 0, end = 0;
        Band(rows, count, 0, &begin, &end);
        kernel.RunPass(pass, begin, end);
        for (std::thread& band : bands) {
            band.join();
        }
    }
}
