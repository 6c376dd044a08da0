// Noise: a table of the distribution's quantiles, indexed by bits of a per-pixel hash.

#include "YKNoiseKernel.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The standard normal quantile of p, by bisection on the distribution function (once per
// table entry, when the kernel is made).
double NormalQuantile(double p) {
    double low = -10, high = 10;
    for (int32 i = 0; i < 64; ++i) {
        const double middle = (low + high) / 2;
        (0.5 * std::erfc(-middle / std::sqrt(2.0)) < p ? low : high) = middle;
    }
    return (low + high) / 2;
}

// The standard normal quantiles at the middles of `N` equal steps of probability, made once
// per process: a kernel is made for every run of the filter.
template <std::size_t N>
const std::array<double, N>& NormalQuantiles() {
    static const std::array<double, N> quantiles = [] {
        std::array<double, N> table{};
        for (std::size_t i = 0; i < N; ++i) {
            table[i] = NormalQuantile((static_cast<double>(i) + 0.5) / N);
        }
        return table;
    }();
    return quantiles;
}

// A well-mixed 64-bit value from a 64-bit key (the splitmix64 finaliser).
inline uint64 Mixed(uint64 key) {
    key = (key ^ (key >> 30)) * 0xBF58476D1CE4E5B9ull;
    key = (key ^ (key >> 27)) * 0x94D049BB133111EBull;
    return key ^ (key >> 31);
}

}  // namespace

YKNoiseKernel::YKNoiseKernel(float amount, Distribution distribution, bool monochrome, uint32 seed)
    : mMonochrome(monochrome), mSeed(Mixed(seed + 0x9E3779B97F4A7C15ull)) {
    const double deviation = std::clamp(amount, 0.0f, kMaxAmount) / 100.0 * 255;
    for (int32 i = 0; i < kLevels; ++i) {
        const double p = (i + 0.5) / kLevels;
        // A uniform draw over [-d, d] has a standard deviation of d / sqrt(3).
        const double unit = distribution == kGaussian
                                ? NormalQuantiles<kLevels>()[static_cast<std::size_t>(i)]
                                : std::sqrt(3.0) * (2 * p - 1);
        mOffsets[i] = static_cast<float>(deviation * unit);
    }
}

void YKNoiseKernel::Prepare(const YKPixelPlane& source, const YKPixelPlane& destination) {
    mSource = source;
    mDestination = destination;
}

void YKNoiseKernel::RunPass(int32, int32 rowBegin, int32 rowEnd) {
    for (int32 y = rowBegin; y < rowEnd; ++y) {
        const uint32* in = mSource.Row(y);
        uint32* out = mDestination.Row(y);
        const uint64 row = mSeed ^ (static_cast<uint64>(y) << 32);
        for (int32 x = 0; x < mDestination.width; ++x) {
            const uint64 draw = Mixed(row + static_cast<uint64>(x));
            uint32 pixel = in[x] & 0xFF000000u;
            for (int32 c = 0; c < 3; ++c) {
                // Three 12-bit fields of the draw, or the first for all three.
                const int32 field = mMonochrome ? 0 : c;
                const float offset = mOffsets[(draw >> (52 - 12 * field)) & (kLevels - 1)];
                const float level = float((in[x] >> (8 * c)) & 0xFF) + offset + 0.5f;
                pixel |= static_cast<uint32>(std::clamp(level, 0.0f, 255.0f)) << (8 * c);
            }
            out[x] = pixel;
        }
    }
}
