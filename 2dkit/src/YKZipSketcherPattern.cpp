// Pattern paint of the zip sketcher's rows, in two passes: the row's texels are fetched by
// stepping the turned source position (a straight copy of tile runs when the pattern is not
// turned), then coverage and opacity are applied to their alphas, several pixels at a time.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "YKPattern.h"
#include "YKZipSketcherPaint.h"

namespace {

int64 Wrap(int64 v, int64 period) {
    // Tiles are often a power of two wide: a mask wraps negative values too, without a division.
    if ((period & (period - 1)) == 0) {
        return v & (period - 1);
    }
    const int64 r = v % period;
    return r < 0 ? r + period : r;
}

// x / 255 rounded down, for x up to 255 * 255: the products of two alphas.
constexpr uint32 Div255(uint32 x) {
    return (x + 1 + (x >> 8)) >> 8;
}

// Copies `count` pixels of a tile row from `column` on, repeating the row: one period is copied
// from the tile, the rest from what is already written, in runs that double.
void RepeatTileRow(const uint8* line, int32 width, int32 column, int32 count, uint32* out) {
    const int32 head = std::min(width - column, count);
    std::memcpy(out, line + std::size_t(column) * 4, std::size_t(head) * 4);
    const int32 period = std::min(width, count);
    if (period > head) {
        std::memcpy(out + head, line, std::size_t(period - head) * 4);
    }
    for (int32 done = period; done < count;) {
        const int32 run = std::min(done, count - done) / period * period;
        const int32 copied = run > 0 ? run : count - done;
        std::memcpy(out + done, out, std::size_t(copied) * 4);
        done += copied;
    }
}

// The tile pixels under `count` pixels from column x0 of row y.
void FetchTexels(const YKSketcher::PatternPaint& p, const YKZipPatternPlacement& at, int32 y,
                 int32 x0, int32 count, uint32* out) {
    const YKPattern* pattern = p.pattern;
    const int64 c = at.c, s = at.s;
    // The centre terms use 1 - C, not 64 - C.
    int64 u = int64{x0} * c - int64{y} * s + at.cx * (1 - c) + at.cy * s;
    int64 v = int64{x0} * s + int64{y} * c - at.cx * s + at.cy * (1 - c);
    const int64 width = pattern->Width();
    const int64 height = pattern->Height();
    const uint8* data = pattern->Data();
    const int64 bytesPerRow = pattern->BytesPerRow();
    int64 column = Wrap(at.rx + (u >> 6), width);
    int64 row = Wrap(at.ry + (v >> 6), height);
    if (c == 64 && s == 0) {
        // Not turned: one tile row, repeated.
        RepeatTileRow(data + row * bytesPerRow, static_cast<int32>(width),
                      static_cast<int32>(column), count, out);
        return;
    }
    // Turned: the column and row follow u >> 6 and v >> 6, which move by at most one per pixel
    // (|C|, |S| <= 64), so they are kept wrapped by stepping instead of a division per pixel.
    const uint8* line = data + row * bytesPerRow;
    for (int32 i = 0; i < count; ++i) {
        std::memcpy(out + i, line + column * 4, 4);
        const int64 nextU = u + c;
        const int64 nextV = v + s;
        column += (nextU >> 6) - (u >> 6);
        const int64 rowStep = (nextV >> 6) - (v >> 6);
        column += column >= width ? -width : column < 0 ? width : 0;
        if (rowStep != 0) {
            row += rowStep;
            row += row >= height ? -height : row < 0 ? height : 0;
            line = data + row * bytesPerRow;
        }
        u = nextU;
        v = nextV;
    }
}

// The texel's alpha scaled by the coverage's alpha a = min(255, c * 255 >> 11) and by the
// opacity, each product truncated; uncovered pixels become 0.
template <typename Coverage>
void ApplyAlphaScalar(const Coverage* coverage, int32 count, uint32 opacity, uint32* pixels) {
    for (int32 i = 0; i < count; ++i) {
        const uint32 c = coverage[i];
        const uint32 a = std::min<uint32>(255, (c * 255) >> 11);
        const uint32 alpha = Div255(Div255((pixels[i] >> 24) * a) * opacity);
        pixels[i] = c == 0 ? 0 : alpha << 24 | (pixels[i] & 0x00FFFFFFu);
    }
}

#if defined(__x86_64__)
#define YK_AVX2 __attribute__((target("avx2")))

template <typename Coverage>
YK_AVX2 __m256i LoadCoverage8(const Coverage* coverage) {
    if constexpr (std::is_same_v<Coverage, uint16>) {
        return _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(coverage)));
    } else {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(coverage));
    }
}

YK_AVX2 __m256i Div255Avx2(__m256i x) {
    const __m256i one = _mm256_set1_epi32(1);
    return _mm256_srli_epi32(_mm256_add_epi32(_mm256_add_epi32(x, one), _mm256_srli_epi32(x, 8)),
                             8);
}

// Eight pixels at a time in 32-bit lanes; returns how many pixels it did.
template <typename Coverage>
YK_AVX2 int32 ApplyAlphaAvx2(const Coverage* coverage, int32 count, uint32 opacity,
                             uint32* pixels) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i full = _mm256_set1_epi32(255);
    const __m256i rgb = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i level = _mm256_set1_epi32(static_cast<int32>(opacity));
    const __m256i partial = _mm256_set1_epi32(2047);
    int32 i = 0;
    for (; i + 8 <= count; i += 8) {
        auto* at = reinterpret_cast<__m256i*>(pixels + i);
        const __m256i c = LoadCoverage8(coverage + i);
        // Whole pixels at full opacity keep their texels: Div255(alpha * 255) is the alpha.
        if (opacity == 255 && _mm256_movemask_epi8(_mm256_cmpgt_epi32(c, partial)) == -1) {
            continue;
        }
        const __m256i texel = _mm256_loadu_si256(at);
        const __m256i a = _mm256_min_epi32(
            _mm256_srli_epi32(_mm256_sub_epi32(_mm256_slli_epi32(c, 8), c), 11), full);
        __m256i alpha = Div255Avx2(_mm256_mullo_epi32(_mm256_srli_epi32(texel, 24), a));
        if (opacity != 255) {
            alpha = Div255Avx2(_mm256_mullo_epi32(alpha, level));
        }
        const __m256i pixel =
            _mm256_or_si256(_mm256_slli_epi32(alpha, 24), _mm256_and_si256(texel, rgb));
        _mm256_storeu_si256(at, _mm256_andnot_si256(_mm256_cmpeq_epi32(c, zero), pixel));
    }
    return i;
}
#endif

#if defined(__SSE2__)
template <typename Coverage>
__m128i LoadCoverage4(const Coverage* coverage) {
    if constexpr (std::is_same_v<Coverage, uint16>) {
        return _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(coverage)),
                                  _mm_setzero_si128());
    } else {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(coverage));
    }
}

__m128i Div255Sse2(__m128i x) {
    const __m128i one = _mm_set1_epi32(1);
    return _mm_srli_epi32(_mm_add_epi32(_mm_add_epi32(x, one), _mm_srli_epi32(x, 8)), 8);
}

// Four pixels at a time. Without a 32-bit multiply, the products are taken in 16-bit halves:
// both factors are below 256, so each product fits the low half and the high half stays 0.
template <typename Coverage>
int32 ApplyAlphaSse2(const Coverage* coverage, int32 count, uint32 opacity, uint32* pixels) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi32(255);
    const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
    const __m128i level = _mm_set1_epi32(static_cast<int32>(opacity));
    int32 i = 0;
    for (; i + 4 <= count; i += 4) {
        auto* at = reinterpret_cast<__m128i*>(pixels + i);
        const __m128i texel = _mm_loadu_si128(at);
        const __m128i c = LoadCoverage4(coverage + i);
        const __m128i a =
            _mm_min_epi16(_mm_srli_epi32(_mm_sub_epi32(_mm_slli_epi32(c, 8), c), 11), full);
        __m128i alpha = Div255Sse2(_mm_mullo_epi16(_mm_srli_epi32(texel, 24), a));
        if (opacity != 255) {
            alpha = Div255Sse2(_mm_mullo_epi16(alpha, level));
        }
        const __m128i pixel = _mm_or_si128(_mm_slli_epi32(alpha, 24), _mm_and_si128(texel, rgb));
        _mm_storeu_si128(at, _mm_andnot_si128(_mm_cmpeq_epi32(c, zero), pixel));
    }
    return i;
}
#endif

template <typename Coverage>
void ApplyAlpha(const Coverage* coverage, int32 count, uint32 opacity, uint32* pixels) {
    int32 i = 0;
#if defined(__x86_64__)
    if (yk_zip_sketcher_has_avx2()) {
        i = ApplyAlphaAvx2(coverage, count, opacity, pixels);
    }
#endif
#if defined(__SSE2__)
    i += ApplyAlphaSse2(coverage + i, count - i, opacity, pixels + i);
#endif
    ApplyAlphaScalar(coverage + i, count - i, opacity, pixels + i);
}

}  // namespace

void yk_zip_sketcher_cover_pattern(const int32* coverage, int32 count, uint32 opacity,
                                   uint32* texels) {
    ApplyAlpha(coverage, count, opacity, texels);
}

YKZipPatternPlacement yk_zip_pattern_placement(const YKSketcher::PatternPaint& p) {
    YKZipPatternPlacement at;
    // An upright pattern needs no trigonometry.
    if (p.angle != 0.0) {
        at.c = std::lround(64 * std::cos(p.angle));
        at.s = std::lround(64 * std::sin(p.angle));
    }
    at.cx = std::llround(p.center.x);
    at.cy = std::llround(p.center.y);
    at.rx = std::llround(p.refPoint.x);
    at.ry = std::llround(p.refPoint.y);
    return at;
}

template <typename Coverage>
void YKZipSketcher::PatternRow(const Paint& paint, int32 y, int32 x0, int32 count,
                               const Coverage* coverage, uint32* out) {
    const PatternPaint& p = *paint.pattern;
    FetchTexels(p, paint.placement, y, x0, count, out);
    if (coverage != nullptr) {
        ApplyAlpha(coverage, count, p.alpha, out);
    } else if (p.alpha != 255) {
        for (int32 i = 0; i < count; ++i) {
            out[i] = Div255((out[i] >> 24) * p.alpha) << 24 | (out[i] & 0x00FFFFFFu);
        }
    }
}

template void YKZipSketcher::PatternRow(const Paint&, int32, int32, int32, const int32*, uint32*);
template void YKZipSketcher::PatternRow(const Paint&, int32, int32, int32, const uint16*, uint32*);
