#include "YKGradientPixelTable.h"

#include <algorithm>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "YKGradient.h"
#include "YKZipSketcherPaint.h"

namespace {

constexpr int32 kSteps = YKGradientPixelTable::kSteps;
// Within one step a channel follows a straight line between its values at the ends, off by the
// single-precision interpolation's rounding (a few units of 2^-24 at most). A channel whose
// values at both ends, moved out by this margin, round to the same byte rounds to it throughout.
constexpr double kMargin = 2e-6;

// A channel of 0..1 to the nearest byte. Adding a half and truncating rounds as lround does for
// these non-negative values, without a library call per channel and pixel.
uint32 ToByte(double v) {
    const double clamped = v > 0.0 ? (v < 1.0 ? v : 1.0) : 0.0;  // NaN counts as 0
    return static_cast<uint32>(clamped * 255.0 + 0.5);
}

struct Channels {
    double c[4];  // alpha, red, green, blue: the order of the pixel's bytes from the top
};

Channels ChannelsAt(YKGradient& gradient, double t) {
    Channels out{};
    gradient.get_buffered_color_at(t, &out.c[1], &out.c[2], &out.c[3], &out.c[0]);
    return out;
}

uint32 Pack(const Channels& channels) {
    uint32 pixel = 0;
    for (double c : channels.c) {
        pixel = pixel << 8 | ToByte(c);
    }
    return pixel;
}

#if defined(__x86_64__)
// The steps of four parameters at a time; returns how many pixels were done.
__attribute__((target("avx2"))) int32 LookupAvx2(YKGradient& gradient, const uint32* pixels,
                                                 const int32* exact, const double* t, int32 count,
                                                 uint32* out) {
    const __m256d zero = _mm256_setzero_pd();
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d steps = _mm256_set1_pd(kSteps);
    int32 i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m256d v = _mm256_loadu_pd(t + i);
        __m256d clamped = _mm256_blendv_pd(one, v, _mm256_cmp_pd(v, one, _CMP_LT_OQ));
        clamped = _mm256_blendv_pd(zero, clamped, _mm256_cmp_pd(v, zero, _CMP_GT_OQ));
        alignas(16) int32 step[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(step),
                        _mm256_cvttpd_epi32(_mm256_mul_pd(clamped, steps)));
        // Loads one by one: gathers are slower than four loads on many processors.
        for (int32 j = 0; j < 4; ++j) {
            out[i + j] = exact[step[j]] != 0 ? YKGradientPixelTable::PixelAt(gradient, t[i + j])
                                             : pixels[step[j]];
        }
    }
    return i;
}
#endif

}  // namespace

uint32 YKGradientPixelTable::PixelAt(YKGradient& gradient, double t) {
    return Pack(ChannelsAt(gradient, t));
}

void YKGradientPixelTable::Fill(YKGradient& gradient) {
    mPixels.assign(kSteps + 1, 0);
    mExact.assign(kSteps + 1, 1);
    Channels low = ChannelsAt(gradient, 0.0);
    // The last step holds t = 1 and the values that round up to it: its two ends are one.
    for (int32 i = 0; i <= kSteps; ++i) {
        const Channels high =
            i < kSteps ? ChannelsAt(gradient, static_cast<double>(i + 1) / kSteps) : low;
        bool steady = true;
        for (int32 k = 0; k < 4; ++k) {
            const double from = std::min(low.c[k], high.c[k]) - kMargin;
            const double to = std::max(low.c[k], high.c[k]) + kMargin;
            steady = steady && ToByte(from) == ToByte(to);
        }
        mPixels[i] = Pack(low);
        mExact[i] = steady ? 0 : 1;
        low = high;
    }
    mStamp = gradient.TableStamp();
}

bool YKGradientPixelTable::Filled(const YKGradient& gradient) const {
    return mStamp != 0 && mStamp == gradient.TableStamp();
}

void YKGradientPixelTable::Lookup(YKGradient& gradient, const double* t, int32 count, uint32* out) {
    if (mStamp == 0 || mStamp != gradient.TableStamp()) {
        mStamp = 0;
        mUnfilledPixels += count;
        if (mUnfilledPixels < kSteps) {
            for (int32 i = 0; i < count; ++i) {
                out[i] = PixelAt(gradient, t[i]);
            }
            return;
        }
        mUnfilledPixels = 0;
        Fill(gradient);
    }
    const uint32* pixels = mPixels.data();
    const int32* exact = mExact.data();
    int32 i = 0;
#if defined(__x86_64__)
    if (yk_zip_sketcher_has_avx2()) {
        i = LookupAvx2(gradient, pixels, exact, t, count, out);
    }
#endif
    for (; i < count; ++i) {
        const int32 step = StepOf(t[i]);
        out[i] = exact[step] != 0 ? PixelAt(gradient, t[i]) : pixels[step];
    }
}
