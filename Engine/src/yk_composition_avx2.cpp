#include "yk_composition_avx2.h"

#include <immintrin.h>

#include <cstdint>
#include <cstring>
#include <type_traits>

// Sections: lane helpers, mixed colours, HSV, the loops.
//
// Only functions marked YK_AVX2 use the instructions: a whole-file target would also compile
// the inline functions shared with other files for AVX2, and the linker may keep that copy.
#define YK_AVX2 __attribute__((target("avx2")))
// For the pieces of a loop's body: a call would pass the vectors through memory.
#define YK_AVX2_INLINE __attribute__((target("avx2"), always_inline))

namespace yk_merge::avx2 {

bool Supported() {
    static const bool supported = __builtin_cpu_supports("avx2");
    return supported;
}

namespace {

using V = __m256i;

// --- Lane helpers ---

YK_AVX2 V Splat(uint32 x) {
    return _mm256_set1_epi32(static_cast<int>(x));
}
YK_AVX2 V Splat16(uint32 x) {
    return _mm256_set1_epi16(static_cast<short>(x));
}
YK_AVX2 V Zero() {
    return _mm256_setzero_si256();
}
YK_AVX2 V Load(const uint32* p) {
    return _mm256_loadu_si256(reinterpret_cast<const V*>(p));
}
YK_AVX2 void Store(uint32* p, V v) {
    _mm256_storeu_si256(reinterpret_cast<V*>(p), v);
}
YK_AVX2 V Select(V no, V yes, V mask) {
    return _mm256_blendv_epi8(no, yes, mask);
}

// Skipping clear sources leaves gaps in the destination reads that the hardware prefetcher
// does not bridge. The address is formed as an integer since it may lie past the row.
YK_AVX2 void PrefetchAhead(const uint32* p) {
    _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(p) + 512), _MM_HINT_T0);
}

// round255 per 16-bit lane (also per 32-bit lane holding less than 65536).
YK_AVX2 V Round255(V x) {
    return _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_add_epi16(x, _mm256_srli_epi16(x, 8)), Splat16(1)), 8);
}

// yk_scale of alphas held in 32-bit lanes; alpha·level fits the low 16 bits.
YK_AVX2 V Scale(V alpha, uint32 level) {
    return level == 255 ? alpha : Round255(_mm256_mullo_epi16(alpha, Splat(level)));
}

// Each lane's low byte copied to all four of its bytes.
YK_AVX2 V SpreadLowByte(V v) {
    const V pattern = _mm256_setr_epi8(0, 0, 0, 0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12, 0, 0, 0,
                                       0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12);
    return _mm256_shuffle_epi8(v, pattern);
}

// Bytes widened to 16-bit lanes, in two halves that Narrow puts back in order.
struct Wide {
    V lo, hi;
};
YK_AVX2 Wide Widen(V v) {
    return {_mm256_unpacklo_epi8(v, Zero()), _mm256_unpackhi_epi8(v, Zero())};
}
YK_AVX2 V Narrow(V lo, V hi) {
    return _mm256_packus_epi16(lo, hi);
}

// x·w + y·(255 − w) per 16-bit lane; at most 65025.
YK_AVX2 V Weigh(V x, V y, V w) {
    return _mm256_add_epi16(_mm256_mullo_epi16(x, w),
                            _mm256_mullo_epi16(y, _mm256_sub_epi16(Splat16(255), w)));
}

// x's bytes weighed against y's by the per-pixel weights w (0..255 in 32-bit lanes), then
// divided by 256 (compose onto opaque) or by 255 with round255 (overlay).
template <bool kRound>
YK_AVX2 V Blend(V x, V y, V w) {
    const Wide xw = Widen(x), yw = Widen(y), ww = Widen(SpreadLowByte(w));
    V lo = Weigh(xw.lo, yw.lo, ww.lo), hi = Weigh(xw.hi, yw.hi, ww.hi);
    if constexpr (kRound) {
        lo = Round255(lo);
        hi = Round255(hi);
    } else {
        lo = _mm256_srli_epi16(lo, 8);
        hi = _mm256_srli_epi16(hi, 8);
    }
    return Narrow(lo, hi);
}

// --- Mixed colours, per byte (the alpha byte comes out meaningless) ---

YK_AVX2 V MixColour(Separable<MultiplyChannel>, V d, V s) {
    const Wide dw = Widen(d), sw = Widen(s);
    return Narrow(Round255(_mm256_mullo_epi16(dw.lo, sw.lo)),
                  Round255(_mm256_mullo_epi16(dw.hi, sw.hi)));
}
YK_AVX2 V MixColour(Separable<ScreenChannel>, V d, V s) {
    const V ones = _mm256_set1_epi32(-1);
    const Wide dw = Widen(_mm256_xor_si256(d, ones)), sw = Widen(_mm256_xor_si256(s, ones));
    const V full = Splat16(65025);
    return Narrow(Round255(_mm256_sub_epi16(full, _mm256_mullo_epi16(dw.lo, sw.lo))),
                  Round255(_mm256_sub_epi16(full, _mm256_mullo_epi16(dw.hi, sw.hi))));
}
YK_AVX2 V MixColour(Separable<AddChannel>, V d, V s) {
    return _mm256_adds_epu8(d, s);
}
YK_AVX2 V MixColour(Separable<SubtractChannel>, V d, V s) {
    return _mm256_subs_epu8(d, s);
}
YK_AVX2 V MixColour(Separable<DarkestChannel>, V d, V s) {
    return _mm256_min_epu8(d, s);
}
YK_AVX2 V MixColour(Separable<LightestChannel>, V d, V s) {
    return _mm256_max_epu8(d, s);
}
YK_AVX2 V MixColour(Separable<DifferenceChannel>, V d, V s) {
    return _mm256_or_si256(_mm256_subs_epu8(d, s), _mm256_subs_epu8(s, d));
}
// (d + s) >> 1 without leaving the byte: the common bits plus half the differing ones.
YK_AVX2 V MixColour(Separable<AverageChannel>, V d, V s) {
    const V half =
        _mm256_and_si256(_mm256_srli_epi16(_mm256_xor_si256(d, s), 1), Splat(0x7F7F7F7F));
    return _mm256_add_epi8(_mm256_and_si256(d, s), half);
}
YK_AVX2 V MixColour(Separable<InvertChannel>, V d, V) {
    return _mm256_xor_si256(d, _mm256_set1_epi32(-1));
}
YK_AVX2 V MixColour(Separable<XorChannel>, V d, V s) {
    return _mm256_xor_si256(d, s);
}

// --- HSV, one pixel per 32-bit lane ---

struct HsvLanes {
    V h, s, v;
};

// x / divisor, truncated toward zero: exact in single precision for |x| up to 65025 and
// divisors up to 255 (yk_divide).
YK_AVX2 V Divide(V x, V divisor) {
    return _mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(x), _mm256_cvtepi32_ps(divisor)));
}
YK_AVX2 V Times255(V x) {
    return _mm256_sub_epi32(_mm256_slli_epi32(x, 8), x);
}

YK_AVX2 HsvLanes ToHsv(V p) {
    const V byte = Splat(255), one = Splat(1);
    const V r = _mm256_and_si256(_mm256_srli_epi32(p, 16), byte);
    const V g = _mm256_and_si256(_mm256_srli_epi32(p, 8), byte);
    const V b = _mm256_and_si256(p, byte);
    const V v = _mm256_max_epi32(r, _mm256_max_epi32(g, b));
    const V delta = _mm256_sub_epi32(v, _mm256_min_epi32(r, _mm256_min_epi32(g, b)));
    const V redMax = _mm256_cmpeq_epi32(r, v), greenMax = _mm256_cmpeq_epi32(g, v);
    const V difference = Select(Select(_mm256_sub_epi32(r, g), _mm256_sub_epi32(b, r), greenMax),
                                _mm256_sub_epi32(g, b), redMax);
    const V offset = Select(Select(Splat(1020), Splat(510), greenMax), Zero(), redMax);
    V h = _mm256_add_epi32(Divide(Times255(difference), _mm256_max_epi32(delta, one)), offset);
    h = _mm256_add_epi32(h, _mm256_and_si256(_mm256_cmpgt_epi32(Zero(), h), Splat(1530)));
    h = Select(h, Splat(1275), _mm256_cmpeq_epi32(delta, Zero()));
    return {h, Divide(Times255(delta), _mm256_max_epi32(v, one)), v};
}

YK_AVX2 V ToRgb(HsvLanes c) {
    const V byte = Splat(255);
    // Every product below is under 65536, so 16-bit multiplies and round255 serve.
    const V sector = Round255(c.h);
    const V f = _mm256_sub_epi32(c.h, Times255(sector));
    const V p = Round255(_mm256_mullo_epi16(_mm256_sub_epi32(byte, c.s), c.v));
    const V q = Round255(
        _mm256_mullo_epi16(_mm256_sub_epi32(byte, Round255(_mm256_mullo_epi16(c.s, f))), c.v));
    const V t = Round255(_mm256_mullo_epi16(
        _mm256_sub_epi32(byte, Round255(_mm256_mullo_epi16(c.s, _mm256_sub_epi32(byte, f)))), c.v));
    V in[6];
    for (uint32 k = 0; k < 6; ++k) {
        in[k] = _mm256_cmpeq_epi32(sector, Splat(k));
    }
    // Sectors 0-5 give (v, t, p), (q, v, p), (p, v, t), (p, q, v), (t, p, v), (v, p, q).
    const V r = Select(Select(Select(c.v, q, in[1]), p, _mm256_or_si256(in[2], in[3])), t, in[4]);
    const V g = Select(Select(Select(p, c.v, _mm256_or_si256(in[1], in[2])), t, in[0]), q, in[3]);
    const V b = Select(Select(Select(c.v, p, _mm256_or_si256(in[0], in[1])), t, in[2]), q, in[5]);
    const V grey = _mm256_cmpeq_epi32(c.s, Zero());
    return _mm256_or_si256(_mm256_or_si256(_mm256_slli_epi32(Select(r, c.v, grey), 16),
                                           _mm256_slli_epi32(Select(g, c.v, grey), 8)),
                           Select(b, c.v, grey));
}

YK_AVX2 V MixColour(ReplaceHueColour, V d, V s) {
    const HsvLanes hd = ToHsv(d);
    return ToRgb({ToHsv(s).h, hd.s, hd.v});
}
YK_AVX2 V MixColour(ReplaceSaturationColour, V d, V s) {
    const HsvLanes hd = ToHsv(d);
    return ToRgb({hd.h, ToHsv(s).s, hd.v});
}
YK_AVX2 V MixColour(ReplaceLuminosityColour, V d, V s) {
    const HsvLanes hd = ToHsv(d);
    return ToRgb({hd.h, hd.s, ToHsv(s).v});
}
YK_AVX2 V MixColour(ReplaceColourColour, V d, V s) {
    const HsvLanes hs = ToHsv(s);
    return ToRgb({hs.h, hs.s, ToHsv(d).v});
}

// --- The loops ---

// The colour that is composed: the source's for compose, the mixed one for a mix. Onto an
// opaque destination the mix's pull back towards the source vanishes: round255(m·255) is m.
template <class Op>
struct Composed;
template <>
struct Composed<Compose> {
    YK_AVX2 static V Colour(V, V s) { return s; }
};
template <class M>
struct Composed<Mix<M>> {
    YK_AVX2 static V Colour(V d, V s) { return MixColour(M{}, d, s); }
};

// One channel of ComposeScaled's division: (c·ws + d·wd) / (sum + 1) in single precision. The
// numerator is below 2^24 (255 · 65025) and so is the divisor times the quotient plus one, so the
// quotient rounds to no integer it does not reach: truncating it gives the integer quotient.
template <int kShift>
YK_AVX2_INLINE inline V ComposeChannel(V d, V c, V ws, V wd, __m256 divisor) {
    const V byte = Splat(255);
    const V cc = _mm256_and_si256(_mm256_srli_epi32(c, kShift), byte);
    const V dc = _mm256_and_si256(_mm256_srli_epi32(d, kShift), byte);
    const V n = _mm256_add_epi32(_mm256_mullo_epi32(cc, ws), _mm256_mullo_epi32(dc, wd));
    const V q = _mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(n), divisor));
    return _mm256_slli_epi32(q, kShift);
}

// ComposeScaled's colour c onto destinations of alpha 1..254 at source alphas a.
YK_AVX2_INLINE inline V ComposeOnTranslucent(V d, V c, V a) {
    const V ws = Times255(a);
    const V wd = _mm256_mullo_epi32(_mm256_sub_epi32(Splat(255), a), _mm256_srli_epi32(d, 24));
    const V sum = _mm256_add_epi32(ws, wd);
    const __m256 divisor = _mm256_cvtepi32_ps(_mm256_add_epi32(sum, Splat(1)));
    const V colour = _mm256_or_si256(_mm256_or_si256(ComposeChannel<16>(d, c, ws, wd, divisor),
                                                     ComposeChannel<8>(d, c, ws, wd, divisor)),
                                     ComposeChannel<0>(d, c, ws, wd, divisor));
    V out = _mm256_or_si256(_mm256_slli_epi32(Round255(sum), 24), colour);
    out = Select(out, _mm256_or_si256(_mm256_and_si256(c, Splat(kColour)), Splat(kOpaque)),
                 _mm256_cmpeq_epi32(a, Splat(255)));
    return Select(out, d, _mm256_cmpeq_epi32(a, Zero()));
}

// Compose or a mix onto opaque or clear destinations.
template <class Op>
YK_AVX2_INLINE inline V ComposeSettled(V dv, V sv, V x, V dOpaque, uint32 level) {
    constexpr bool kMix = !std::is_same_v<Op, Compose>;
    const V alpha = Splat(kOpaque);
    const V sA = _mm256_srli_epi32(sv, 24);
    const V a = Scale(sA, level);
    const V aZero = _mm256_cmpeq_epi32(a, Zero());
    V onOpaque = _mm256_or_si256(Blend<false>(x, dv, a), alpha);
    onOpaque = Select(onOpaque, _mm256_or_si256(x, alpha), _mm256_cmpeq_epi32(a, Splat(255)));
    onOpaque = Select(onOpaque, dv, aZero);
    // A mix keeps a clear destination only under a clear source, compose whenever a is 0.
    const V keep = kMix ? _mm256_cmpeq_epi32(sA, Zero()) : aZero;
    const V taken = _mm256_or_si256(_mm256_and_si256(sv, Splat(kColour)), _mm256_slli_epi32(a, 24));
    return Select(Select(taken, dv, keep), onOpaque, dOpaque);
}

// Compose or a mix, eight pixels, whatever the destinations' alphas.
template <class Op>
YK_AVX2_INLINE inline void ComposeAnyGroup(uint32* d, V sv, uint32 level) {
    const V dv = Load(d);
    const V alpha = Splat(kOpaque);
    const V dAlpha = _mm256_and_si256(dv, alpha);
    const V dOpaque = _mm256_cmpeq_epi32(dAlpha, alpha);
    const V settled = _mm256_or_si256(dOpaque, _mm256_cmpeq_epi32(dAlpha, Zero()));
    const V x = Composed<Op>::Colour(dv, sv);
    // Where the destination is thin a mix's colour leans back towards the source.
    const V colour =
        std::is_same_v<Op, Compose> ? sv : Blend<true>(x, sv, _mm256_srli_epi32(dv, 24));
    const V a = Scale(_mm256_srli_epi32(sv, 24), level);
    Store(d, Select(ComposeOnTranslucent(dv, colour, a),
                    ComposeSettled<Op>(dv, sv, x, dOpaque, level), settled));
}

YK_AVX2_INLINE inline bool ClearSources(V sv) {
    return _mm256_testz_si256(sv, Splat(kOpaque)) != 0;
}

// A loop over groups of eight, the last one partial. group(d, loaded s) merges a group in place,
// and skip(s) says when a group's sources leave every destination as it is. The last few pixels
// go through a group on the stack: masked stores are slow on some processors, and shapes' rows
// are short.
template <class GroupOf, class Skips>
YK_AVX2 void MergeLoop(uint32* d, const uint32* s, int32 count, GroupOf group, Skips skips) {
    int32 i = 0;
    for (; i + 8 <= count; i += 8) {
        PrefetchAhead(d + i);
        const V sv = Load(s + i);
        if (!skips(sv)) {
            group(d + i, sv);
        }
    }
    if (i < count) {
        alignas(32) uint32 sources[8] = {};
        alignas(32) uint32 destinations[8] = {};
        const auto rest = static_cast<std::size_t>(count - i) * 4;
        std::memcpy(sources, s + i, rest);
        const V sv = Load(sources);
        if (!skips(sv)) {
            std::memcpy(destinations, d + i, rest);
            group(destinations, sv);
            std::memcpy(d + i, destinations, rest);
        }
    }
}

// Compose or a mix over destinations that are all opaque or clear, from the start up to the
// first group where one is neither; returns where it stopped. Kept apart from the general case,
// whose call or constants would crowd this loop's registers.
template <class Op>
YK_AVX2 int32 ComposeSettledGroups(uint32* d, const uint32* s, uint32 level, int32 count) {
    const V alpha = Splat(kOpaque);
    int32 i = 0;
    for (; i + 8 <= count; i += 8) {
        PrefetchAhead(d + i);
        const V sv = Load(s + i);
        if (ClearSources(sv)) {
            continue;
        }
        const bool opaqueSources = level == 255 && _mm256_testc_si256(sv, alpha);
        if (std::is_same_v<Op, Compose> && opaqueSources) {
            Store(d + i, sv);  // they replace what they compose onto
            continue;
        }
        const V dv = Load(d + i);
        const V dAlpha = _mm256_and_si256(dv, alpha);
        const V dOpaque = _mm256_cmpeq_epi32(dAlpha, alpha);
        const V settled = _mm256_or_si256(dOpaque, _mm256_cmpeq_epi32(dAlpha, Zero()));
        if (_mm256_movemask_epi8(settled) != -1) {
            return i;
        }
        const V x = Composed<Op>::Colour(dv, sv);
        // Opaque sources give a mix's colour on opaque destinations, themselves on clear ones.
        Store(d + i, opaqueSources ? Select(sv, _mm256_or_si256(x, alpha), dOpaque)
                                   : ComposeSettled<Op>(dv, sv, x, dOpaque, level));
    }
    return i;
}

// The general case, the last group partial.
template <class Op>
__attribute__((noinline)) YK_AVX2 void ComposeAnyGroups(uint32* d, const uint32* s, uint32 level,
                                                        int32 count) {
    MergeLoop(
        d, s, count, [&](uint32* at, V sv) YK_AVX2_INLINE { ComposeAnyGroup<Op>(at, sv, level); },
        ClearSources);
}

template <class Op>
YK_AVX2 void ComposeLoop(uint32* d, const uint32* s, uint32 level, int32 count) {
    const int32 i = ComposeSettledGroups<Op>(d, s, level, count);
    if (i < count) {
        ComposeAnyGroups<Op>(d + i, s + i, level, count - i);
    }
}

// Overlay does not look at the destination's alpha.
YK_AVX2 void OverlayLoop(uint32* d, const uint32* s, uint32 level, int32 count) {
    MergeLoop(
        d, s, count,
        [&](uint32* at, V sv) YK_AVX2_INLINE {
            const V alpha = Splat(kOpaque);
            if (level == 255 && _mm256_testc_si256(sv, alpha)) {
                Store(at, sv);
                return;
            }
            const V dv = Load(at);
            const V a = Scale(_mm256_srli_epi32(sv, 24), level);
            V result = _mm256_or_si256(Blend<true>(sv, dv, a), alpha);
            result = Select(result, sv, _mm256_cmpeq_epi32(a, Splat(255)));
            Store(at, Select(result, dv, _mm256_cmpeq_epi32(a, Zero())));
        },
        ClearSources);
}

}  // namespace

template <class Op>
void Arrays(uint32* d, const uint32* s, uint32 level, int32 count) {
    if constexpr (std::is_same_v<Op, Overlay>) {
        OverlayLoop(d, s, level, count);
    } else {
        ComposeLoop<Op>(d, s, level, count);
    }
}

template void Arrays<Compose>(uint32*, const uint32*, uint32, int32);
template void Arrays<Overlay>(uint32*, const uint32*, uint32, int32);
template void Arrays<Mix<Separable<MultiplyChannel>>>(uint32*, const uint32*, uint32, int32);
template void Arrays<Mix<Separable<ScreenChannel>>>(uint32*, const uint32*, uint32, int32);
template void Arrays<Mix<Separable<AddChannel>>>(uint32*, const uint32*, uint32, int32);
template void Arrays<Mix<Separable<SubtractChannel>>>(uint32*, const uint32*, uint32, int32);
template void Arrays<Mix<Separable<DarkestChannel>>>(uint32*, const uint32*, uint32, int32);
template void Arrays<Mix<Separable<LightestChannel>>>(uint32*, const uint32*, uint32, int32);
template void Arrays<Mix<Separable<DifferenceChannel>>>(uint32*, const uint32*, uint32, int32);
template void Arrays<Mix<Separable<AverageChannel>>>(uint32*, const uint32*, uint32, int32);
template void Arrays<Mix<Separable<InvertChannel>>>(uint32*, const uint32*, uint32, int32);
template void Arrays<Mix<Separable<XorChannel>>>(uint32*, const uint32*, uint32, int32);
template void Arrays<Mix<ReplaceHueColour>>(uint32*, const uint32*, uint32, int32);
template void Arrays<Mix<ReplaceSaturationColour>>(uint32*, const uint32*, uint32, int32);
template void Arrays<Mix<ReplaceLuminosityColour>>(uint32*, const uint32*, uint32, int32);
template void Arrays<Mix<ReplaceColourColour>>(uint32*, const uint32*, uint32, int32);

}  // namespace yk_merge::avx2
