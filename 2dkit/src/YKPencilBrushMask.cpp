// The pencil's geometry: the shared distance and angle tables and the dab masks.

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <numbers>

#include "YKPencilBrushRenderer.h"

namespace {

constexpr int32 kSide = YKPencilBrushRenderer::kTableSide;
constexpr int32 kStride = YKPencilBrushRenderer::kMaskStride;

// Square root through four Newton steps on the reciprocal square root, from a seed made of
// the argument's exponent bits. Masks are truncated to bytes, so this exact sequence decides
// which side of a level a pixel lands on.
double NewtonSqrt(double x) {
    if (x == 0 || !std::isfinite(x)) {
        return x;  // the seed is meaningless there
    }
    const uint32 high = static_cast<uint32>(std::bit_cast<uint64>(x) >> 32);
    double y = std::bit_cast<double>(static_cast<uint64>((0xBFCD4600u - high) >> 1) << 32);
    for (int32 step = 0; step < 4; ++step) {
        y = y * (1.5 - 0.5 * x * y * y);
    }
    return x * y;
}

// Truncates to a byte; NaN and negatives (from hostile settings) give 0.
uint8 ToByte(double value) {
    if (!(value > 0)) {
        return 0;
    }
    return value < 255 ? static_cast<uint8>(value) : 255;
}

struct Tables {
    // Floats: the Newton root of a perfect square may fall an ulp short, which the float
    // rounds away, so a spacing of 5 passes at a distance of (3, 4).
    std::array<float, kSide * kSide> distance;
    std::array<float, kSide * kSide> angle;
};

// Built on first use, once for the process (a function-local static is thread-safe).
const Tables& SharedTables() {
    static const Tables tables = [] {
        Tables t;
        constexpr double kHalf = kSide / 2;
        for (int32 i = 0; i < kSide; ++i) {
            for (int32 j = 0; j < kSide; ++j) {
                t.distance[i * kSide + j] = static_cast<float>(NewtonSqrt(i * i + j * j));
                t.angle[i * kSide + j] = static_cast<float>(
                    std::atan2((j - kHalf) / kHalf, (i - kHalf) / kHalf) / (2 * std::numbers::pi));
            }
        }
        return t;
    }();
    return tables;
}

}  // namespace

float YKPencilBrushRenderer::Distance(int32 i, int32 j) {
    return SharedTables().distance[i * kSide + j];
}

float YKPencilBrushRenderer::Angle(int32 i, int32 j) {
    return SharedTables().angle[i * kSide + j];
}

void YKPencilBrushRenderer::CreatePencil(double size) {
    size = std::min(size, kMaxSize);
    mSize = size >= 0 ? size : 0;
    std::fill(mDabMask.begin(), mDabMask.end(), 0);
    std::fill(mDistanceMask.begin(), mDistanceMask.end(), 255);

    const double r = mSize / 2;
    const double c = std::floor(r);
    const double e = 1 / ((1 - mHardness) + 0.00001);
    const double sine = std::sin(mRotation);
    const double cosine = std::cos(mRotation);
    for (int32 y = 0; y < mSize; ++y) {
        for (int32 x = 0; x < mSize; ++x) {
            const double dy = y - c;
            const double dx = x - c;
            double d;
            if (mRotation == 0) {
                d = NewtonSqrt(dy * dy + (dx / mRatio) * (dx / mRatio));
            } else {
                const double u = (dy * sine + dx * cosine) / mRatio;
                const double v = dx * sine - dy * cosine;
                d = NewtonSqrt(u * u + v * v);
            }
            const double q = d / r;
            const double k = r - d < 0 ? 0 : std::min(1.0, r - d);
            if (q <= 1) {
                mDistanceMask[y * kStride + x] = ToByte(255 * q);
            }
            if (k == 0) {
                continue;
            }
            uint8 weight = 0;
            switch (mShape) {
                case YK_BRUSH_SOFT:
                    weight = ToByte(255 * k * (1 - std::pow(q, e)));
                    break;
                case YK_BRUSH_RING: {
                    const double ring = std::fabs(std::cos(std::numbers::pi * q) * 8 * mHardness);
                    weight = ring >= 1 ? 0 : ToByte(255 * (1 - ring));
                    break;
                }
                case YK_BRUSH_SPHERE:
                    weight = ToByte(255 - 255 * k * (1 - std::pow(q, e)));
                    break;
                default:
                    break;
            }
            mDabMask[y * kStride + x] = weight;
        }
    }
}
