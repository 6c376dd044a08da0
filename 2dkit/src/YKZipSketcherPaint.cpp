// Painting coverage rows: coverage to alpha, with colour, pattern or gradient paint (pattern
// rows are made in YKZipSketcherPattern.cpp). The scan converter's rows go to the bitmap as
// one run per row; glyph rows are made in place by YKZipSketcherGlyphs.cpp through RowPixels.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "YKBitmap.h"
#include "YKGradientBuffer.h"
#include "YKPattern.h"
#include "YKScanConverter.h"
#include "YKZipSketcherPaint.h"

namespace {

// Coverage 0..2048 as alpha: a full pixel is 2048, and a shift by 11 stands for the division.
uint32 CoverageToAlpha(uint32 coverage) {
    return std::min<uint32>(255, (coverage * 255) >> 11);
}

// An alpha with an opacity applied, with the rounding the system uses (255 leaves it).
uint32 WithOpacity(uint32 alpha, uint32 opacity) {
    if (opacity == 255) {
        return alpha;
    }
    const uint32 product = alpha * opacity;
    return ((product >> 8) + 1 + product) >> 8;
}

// Colour pixels for `count` coverages; uncovered pixels stay fully transparent black.
template <bool kTranslucent, typename Coverage>
void ColorPixels(const Coverage* coverage, int32 count, uint32 opacity, uint32 rgb, uint32* out) {
    for (int32 i = 0; i < count; ++i) {
        const uint32 a = CoverageToAlpha(coverage[i]);
        const uint32 pixel = (kTranslucent ? WithOpacity(a, opacity) : a) << 24 | rgb;
        out[i] = coverage[i] == 0 ? 0 : pixel;
    }
}

// The same for glyph coverage, which never exceeds a full pixel, many pixels at a time in
// 16-bit lanes: the alpha (c * 255) >> 11 is the high half of c * 8160, the opacity's rounding
// stays below 65536, and each pixel is put together from its alpha-red and green-blue halves.
#if defined(__x86_64__)
#define YK_AVX2 __attribute__((target("avx2")))

template <bool kTranslucent>
YK_AVX2 int32 GlyphColorPixelsAvx2(const uint16* coverage, int32 count, uint32 opacity, uint32 rgb,
                                   uint32* out) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i scale = _mm256_set1_epi16(8160);
    const __m256i red = _mm256_set1_epi16(static_cast<int16>(rgb >> 16));
    const __m256i greenBlue = _mm256_set1_epi16(static_cast<int16>(rgb & 0xFFFF));
    const __m256i alpha = _mm256_set1_epi16(static_cast<int16>(opacity));
    const __m256i one = _mm256_set1_epi16(1);
    int32 i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(coverage + i));
        __m256i a = _mm256_mulhi_epu16(c, scale);
        if constexpr (kTranslucent) {
            const __m256i product = _mm256_mullo_epi16(a, alpha);
            a = _mm256_srli_epi16(
                _mm256_add_epi16(_mm256_add_epi16(_mm256_srli_epi16(product, 8), one), product), 8);
        }
        const __m256i empty = _mm256_cmpeq_epi16(c, zero);
        const __m256i low = _mm256_andnot_si256(empty, greenBlue);
        const __m256i high =
            _mm256_or_si256(_mm256_slli_epi16(a, 8), _mm256_andnot_si256(empty, red));
        // Interleaving works within 128-bit halves: put the halves back in pixel order.
        const __m256i first = _mm256_unpacklo_epi16(low, high);
        const __m256i second = _mm256_unpackhi_epi16(low, high);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                            _mm256_permute2x128_si256(first, second, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i + 8),
                            _mm256_permute2x128_si256(first, second, 0x31));
    }
    return i;
}

// Coverage applied to straight pixels in place, eight at a time: the alpha of the coverage with
// the pixel's alpha as its opacity, uncovered pixels transparent black. A whole pixel's alpha is
// 255, and 255 with an opacity is the opacity, so eight whole pixels stay as they are. Returns
// how many were done.
YK_AVX2 int32 CoverPixelsAvx2(const int32* coverage, int32 count, uint32* pixels) {
    const __m256i full = _mm256_set1_epi32(255);
    const __m256i one = _mm256_set1_epi32(1);
    const __m256i rgb = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i partial = _mm256_set1_epi32(2047);
    int32 i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(coverage + i));
        if (_mm256_movemask_epi8(_mm256_cmpgt_epi32(c, partial)) == -1) {
            continue;
        }
        const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels + i));
        const __m256i a =
            _mm256_min_epu32(_mm256_srli_epi32(_mm256_mullo_epi32(c, full), 11), full);
        const __m256i opacity = _mm256_srli_epi32(p, 24);
        const __m256i product = _mm256_mullo_epi32(a, opacity);
        const __m256i translucent = _mm256_srli_epi32(
            _mm256_add_epi32(_mm256_add_epi32(_mm256_srli_epi32(product, 8), one), product), 8);
        const __m256i alpha = _mm256_blendv_epi8(translucent, a, _mm256_cmpeq_epi32(opacity, full));
        const __m256i pixel =
            _mm256_or_si256(_mm256_slli_epi32(alpha, 24), _mm256_and_si256(p, rgb));
        const __m256i empty = _mm256_cmpeq_epi32(c, _mm256_setzero_si256());
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + i),
                            _mm256_andnot_si256(empty, pixel));
    }
    return i;
}

// The scan converter's coverage, eight pixels at a time in 32-bit lanes.
template <bool kTranslucent>
YK_AVX2 int32 ColorPixelsAvx2(const int32* coverage, int32 count, uint32 opacity, uint32 rgb,
                              uint32* out) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i full = _mm256_set1_epi32(255);
    const __m256i color = _mm256_set1_epi32(static_cast<int32>(rgb));
    const __m256i alpha = _mm256_set1_epi32(static_cast<int32>(opacity));
    const __m256i one = _mm256_set1_epi32(1);
    int32 i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(coverage + i));
        __m256i a = _mm256_min_epu32(
            _mm256_srli_epi32(_mm256_sub_epi32(_mm256_slli_epi32(c, 8), c), 11), full);
        if constexpr (kTranslucent) {
            const __m256i product = _mm256_mullo_epi32(a, alpha);
            a = _mm256_srli_epi32(
                _mm256_add_epi32(_mm256_add_epi32(_mm256_srli_epi32(product, 8), one), product), 8);
        }
        const __m256i pixel = _mm256_or_si256(_mm256_slli_epi32(a, 24), color);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                            _mm256_andnot_si256(_mm256_cmpeq_epi32(c, zero), pixel));
    }
    return i;
}

#endif

template <bool kTranslucent>
void ScanColorPixels(const int32* coverage, int32 count, uint32 opacity, uint32 rgb, uint32* out) {
    int32 i = 0;
#if defined(__x86_64__)
    if (yk_zip_sketcher_has_avx2()) {
        i = ColorPixelsAvx2<kTranslucent>(coverage, count, opacity, rgb, out);
    }
#endif
    ColorPixels<kTranslucent>(coverage + i, count - i, opacity, rgb, out + i);
}

template <bool kTranslucent>
void GlyphColorPixels(const uint16* coverage, int32 count, uint32 opacity, uint32 rgb,
                      uint32* out) {
    int32 i = 0;
#if defined(__x86_64__)
    if (yk_zip_sketcher_has_avx2()) {
        i = GlyphColorPixelsAvx2<kTranslucent>(coverage, count, opacity, rgb, out);
    }
#endif
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i scale = _mm_set1_epi16(8160);
    const __m128i red = _mm_set1_epi16(static_cast<int16>(rgb >> 16));
    const __m128i greenBlue = _mm_set1_epi16(static_cast<int16>(rgb & 0xFFFF));
    const __m128i alpha = _mm_set1_epi16(static_cast<int16>(opacity));
    const __m128i one = _mm_set1_epi16(1);
    for (; i + 8 <= count; i += 8) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coverage + i));
        __m128i a = _mm_mulhi_epu16(c, scale);
        if constexpr (kTranslucent) {
            const __m128i product = _mm_mullo_epi16(a, alpha);
            a = _mm_srli_epi16(
                _mm_add_epi16(_mm_add_epi16(_mm_srli_epi16(product, 8), one), product), 8);
        }
        const __m128i empty = _mm_cmpeq_epi16(c, zero);
        const __m128i low = _mm_andnot_si128(empty, greenBlue);
        const __m128i high = _mm_or_si128(_mm_slli_epi16(a, 8), _mm_andnot_si128(empty, red));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi16(low, high));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 4), _mm_unpackhi_epi16(low, high));
    }
#endif
    ColorPixels<kTranslucent>(coverage + i, count - i, opacity, rgb, out + i);
}

// Coverage applied to a gradient's straight pixels: the alpha of the coverage with the pixel's
// alpha as its opacity.
template <typename Coverage>
void CoverGradientPixels(const Coverage* coverage, int32 count, uint32* out) {
    int32 i = 0;
#if defined(__x86_64__)
    if constexpr (std::is_same_v<Coverage, int32>) {
        if (yk_zip_sketcher_has_avx2()) {
            i = CoverPixelsAvx2(coverage, count, out);
        }
    }
#endif
    for (; i < count; ++i) {
        const uint32 alpha = WithOpacity(CoverageToAlpha(coverage[i]), out[i] >> 24);
        out[i] = coverage[i] == 0 ? 0 : alpha << 24 | (out[i] & 0x00FFFFFFu);
    }
}

bool PatternPaints(const YKSketcher::PatternPaint& p) {
    const YKPattern* pattern = p.pattern;
    return pattern != nullptr && pattern->Data() != nullptr && pattern->Width() > 0 &&
           pattern->Height() > 0 && pattern->BytesPerRow() >= pattern->Width() * 4 && p.alpha != 0;
}

}  // namespace

bool yk_zip_sketcher_has_avx2() {
#if defined(__x86_64__)
    static const bool supported = __builtin_cpu_supports("avx2");
    return supported;
#else
    return false;
#endif
}

bool YKZipSketcher::Paints(const Paint& paint) {
    switch (paint.style) {
        case YK_STYLE_COLOR:
            return true;
        case YK_STYLE_PATTERN:
            return PatternPaints(*paint.pattern);
        case YK_STYLE_GRADIENT:
            return paint.gradient != nullptr;
        default:
            return false;
    }
}

void YKZipSketcher::PaintCoverageRow(const Paint& paint, int32 y, const YKCoveragePiece* pieces,
                                     std::size_t count, const int32* coverage) {
    const int32 x0 = pieces[0].x0;
    const int32 width = pieces[count - 1].x1 - x0 + 1;
    if (static_cast<std::size_t>(width) > mLine.size()) {
        return;
    }
    uint32* out = mLine.data();
    if (paint.style == YK_STYLE_COLOR) {
        // A plain colour's full run is a fill of the bitmap, cheaper than pixels made for it.
        for (const YKCoveragePiece& piece : std::span(pieces, count)) {
            const int32 n = piece.x1 - piece.x0 + 1;
            if (piece.full) {
                PaintRun(paint, y, piece.x0, piece.x1);
            } else {
                RowPixels(paint, y, piece.x0, n, coverage + (piece.x0 - x0), out);
                mBuffer->SetPixelsAt(y, piece.x0, n, out, paint.mode);
            }
        }
        return;
    }
    // A gradient's or pattern's row is made once and written as one run, the coverage applied
    // to the pieces that have it: the paint is set up and the bitmap's blocks are found once
    // per row. A translucent pattern's opacity rounds differently with and without coverage,
    // so its pieces are made one by one.
    if (paint.style == YK_STYLE_GRADIENT || paint.pattern->alpha == 255) {
        RowPixels<int32>(paint, y, x0, width, nullptr, out);
        for (const YKCoveragePiece& piece : std::span(pieces, count)) {
            const int32 offset = piece.x0 - x0;
            if (!piece.full) {
                CoverPixels(paint, coverage + offset, piece.x1 - piece.x0 + 1, out + offset);
            }
        }
    } else {
        for (const YKCoveragePiece& piece : std::span(pieces, count)) {
            const int32 offset = piece.x0 - x0;
            RowPixels(paint, y, piece.x0, piece.x1 - piece.x0 + 1,
                      piece.full ? nullptr : coverage + offset, out + offset);
        }
    }
    mBuffer->SetPixelsAt(y, x0, width, out, paint.mode);
}

void YKZipSketcher::PaintRun(const Paint& paint, int32 y, int32 x0, int32 x1) {
    const int32 count = x1 - x0 + 1;
    if (count <= 0 || static_cast<std::size_t>(count) > mLine.size()) {
        return;
    }
    if (paint.style == YK_STYLE_COLOR) {
        const yk_color c = paint.color;
        const uint32 pixel =
            uint32{c.alpha} << 24 | uint32{c.red} << 16 | uint32{c.green} << 8 | c.blue;
        mBuffer->SetPixelAt(y, x0, count, pixel, paint.mode);
        return;
    }
    RowPixels<int32>(paint, y, x0, count, nullptr, mLine.data());
    mBuffer->SetPixelsAt(y, x0, count, mLine.data(), paint.mode);
}

template <typename Coverage>
void YKZipSketcher::RowPixels(const Paint& paint, int32 y, int32 x0, int32 count,
                              const Coverage* coverage, uint32* out) {
    switch (paint.style) {
        case YK_STYLE_COLOR: {
            const yk_color c = paint.color;
            const uint32 rgb = uint32{c.red} << 16 | uint32{c.green} << 8 | c.blue;
            // Pixel by pixel without branches, so that the compiler takes several at once:
            // cheaper than finding runs, even inside shapes, and glyph rows change coverage at
            // nearly every pixel.
            if constexpr (std::is_same_v<Coverage, uint16>) {
                if (c.alpha == 255) {
                    GlyphColorPixels<false>(coverage, count, c.alpha, rgb, out);
                } else {
                    GlyphColorPixels<true>(coverage, count, c.alpha, rgb, out);
                }
            } else if (c.alpha == 255) {
                ScanColorPixels<false>(coverage, count, c.alpha, rgb, out);
            } else {
                ScanColorPixels<true>(coverage, count, c.alpha, rgb, out);
            }
            break;
        }
        case YK_STYLE_PATTERN:
            PatternRow(paint, y, x0, count, coverage, out);
            break;
        case YK_STYLE_GRADIENT:
            GradientRow(paint, y, x0, count, coverage, out);
            break;
        default:
            break;
    }
}

template <typename Coverage>
void YKZipSketcher::GradientRow(const Paint& paint, int32 y, int32 x0, int32 count,
                                const Coverage* coverage, uint32* out) {
    paint.gradient->GetRow(x0, y, count, out);
    if (coverage != nullptr) {
        CoverGradientPixels(coverage, count, out);
    }
}

void YKZipSketcher::CoverPixels(const Paint& paint, const int32* coverage, int32 count,
                                uint32* out) {
    if (paint.style == YK_STYLE_GRADIENT) {
        CoverGradientPixels(coverage, count, out);
    } else {
        yk_zip_sketcher_cover_pattern(coverage, count, paint.pattern->alpha, out);
    }
}

// The glyph band's rows.
template void YKZipSketcher::RowPixels(const Paint&, int32, int32, int32, const uint16*, uint32*);
