// Unsharp mask: the blur's passes into a plane of our own, then one pass that mixes.

#include "YKUnsharpMaskKernel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

YKUnsharpMaskKernel::YKUnsharpMaskKernel(float sigma, float amount, float threshold)
    : mBlur(sigma),
      mAmount(static_cast<int32>(std::lround(std::clamp(amount, 0.0f, kMaxAmount) * 256))),
      mThreshold(static_cast<int32>(std::lround(std::clamp(threshold, 0.0f, 1.0f) * 255))) {}

void YKUnsharpMaskKernel::Prepare(const YKPixelPlane& source, const YKPixelPlane& destination) {
    mSource = source;
    mDestination = destination;
    mBlurredPixels.resize(static_cast<size_t>(destination.width) * destination.height);
    mBlurred = {mBlurredPixels.data(), destination.width, destination.height, destination.width};
    mBlur.Prepare(source, mBlurred);
}

int32 YKUnsharpMaskKernel::RowCount(int32 pass) const {
    return pass < mBlur.PassCount() ? mBlur.RowCount(pass) : mDestination.height;
}

void YKUnsharpMaskKernel::RunPass(int32 pass, int32 rowBegin, int32 rowEnd) {
    if (pass < mBlur.PassCount()) {
        mBlur.RunPass(pass, rowBegin, rowEnd);
        return;
    }
    const int32 reach = Reach();
    for (int32 y = rowBegin; y < rowEnd; ++y) {
        const uint32* original = mSource.Row(y + reach) + reach;
        const uint32* blurred = mBlurred.Row(y);
        uint32* out = mDestination.Row(y);
        for (int32 x = 0; x < mDestination.width; ++x) {
            uint32 pixel = original[x] & 0xFF000000u;
            for (int32 shift = 0; shift < 24; shift += 8) {
                const int32 o = static_cast<int32>((original[x] >> shift) & 0xFF);
                const int32 d = o - static_cast<int32>((blurred[x] >> shift) & 0xFF);
                const int32 value = std::abs(d) < mThreshold ? o : o + ((d * mAmount + 128) >> 8);
                pixel |= static_cast<uint32>(std::clamp(value, 0, 255)) << shift;
            }
            out[x] = pixel;
        }
    }
}
