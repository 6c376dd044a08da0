// The inverse map of a colour map, and its use as a quantizer's palette.

#include "YKColorMap.h"

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
    // Red and green parts of the distance are summed once per row of cells, not per cell.
    int32 redPart[kColorCount];
    int32 redGreenPart[kColorCount];
    for (int32 r = 0; r < 32; ++r) {
        for (int32 k = 0; k < count; ++k) {
            const int32 d = Expand(r) - colors[candidates[k]].red;
            redPart[k] = d * d;
        }
        for (int32 g = 0; g < 32; ++g) {
            for (int32 k = 0; k < count; ++k) {
                const int32 d = Expand(g) - colors[candidates[k]].green;
                redGreenPart[k] = redPart[k] + d * d;
            }
            uint8* cell = inverse + (r << 10 | g << 5);
            for (int32 b = 0; b < 32; ++b) {
                int32 best = 0;
                int32 bestDistance = INT32_MAX;
                for (int32 k = 0; k < count; ++k) {
                    const int32 d = Expand(b) - colors[candidates[k]].blue;
                    const int32 distance = redGreenPart[k] + d * d;
                    if (distance < bestDistance) {
                        bestDistance = distance;
                        best = k;
                    }
                }
                cell[b] = uint8(candidates[best]);
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
