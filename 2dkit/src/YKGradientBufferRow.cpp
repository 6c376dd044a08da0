// Rows of a gradient buffer: the parameters of a run of pixels, each with the arithmetic
// ParameterAt uses for it so that the two agree bit for bit, then the pixels from the ramp's
// pixel table. Only the row's constant terms are hoisted: a running sum stepped along the row
// would drift from the per-pixel products in the last bits.

#include <algorithm>
#include <cmath>

#include "YKGradientBuffer.h"
#include "YKGradientPixelTable.h"

namespace {

constexpr int32 kChunk = 256;

// t[i] = parameter(dx) for the pixels x..x+count-1, dx their offset from S across the frame.
template <typename Parameter>
void ForRow(int32 x, double originX, int32 count, double* t, Parameter parameter) {
    for (int32 i = 0; i < count; ++i) {
        t[i] = parameter(static_cast<double>(x + i) - originX);
    }
}

}  // namespace

void YKGradientBuffer::RowParameters(int32 x, int32 y, int32 count, double* t) const {
    if (mLength == 0.0) {
        std::fill(t, t + count, 0.0);
        return;
    }
    const double dy = y - mOriginY;
    switch (GetGradientType()) {
        case GRADIENT_LINEAR: {
            const double across = mUy * dy;
            ForRow(x, mOriginX, count, t,
                   [&](double dx) { return Ramp((mUx * dx + across) * mInvLength * 0.5 + 0.5); });
            return;
        }
        case GRADIENT_BILINEAR: {
            const double across = mUy * dy;
            ForRow(x, mOriginX, count, t,
                   [&](double dx) { return Ramp(std::fabs(mUx * dx + across) * mInvLength); });
            return;
        }
        case GRADIENT_RADIAL: {
            const double dy2 = dy * dy;
            ForRow(x, mOriginX, count, t,
                   [&](double dx) { return Ramp(std::sqrt(dx * dx + dy2) * mInvLength); });
            return;
        }
        case GRADIENT_SQUARE: {
            const double sinDy = mSquareSin * dy;
            const double cosDy = mSquareCos * dy;
            ForRow(x, mOriginX, count, t, [&](double dx) {
                const double rx = mSquareCos * dx + sinDy;
                const double ry = cosDy - mSquareSin * dx;
                return Ramp(std::fmax(std::fabs(rx), std::fabs(ry)) * mInvLength);
            });
            return;
        }
        case GRADIENT_HYPERBOLIC: {
            const double dy2 = dy * dy;
            const double uyDy = dy * mUy;
            const double uxDy = dy * mUx;
            ForRow(x, mOriginX, count, t, [&](double dx) {
                const double r = std::sqrt(dx * dx + dy2);
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
        case GRADIENT_WAVE2: {
            const bool egg = GetGradientType() == GRADIENT_WAVE2;
            const double cosDy = mWaveCos * dy;
            const double sinDy = mWaveSin * dy;
            const double amplitude = GetAmplitude();
            const double stretch = GetStrech();
            ForRow(x, mOriginX, count, t, [&](double dx) {
                const double along = mWaveSin * dx - cosDy;
                const double across = sinDy + mWaveCos * dx;
                double wave = Sine(across * mWaveSteps);
                if (egg) {
                    wave *= Sine(along * mWaveSteps);
                }
                double v = (along * mWaveInvD + 1.0) * 0.5 + (wave + 1.0) * amplitude;
                if (v > 1.0) {
                    v -= 1.0;
                }
                v *= stretch;
                return v - std::floor(v);
            });
            return;
        }
        default:
            // The cones: their arc cosine and arc tangent (and the power of the offset) have no
            // exact cheaper form, so each pixel takes ParameterAt's own way.
            for (int32 i = 0; i < count; ++i) {
                t[i] = ParameterAt(x + i, y);
            }
            return;
    }
}

void YKGradientBuffer::GetRow(int32 x, int32 y, int32 count, uint32* out) {
    double t[kChunk];
    for (int32 done = 0; done < count; done += kChunk) {
        const int32 n = std::min(kChunk, count - done);
        RowParameters(x + done, y, n, t);
        mPixels->Lookup(*GetGradient(), t, n, out + done);
    }
}
