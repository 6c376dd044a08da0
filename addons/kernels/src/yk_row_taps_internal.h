#pragma once

// Kernels that weigh a few neighbours at fixed offsets: the source premultiplied once into a
// plane of 16-bit channels, then each output row as a weighted sum of whole shifted rows of it,
// one multiply-add over the row per tap (the inner loop vectorises whatever the offsets).

#include <algorithm>
#include <span>
#include <vector>

#include "YKFilterKernel.h"
#include "yk_premultiplied_internal.h"
#include "yk_row_tap.h"

// Premultiplies source rows [rowBegin, rowEnd) into `plane` (4 channels a pixel, in 0..65025).
inline void PremultiplyRows(const YKPixelPlane& source, int32 rowBegin, int32 rowEnd,
                            uint16* plane) {
    const size_t lanes = static_cast<size_t>(source.width) * 4;
    std::vector<int32> row(lanes);
    for (int32 y = rowBegin; y < rowEnd; ++y) {
        PremultiplyRow(source.Row(y), source.width, row.data());
        std::copy(row.begin(), row.end(), plane + static_cast<size_t>(y) * lanes);
    }
}

// sum[j] = the taps' weighted channels around destination row y over `width` pixels, from a
// plane `sourceWidth` pixels wide that carries `reach` pixels of margin.
inline void SumTaps(const uint16* plane, int32 sourceWidth, int32 reach,
                    std::span<const yk_row_tap> taps, int32 y, int32 width, float* sum) {
    const size_t lanes = static_cast<size_t>(sourceWidth) * 4;
    const int32 count = width * 4;
    std::fill(sum, sum + count, 0.0f);
    for (const yk_row_tap& tap : taps) {
        const uint16* in = plane + static_cast<size_t>(y + reach + tap.dy) * lanes +
                           static_cast<size_t>(reach + tap.dx) * 4;
        for (int32 j = 0; j < count; ++j) {
            sum[j] += tap.weight * float(in[j]);
        }
    }
}
