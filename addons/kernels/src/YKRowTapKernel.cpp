// Premultiplied source rows in a ring per band, summed tap by tap.

#include "YKRowTapKernel.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "yk_premultiplied_internal.h"

void YKRowTapKernel::Prepare(const YKPixelPlane& source, const YKPixelPlane& destination) {
    mSource = source;
    mDestination = destination;
}

void YKRowTapKernel::RunPass(int32, int32 rowBegin, int32 rowEnd) {
    const std::span<const yk_row_tap> taps = Taps();
    int32 lowest = 0;
    int32 highest = 0;
    for (const yk_row_tap& tap : taps) {
        lowest = std::min(lowest, tap.dy);
        highest = std::max(highest, tap.dy);
    }
    // Output row y reads source rows y + reach + dy: a window of `span` rows sliding down, whose
    // rows fall in distinct slots of a ring that size.
    const int32 span = highest - lowest + 1;
    const int32 reach = Reach();
    const size_t lanes = static_cast<size_t>(mSource.width) * 4;
    // 16 bits a channel (premultiplied values reach 65025) keep the ring in the caches.
    std::vector<uint16> ring(lanes * span);
    std::vector<int32> held(span, std::numeric_limits<int32>::min());
    std::vector<int32> wide(lanes);
    const auto premultiplied = [&](int32 row) {
        const int32 slot = row % span;
        uint16* channels = &ring[lanes * slot];
        if (held[slot] != row) {
            PremultiplyRow(mSource.Row(row), mSource.width, wide.data());
            std::copy(wide.begin(), wide.end(), channels);
            held[slot] = row;
        }
        return channels;
    };
    const int32 count = mDestination.width * 4;
    std::vector<float> sum(count);
    for (int32 y = rowBegin; y < rowEnd; ++y) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (const yk_row_tap& tap : taps) {
            const uint16* in = premultiplied(y + reach + tap.dy) + (reach + tap.dx) * 4;
            for (int32 j = 0; j < count; ++j) {
                sum[j] += tap.weight * float(in[j]);
            }
        }
        StoreRow(y, sum.data());
    }
}
