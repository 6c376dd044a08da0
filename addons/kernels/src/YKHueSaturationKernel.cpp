// HSL in integers. With s = max + min and c = max - min of a pixel's channels, lightness is
// s / 510 and saturation c / (255 - |s - 255|); the new chroma is the old one times
// (saturation factor) * (1 - |2L' - 1|) / (1 - |2L - 1|), which depends on s alone, so one
// table on s gives the new lightness and another the chroma factor. The hue needs c only as a
// divisor: a table of reciprocals. Back in RGB each channel is L' - c'/2 + c' * f, with f the
// channel's 0..1 share at the new hue.

#include "YKHueSaturationKernel.h"

#include <algorithm>
#include <cmath>

YKHueSaturationKernel::YKHueSaturationKernel(double lightness, double saturation, double hue)
    : mLightness(std::clamp(lightness, 0.0, 200.0) / 100),
      mSaturation(std::clamp(saturation, 0.0, 200.0) / 100),
      mHueShift(static_cast<int32>(std::lround(std::clamp(hue, -180.0, 180.0) / 60 * kOne))) {}

void YKHueSaturationKernel::BuildTables() {
    for (int32 sum = 0; sum <= 510; ++sum) {
        const double lightness = sum / 510.0;
        const double newLightness = lightness * mLightness;
        // Left unclipped, as the chroma below is: a lightness pushed past white still keeps the
        // colours of strongly saturated pixels apart.
        mLight[sum] = static_cast<int32>(std::lround(newLightness * 255 * kOne));
        const double span = 1 - std::abs(2 * lightness - 1);
        const double newSpan = 1 - std::abs(2 * newLightness - 1);
        mChromaScale[sum] =
            span > 0 ? static_cast<int32>(std::lround(mSaturation * newSpan / span * kOne)) : 0;
    }
    mReciprocal[0] = 0;
    for (int32 chroma = 1; chroma < 256; ++chroma) {
        mReciprocal[chroma] = ((1 << 20) + chroma / 2) / chroma;
    }
}

int32 YKHueSaturationKernel::MapPixel(uint32 pixel) const {
    const int32 red = static_cast<int32>((pixel >> 16) & 0xFF);
    const int32 green = static_cast<int32>((pixel >> 8) & 0xFF);
    const int32 blue = static_cast<int32>(pixel & 0xFF);
    const int32 high = std::max({red, green, blue});
    const int32 low = std::min({red, green, blue});
    const int32 chroma = high - low;
    const int32 sum = high + low;

    // Hue in 1/4096 sixths of a turn: red at 0, green at 2, blue at 4.
    int32 hue = 0;
    if (chroma > 0) {
        const int32 base = high == red ? 0 : high == green ? 2 * kOne : 4 * kOne;
        const int32 rise = high == red ? green - blue : high == green ? blue - red : red - green;
        hue = base + ((rise * mReciprocal[chroma] + 128) >> 8);
    }
    constexpr int32 kTurn = 6 * kOne;
    hue = (hue + mHueShift + 2 * kTurn) % kTurn;

    const int64 light = mLight[sum];
    const int64 newChroma = int64{chroma} * mChromaScale[sum];
    int32 result = 0;
    for (int32 channel = 0; channel < 3; ++channel) {
        // Distance of the hue from the channel's own (red 0, green 2, blue 4), 0..3 sixths.
        int32 distance = std::abs(hue - 2 * kOne * channel);
        distance = std::min(distance, kTurn - distance);
        const int64 share = std::clamp(2 * kOne - distance, 0, kOne);
        const int64 value = light - newChroma / 2 + ((newChroma * share) >> kShift);
        const int64 rounded = std::clamp<int64>((value + kOne / 2) >> kShift, 0, 255);
        result |= static_cast<int32>(rounded) << (16 - 8 * channel);
    }
    return result;
}

void YKHueSaturationKernel::MapRow(const uint32* in, uint32* out, int32 width) const {
    for (int32 x = 0; x < width; ++x) {
        out[x] = (in[x] & 0xFF000000u) | static_cast<uint32>(MapPixel(in[x]));
    }
}
