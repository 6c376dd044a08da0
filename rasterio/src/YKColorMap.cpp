// The inverse map of a colour map, and its use as a quantizer's palette.

#include "YKColorMap.h"

#include <algorithm>
#include <climits>

namespace {

// A 5-bit level spread over 0..255, so that the last cell is pure white.
constexpr int32 Expand(int32 level) {
    return level << 3 | level >> 2;
}

bool SameColor(const rgb_color& a, const rgb_color& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

}  // namespace

void YKColorMap::BuildInverseMap() {
    // The candidates, in entry order so that the first of equals wins.
    int32 candidates[kColorCount];
    int32 count = 0;
    for (int32 i = 0; i < kColorCount; ++i) {
        if (colors[i].alpha != 0) {
            candidates[count++] = i;
        }
    }
    if (count == 0) {
        for (int32 i = 0; i < kColorCount; ++i) {
            candidates[count++] = i;
        }
    }
    // A distance with its candidate's position in the low byte: the smallest such value is the
    // nearest candidate, the first of equals, and a plain minimum lets the compiler vectorize
    // the search (the largest distance, 3 * 255 * 255, leaves room for the shift).
    int32 redPart[kColorCount];
    int32 rowBase[kColorCount];
    int32 blues[kColorCount];
    for (int32 k = 0; k < count; ++k) {
        blues[k] = colors[candidates[k]].blue;
    }
    for (int32 r = 0; r < 32; ++r) {
        for (int32 k = 0; k < count; ++k) {
            const int32 d = Expand(r) - colors[candidates[k]].red;
            redPart[k] = d * d;
        }
        for (int32 g = 0; g < 32; ++g) {
            for (int32 k = 0; k < count; ++k) {
                const int32 d = Expand(g) - colors[candidates[k]].green;
                rowBase[k] = (redPart[k] + d * d) << 8 | k;
            }
            uint8* cell = inverse + (r << 10 | g << 5);
            for (int32 b = 0; b < 32; ++b) {
                const int32 level = Expand(b);
                int32 best = INT32_MAX;
                for (int32 k = 0; k < count; ++k) {
                    const int32 d = level - blues[k];
                    best = std::min(best, rowBase[k] + (d * d << 8));
                }
                cell[b] = uint8(candidates[best & 0xFF]);
            }
        }
    }
}

Quantizer::Cmap YKColorMap::ToCmap() const {
    Quantizer::Cmap cmap;
    cmap.count = kColorCount;
    while (cmap.count > 1 && SameColor(colors[cmap.count - 2], colors[kColorCount - 1])) {
        --cmap.count;
    }
    for (int32 i = 0; i < cmap.count; ++i) {
        cmap.colors[i] = {colors[i].red, colors[i].green, colors[i].blue};
        if (colors[i].alpha == 0 && cmap.transparent < 0) {
            cmap.transparent = i;
        }
    }
    return cmap;
}
