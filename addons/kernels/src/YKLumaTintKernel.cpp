// Luma in integer weights that sum to 65536, tints in 16.16 tables.

#include "YKLumaTintKernel.h"

#include <cmath>

namespace {

constexpr double kOne = 65536;

uint32 Fixed(double value) {
    return static_cast<uint32>(std::lround(value * kOne));
}

}  // namespace

int32 YKLumaTintKernel::Luma(uint32 pixel) {
    // 0.299, 0.587 and 0.114 in 1/65536 steps, rounded so they still sum to one.
    const uint32 sum = 19595 * ((pixel >> 16) & 0xFF) + 38470 * ((pixel >> 8) & 0xFF) +
                       7471 * (pixel & 0xFF) + 32768;
    return static_cast<int32>(sum >> 16);
}

void YKLumaTintKernel::BuildTables() {
    for (int32 value = 0; value < 256; ++value) {
        mKeep[value] = Fixed((1 - mStrength) * value);
        double rgb[3];
        Tint(value, rgb);
        for (int32 channel = 0; channel < 3; ++channel) {
            mTint[channel][value] = Fixed(mStrength * rgb[channel]);
        }
    }
}

void YKLumaTintKernel::MapRow(const uint32* in, uint32* out, int32 width) const {
    for (int32 x = 0; x < width; ++x) {
        const uint32 pixel = in[x];
        const int32 luma = Luma(pixel);
        const uint32 red = (mKeep[(pixel >> 16) & 0xFF] + mTint[0][luma] + 32768) >> 16;
        const uint32 green = (mKeep[(pixel >> 8) & 0xFF] + mTint[1][luma] + 32768) >> 16;
        const uint32 blue = (mKeep[pixel & 0xFF] + mTint[2][luma] + 32768) >> 16;
        out[x] = (pixel & 0xFF000000u) | red << 16 | green << 8 | blue;
    }
}
