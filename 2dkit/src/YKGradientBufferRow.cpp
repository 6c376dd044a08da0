// Rows of a gradient buffer: the parameters of a run of pixels, each with the arithmetic
// ParameterAt uses for it so that the two agree bit for bit, then the pixels from the ramp's
// pixel table. Only the row's constant terms are hoisted: a running sum stepped along the row
// would drift from the per-pixel products in the last bits.

#include <algorithm>
#include <array>
#include <cmath>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "YKGradient.h"
#include "YKGradientBuffer.h"
#include "YKGradientPixelTable.h"
#include "YKGradientRowCache.h"
#include "YKZipSketcherPaint.h"

namespace {

constexpr int32 kChunk = 256;
constexpr double kPi = 3.14159265358979323846;

// The arc tangents of 0, 1/8, ..., 1.
const double* AtanOfEighths() {
    static const auto table = [] {
        std::array<double, 9> value{};
        for (int32 k = 0; k <= 8; ++k) {
            value[std::size_t(k)] = std::atan(k / 8.0);
        }
        return value;
    }();
    return table.data();
}

// atan2(y, x) without a library call, off by less than 1e-13 (not both zero): the ratio of the
// smaller to the larger side is taken from its nearest eighth c, whose arc tangent is known, by
// atan(a) = atan(c) + atan(u), u = (a - c) / (1 + a c), |u| <= 1/16, and atan(u) to its u^9 term
// (the next is below 2e-14).
double Atan2Estimate(double y, double x) {
    const double* eighths = AtanOfEighths();
    const double ax = std::fabs(x);
    const double ay = std::fabs(y);
    const bool steep = ay > ax;
    const double a = steep ? ax / ay : ay / ax;
    const auto k = static_cast<int32>(a * 8.0 + 0.5);
    const double c = k * 0.125;
    const double u = (a - c) / (1.0 + a * c);
    const double u2 = u * u;
    double r = eighths[k] +
               u * (1.0 + u2 * (-1.0 / 3.0 + u2 * (1.0 / 5.0 + u2 * (-1.0 / 7.0 + u2 / 9.0))));
    if (steep) {
        r = kPi / 2.0 - r;
    }
    if (x < 0.0) {
        r = kPi - r;
    }
    return y < 0.0 ? -r : r;
}

// The asymmetric cone's parameter (its power 1) from the estimated arc tangent, by the same
// steps as the exact one.
double ConeEstimate(double dx, double dy, double base) {
    double theta = Atan2Estimate(dx, dy) + kPi - base;
    if (theta < 0.0) {
        theta += 2.0 * kPi;
    }
    const double e = theta / (2.0 * kPi);
    return e > 1.0 ? e - 1.0 : e;
}

// The symmetric cone's parameter (its power 1) from the estimated arc tangent: acos(c) is the
// angle whose cosine is c and sine sqrt((1 - c)(1 + c)), both factors exact near c = ±1.
double SymmetricConeEstimate(double dx, double dy, double ux, double uy) {
    const double r = std::sqrt(dx * dx + dy * dy);
    const double c = std::fmin(std::fmax((ux * dx + uy * dy) / r, -1.0), 1.0);
    return Atan2Estimate(std::sqrt((1.0 - c) * (1.0 + c)), c) / kPi;
}

// How far an estimated parameter may lie from the exact one, with room to spare: the estimated
// arc tangent is within 1e-13, and the same arithmetic follows in both. The symmetric cone's
// angle moves more with the last bits of its cosine only where the cosine is nearly ±1, deep
// inside the first or last step, whose pixels hold up to their ends.
constexpr double kEstimateMargin = 1e-9;

// The row's constants of the types with a vector form.
struct RowTerms {
    GradientType type;
    double originX;
    double rampStart, rampScale;  // the offset ramp
    double inv;                   // 1 / L
    double a, b;                  // the direction's terms: u for the linear types, the turn's
                                  // cosine and sine for the square and the waves
    double aDy, bDy;              // a * dy and b * dy (the linear types: u.y * dy in bDy)
    double dy2;
    double invD, steps, amplitude, stretch;  // the waves
    const double* sine;
};

#if defined(__x86_64__)
#define YK_AVX2 __attribute__((target("avx2")))

YK_AVX2 inline __m256d Ramp4(__m256d t, const RowTerms& k) {
    const __m256d ramped =
        _mm256_mul_pd(_mm256_sub_pd(t, _mm256_set1_pd(k.rampStart)), _mm256_set1_pd(k.rampScale));
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d top = _mm256_blendv_pd(ramped, one, _mm256_cmp_pd(t, one, _CMP_GE_OQ));
    return _mm256_blendv_pd(top, _mm256_setzero_pd(),
                            _mm256_cmp_pd(t, _mm256_set1_pd(k.rampStart), _CMP_LT_OQ));
}

YK_AVX2 inline __m256d Abs4(__m256d v) {
    return _mm256_andnot_pd(_mm256_set1_pd(-0.0), v);
}

// The larger of two, or the other where one is NaN, as fmax.
YK_AVX2 inline __m256d Fmax4(__m256d a, __m256d b) {
    const __m256d larger = _mm256_max_pd(a, b);  // b where either is NaN
    return _mm256_blendv_pd(larger, a, _mm256_cmp_pd(b, b, _CMP_UNORD_Q));
}

// The sine table at an angle in steps: bounded, truncated, and wrapped to the table as the
// integer's low bits are, here as v - 4096 * floor(v / 4096), which is exact for whole numbers
// this small.
YK_AVX2 inline __m256d Sine4(__m256d steps, const RowTerms& k) {
    const __m256d bound = _mm256_set1_pd(1e15);
    const __m256d low = _mm256_sub_pd(_mm256_setzero_pd(), bound);
    __m256d v = _mm256_blendv_pd(bound, steps, _mm256_cmp_pd(steps, bound, _CMP_LT_OQ));
    v = _mm256_blendv_pd(low, v, _mm256_cmp_pd(steps, low, _CMP_GT_OQ));
    v = _mm256_round_pd(v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
    const __m256d period = _mm256_set1_pd(YKGradientBuffer::kTrigSteps);
    const __m256d turns =
        _mm256_floor_pd(_mm256_mul_pd(v, _mm256_set1_pd(1.0 / YKGradientBuffer::kTrigSteps)));
    alignas(16) int32 index[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(index),
                    _mm256_cvttpd_epi32(_mm256_sub_pd(v, _mm256_mul_pd(turns, period))));
    // Loads one by one: gathers are slower than four loads on many processors.
    return _mm256_setr_pd(k.sine[index[0]], k.sine[index[1]], k.sine[index[2]], k.sine[index[3]]);
}

YK_AVX2 inline __m256d Parameter4(__m256d dx, const RowTerms& k) {
    const __m256d a = _mm256_set1_pd(k.a);
    const __m256d b = _mm256_set1_pd(k.b);
    const __m256d inv = _mm256_set1_pd(k.inv);
    switch (k.type) {
        case GRADIENT_LINEAR: {
            const __m256d p = _mm256_add_pd(_mm256_mul_pd(a, dx), _mm256_set1_pd(k.bDy));
            const __m256d half = _mm256_set1_pd(0.5);
            return Ramp4(_mm256_add_pd(_mm256_mul_pd(_mm256_mul_pd(p, inv), half), half), k);
        }
        case GRADIENT_BILINEAR: {
            const __m256d p = _mm256_add_pd(_mm256_mul_pd(a, dx), _mm256_set1_pd(k.bDy));
            return Ramp4(_mm256_mul_pd(Abs4(p), inv), k);
        }
        case GRADIENT_RADIAL: {
            const __m256d r2 = _mm256_add_pd(_mm256_mul_pd(dx, dx), _mm256_set1_pd(k.dy2));
            return Ramp4(_mm256_mul_pd(_mm256_sqrt_pd(r2), inv), k);
        }
        case GRADIENT_SQUARE: {
            const __m256d rx = _mm256_add_pd(_mm256_mul_pd(a, dx), _mm256_set1_pd(k.bDy));
            const __m256d ry = _mm256_sub_pd(_mm256_set1_pd(k.aDy), _mm256_mul_pd(b, dx));
            return Ramp4(_mm256_mul_pd(Fmax4(Abs4(rx), Abs4(ry)), inv), k);
        }
        default: {  // the waves: a is the turn's cosine, b its sine
            const __m256d along = _mm256_sub_pd(_mm256_mul_pd(b, dx), _mm256_set1_pd(k.aDy));
            const __m256d across = _mm256_add_pd(_mm256_set1_pd(k.bDy), _mm256_mul_pd(a, dx));
            const __m256d steps = _mm256_set1_pd(k.steps);
            __m256d wave = Sine4(_mm256_mul_pd(across, steps), k);
            if (k.type == GRADIENT_WAVE2) {
                wave = _mm256_mul_pd(wave, Sine4(_mm256_mul_pd(along, steps), k));
            }
            const __m256d one = _mm256_set1_pd(1.0);
            const __m256d base =
                _mm256_mul_pd(_mm256_add_pd(_mm256_mul_pd(along, _mm256_set1_pd(k.invD)), one),
                              _mm256_set1_pd(0.5));
            __m256d v = _mm256_add_pd(
                base, _mm256_mul_pd(_mm256_add_pd(wave, one), _mm256_set1_pd(k.amplitude)));
            v = _mm256_blendv_pd(v, _mm256_sub_pd(v, one), _mm256_cmp_pd(v, one, _CMP_GT_OQ));
            v = _mm256_mul_pd(v, _mm256_set1_pd(k.stretch));
            return _mm256_sub_pd(v, _mm256_floor_pd(v));
        }
    }
}

// Four pixels at a time; returns how many were done.
YK_AVX2 int32 RowParametersAvx2(const RowTerms& k, int32 x, int32 count, double* t) {
    const __m256d origin = _mm256_set1_pd(k.originX);
    const __m256d four = _mm256_set1_pd(4.0);
    __m256d xs = _mm256_add_pd(_mm256_set1_pd(x), _mm256_setr_pd(0.0, 1.0, 2.0, 3.0));
    int32 i = 0;
    for (; i + 4 <= count; i += 4) {
        _mm256_storeu_pd(t + i, Parameter4(_mm256_sub_pd(xs, origin), k));
        xs = _mm256_add_pd(xs, four);
    }
    return i;
}

// Atan2Estimate of four pairs at once. A pair of zeros comes out NaN.
YK_AVX2 __m256d Atan2Estimate4(__m256d y, __m256d x) {
    const double* eighths = AtanOfEighths();
    const __m256d sign = _mm256_set1_pd(-0.0);
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d ax = _mm256_andnot_pd(sign, x);
    const __m256d ay = _mm256_andnot_pd(sign, y);
    const __m256d steep = _mm256_cmp_pd(ay, ax, _CMP_GT_OQ);
    const __m256d a =
        _mm256_div_pd(_mm256_blendv_pd(ay, ax, steep), _mm256_blendv_pd(ax, ay, steep));
    const __m128i k = _mm256_cvttpd_epi32(
        _mm256_add_pd(_mm256_mul_pd(a, _mm256_set1_pd(8.0)), _mm256_set1_pd(0.5)));
    const __m256d c = _mm256_mul_pd(_mm256_cvtepi32_pd(k), _mm256_set1_pd(0.125));
    const __m256d u = _mm256_div_pd(_mm256_sub_pd(a, c), _mm256_add_pd(one, _mm256_mul_pd(a, c)));
    const __m256d u2 = _mm256_mul_pd(u, u);
    __m256d p =
        _mm256_add_pd(_mm256_set1_pd(-1.0 / 7.0), _mm256_mul_pd(u2, _mm256_set1_pd(1.0 / 9.0)));
    p = _mm256_add_pd(_mm256_set1_pd(1.0 / 5.0), _mm256_mul_pd(u2, p));
    p = _mm256_add_pd(_mm256_set1_pd(-1.0 / 3.0), _mm256_mul_pd(u2, p));
    p = _mm256_add_pd(one, _mm256_mul_pd(u2, p));
    alignas(16) int32 index[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(index), k);
    // NaN converts to an index out of range: look up 0 instead.
    for (int32& at : index) {
        at = at >= 0 && at <= 8 ? at : 0;
    }
    const __m256d known =
        _mm256_setr_pd(eighths[index[0]], eighths[index[1]], eighths[index[2]], eighths[index[3]]);
    __m256d r = _mm256_add_pd(known, _mm256_mul_pd(u, p));
    r = _mm256_blendv_pd(r, _mm256_sub_pd(_mm256_set1_pd(kPi / 2.0), r), steep);
    r = _mm256_blendv_pd(r, _mm256_sub_pd(_mm256_set1_pd(kPi), r),
                         _mm256_cmp_pd(x, _mm256_setzero_pd(), _CMP_LT_OQ));
    return _mm256_blendv_pd(r, _mm256_xor_pd(r, sign),
                            _mm256_cmp_pd(y, _mm256_setzero_pd(), _CMP_LT_OQ));
}

// The cones' estimates four pixels at a time, dx from `dx0` on; returns how many pixels were
// done. A pixel at the centre comes out NaN, which never settles.
YK_AVX2 int32 ConeEstimatesAvx2(bool symmetric, double dx0, double dy, double ux, double uy,
                                double base, int32 count, double* t) {
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d rows = _mm256_set1_pd(dy);
    __m256d dx = _mm256_add_pd(_mm256_set1_pd(dx0), _mm256_setr_pd(0.0, 1.0, 2.0, 3.0));
    int32 i = 0;
    for (; i + 4 <= count; i += 4) {
        __m256d e;
        if (symmetric) {
            const __m256d r =
                _mm256_sqrt_pd(_mm256_add_pd(_mm256_mul_pd(dx, dx), _mm256_set1_pd(dy * dy)));
            const __m256d dot =
                _mm256_add_pd(_mm256_mul_pd(_mm256_set1_pd(ux), dx), _mm256_set1_pd(uy * dy));
            const __m256d c =
                _mm256_min_pd(_mm256_max_pd(_mm256_div_pd(dot, r), _mm256_set1_pd(-1.0)), one);
            const __m256d sine =
                _mm256_sqrt_pd(_mm256_mul_pd(_mm256_sub_pd(one, c), _mm256_add_pd(one, c)));
            e = _mm256_div_pd(Atan2Estimate4(sine, c), _mm256_set1_pd(kPi));
        } else {
            const __m256d twoPi = _mm256_set1_pd(2.0 * kPi);
            __m256d theta = _mm256_add_pd(Atan2Estimate4(dx, rows), _mm256_set1_pd(kPi - base));
            theta = _mm256_blendv_pd(theta, _mm256_add_pd(theta, twoPi),
                                     _mm256_cmp_pd(theta, _mm256_setzero_pd(), _CMP_LT_OQ));
            e = _mm256_div_pd(theta, twoPi);
            e = _mm256_blendv_pd(e, _mm256_sub_pd(e, one), _mm256_cmp_pd(e, one, _CMP_GT_OQ));
        }
        _mm256_storeu_pd(t + i, e);
        dx = _mm256_add_pd(dx, _mm256_set1_pd(4.0));
    }
    return i;
}

#endif

// t[i] = parameter(dx) for the pixels from..count-1 of the row from x, dx their offset from S.
template <typename Parameter>
void ForRow(int32 x, double originX, int32 from, int32 count, double* t, Parameter parameter) {
    for (int32 i = from; i < count; ++i) {
        t[i] = parameter(static_cast<double>(x + i) - originX);
    }
}

}  // namespace

void YKGradientBuffer::RowParameters(int32 x, int32 y, int32 count, double* t) const {
    if (mLength == 0.0) {
        std::fill(t, t + count, 0.0);
        return;
    }
    const GradientType type = GetGradientType();
    const double dy = y - mOriginY;
    const bool square = type == GRADIENT_SQUARE;
    const bool wave = type == GRADIENT_WAVE1 || type == GRADIENT_WAVE2;
    RowTerms k{};
    k.type = type;
    k.originX = mOriginX;
    k.rampStart = mRampStart;
    k.rampScale = mRampScale;
    k.inv = mInvLength;
    k.a = square ? mSquareCos : wave ? mWaveCos : mUx;
    k.b = square ? mSquareSin : wave ? mWaveSin : mUy;
    k.aDy = k.a * dy;
    k.bDy = k.b * dy;
    k.dy2 = dy * dy;
    k.invD = mWaveInvD;
    k.steps = mWaveSteps;
    k.amplitude = GetAmplitude();
    k.stretch = GetStrech();
    k.sine = mSineTable;
    int32 done = 0;
#if defined(__x86_64__)
    if (yk_zip_sketcher_has_avx2() && (type <= GRADIENT_SQUARE || wave)) {
        done = RowParametersAvx2(k, x, count, t);
    }
#endif
    switch (type) {
        case GRADIENT_LINEAR:
            ForRow(x, mOriginX, done, count, t,
                   [&](double dx) { return Ramp((mUx * dx + k.bDy) * mInvLength * 0.5 + 0.5); });
            return;
        case GRADIENT_BILINEAR:
            ForRow(x, mOriginX, done, count, t,
                   [&](double dx) { return Ramp(std::fabs(mUx * dx + k.bDy) * mInvLength); });
            return;
        case GRADIENT_RADIAL:
            ForRow(x, mOriginX, done, count, t,
                   [&](double dx) { return Ramp(std::sqrt(dx * dx + k.dy2) * mInvLength); });
            return;
        case GRADIENT_SQUARE:
            ForRow(x, mOriginX, done, count, t, [&](double dx) {
                const double rx = mSquareCos * dx + k.bDy;
                const double ry = k.aDy - mSquareSin * dx;
                return Ramp(std::fmax(std::fabs(rx), std::fabs(ry)) * mInvLength);
            });
            return;
        case GRADIENT_HYPERBOLIC: {
            const double uyDy = dy * mUy;
            const double uxDy = dy * mUx;
            ForRow(x, mOriginX, done, count, t, [&](double dx) {
                const double r = std::sqrt(dx * dx + k.dy2);
                if (r == 0.0) {
                    return Ramp(0.0);
                }
                const double cb = (dx * mUx + uyDy) / r;
                const double sb = (dx * mUy - uxDy) / r;
                const double first = cb * (cb * dx + sb * dy);
                const double second = sb * (cb * dy - sb * dx);
                return Ramp(std::fmax(std::fabs(first), std::fabs(second)) * mInvLength);
            });
            return;
        }
        case GRADIENT_WAVE1:
        case GRADIENT_WAVE2:
            ForRow(x, mOriginX, done, count, t, [&](double dx) {
                const double along = mWaveSin * dx - k.aDy;
                const double across = k.bDy + mWaveCos * dx;
                double v = Sine(across * mWaveSteps);
                if (type == GRADIENT_WAVE2) {
                    v *= Sine(along * mWaveSteps);
                }
                v = (along * mWaveInvD + 1.0) * 0.5 + (v + 1.0) * k.amplitude;
                if (v > 1.0) {
                    v -= 1.0;
                }
                v *= k.stretch;
                return v - std::floor(v);
            });
            return;
        case GRADIENT_CONICAL_SYMMETRIC:
        case GRADIENT_CONICAL_ASYMMETRIC: {
            // The cones' arc cosine and arc tangent have no cheaper form with the same bits, but
            // an estimate that falls well inside a step of one pixel looks up what the exact
            // parameter would: only the others pay for the library's call. (With an offset the
            // parameter is raised to a power: always exact.)
            const bool symmetric = type == GRADIENT_CONICAL_SYMMETRIC;
            const bool estimate = mConeExponent == 1.0 && mPixels->Filled(*GetGradient());
            const auto exact = [&](double dx) {
                return symmetric ? SymmetricCone(dx, dy) : AsymmetricCone(dx, dy);
            };
            const auto settled = [&](double e, double dx) {
                return mPixels->Settles(e, kEstimateMargin) ? e : exact(dx);
            };
#if defined(__x86_64__)
            if (estimate && yk_zip_sketcher_has_avx2()) {
                done =
                    ConeEstimatesAvx2(symmetric, x - mOriginX, dy, mUx, mUy, mConeBase, count, t);
                for (int32 i = 0; i < done; ++i) {
                    t[i] = settled(t[i], static_cast<double>(x + i) - mOriginX);
                }
            }
#endif
            ForRow(x, mOriginX, done, count, t, [&](double dx) {
                if (!estimate || (dx == 0.0 && dy == 0.0)) {
                    return exact(dx);
                }
                return settled(symmetric ? SymmetricConeEstimate(dx, dy, mUx, mUy)
                                         : ConeEstimate(dx, dy, mConeBase),
                               dx);
            });
            return;
        }
        default:
            for (int32 i = 0; i < count; ++i) {
                t[i] = ParameterAt(x + i, y);
            }
            return;
    }
}

void YKGradientBuffer::ComputeRow(int32 x, int32 y, int32 count, uint32* out) {
    double t[kChunk];
    for (int32 done = 0; done < count; done += kChunk) {
        const int32 n = std::min(kChunk, count - done);
        RowParameters(x + done, y, n, t);
        mPixels->Lookup(*GetGradient(), t, n, out + done);
    }
}

void YKGradientBuffer::LinearRow(int32 x, int32 y, int32 count, uint32* out) {
    // The parameter is u.x * dx + u.y * dy: with u.x zero (either sign) the first term is a zero
    // and the row has one parameter; otherwise the row depends on y only through u.y * dy.
    if (mUx == 0.0) {
        const double t = ParameterAt(x, y);
        mPixels->Lookup(*GetGradient(), &t, 1, out);
        std::fill(out + 1, out + count, out[0]);
        return;
    }
    const double across = mUy * (y - mOriginY);
    YKGradient& gradient = *GetGradient();
    if (mRows->Find(across, gradient.TableStamp(), x, count, out)) {
        return;
    }
    ComputeRow(x, y, count, out);
    mRows->Keep(across, gradient.TableStamp(), x, count, out);
}

void YKGradientBuffer::GetRow(int32 x, int32 y, int32 count, uint32* out) {
    if (count <= 0) {
        return;
    }
    if (GetGradientType() == GRADIENT_LINEAR && mLength != 0.0) {
        LinearRow(x, y, count, out);
    } else {
        ComputeRow(x, y, count, out);
    }
}
