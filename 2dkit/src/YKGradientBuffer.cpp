#include "YKGradientBuffer.h"

#include <array>
#include <cmath>

#include "YKDebug.h"
#include "YKGradientPixelTable.h"
#include "YKGradientRowCache.h"
#include "YKRaster.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int32 kTrigSteps = YKGradientBuffer::kTrigSteps;
constexpr double kStepsPerRadian = kTrigSteps / (2.0 * kPi);

struct TrigTables {
    std::array<double, kTrigSteps> sine;
    std::array<double, kTrigSteps> cosine;
};

const TrigTables& Trig() {
    static const TrigTables tables = [] {
        TrigTables t{};
        for (int32 i = 0; i < kTrigSteps; ++i) {
            t.sine[i] = std::sin(i / kStepsPerRadian);
            t.cosine[i] = std::cos(i / kStepsPerRadian);
        }
        return t;
    }();
    return tables;
}

// An angle in table steps, truncated and wrapped to 12 bits. Out-of-range and NaN angles (from a
// damaged archive) are bounded first, since converting them to an integer is undefined.
int32 TableIndex(double steps) {
    constexpr double kBound = 1e15;
    const double bounded = steps > -kBound ? (steps < kBound ? steps : kBound) : -kBound;
    return static_cast<int32>(static_cast<int64>(bounded) & (kTrigSteps - 1));
}

double Frac(double t) {
    return t - std::floor(t);
}

}  // namespace

YKGradientBuffer::YKGradientBuffer(YKRect<int32> frame, const char* name, bool halfSize)
    : mFrame(frame),
      mHalfSize(halfSize),
      mPixels(std::make_unique<YKGradientPixelTable>()),
      mRows(std::make_unique<YKGradientRowCache>()) {
    SetName(name);
    Changed();
}

YKGradientBuffer::YKGradientBuffer(YKRaster* raster)
    : mRaster(raster),
      mPixels(std::make_unique<YKGradientPixelTable>()),
      mRows(std::make_unique<YKGradientRowCache>()) {
    YK_ASSERT(raster != nullptr);
    mFrame = raster->Bounds();
    Changed();
}

YKGradientBuffer::~YKGradientBuffer() = default;

void YKGradientBuffer::CopyPaint(const YKGradientContainer& container) {
    SetGradient(*container.GetGradient());
    SetGradientType(container.GetGradientType());
    SetOffset(container.GetOffset());
    SetFreq(container.GetFreq());
    SetAmplitude(container.GetAmplitude());
    SetStrech(container.GetStrech());
}

void YKGradientBuffer::SetShift(YKPoint<double> shift) {
    mShift = shift;
    Changed();
}

void YKGradientBuffer::resize(YKRect<int32> frame) {
    mFrame = frame;
    Changed();
}

void YKGradientBuffer::Changed() {
    mRows->Clear();
    const TrigTables& trig = Trig();
    mSineTable = trig.sine.data();
    const double scale = mHalfSize ? 0.5 : 1.0;
    const double sx = GetSx() * scale;
    const double sy = GetSy() * scale;
    mOriginX = sx - mFrame.left - mShift.x;
    mOriginY = sy - mFrame.top - mShift.y;
    const double vx = GetEx() * scale - sx;
    const double vy = GetEy() * scale - sy;
    mLength = std::hypot(vx, vy);
    if (!(mLength > 0.0 && std::isfinite(mLength))) {
        mLength = mInvLength = mUx = mUy = 0.0;
    } else {
        mInvLength = 1.0 / mLength;
        mUx = vx * mInvLength;
        mUy = vy * mInvLength;
    }

    mRampStart = GetOffset() / 100.0;
    mRampScale = mRampStart < 1.0 ? 1.0 / (1.0 - mRampStart) : 0.0;
    mConeExponent = GetOffset() / 10.0 + 1.0;
    mConeBase = std::atan2(mUx, mUy) + kPi;

    // A square turned by a quarter or a half turn is the same square; snapping those angles to
    // 0 keeps the table's rounding off the axis-aligned case.
    double alpha = std::atan2(mUy, mUx);
    if (std::fabs(std::fabs(alpha) - 1.5707) < 0.0001 ||
        std::fabs(std::fabs(alpha) - 3.1415) < 0.0001) {
        alpha = 0.0;
    }
    const int32 square = TableIndex(alpha * kStepsPerRadian);
    mSquareCos = trig.cosine[square];
    mSquareSin = trig.sine[square];

    const int32 wave = TableIndex((std::atan2(mUy, mUx) + kPi / 2.0) * kStepsPerRadian);
    mWaveCos = trig.cosine[wave];
    mWaveSin = trig.sine[wave];
    mWaveInvD = 1.0 / (mLength + 8.0);
    mWaveSteps = GetFreq() * mWaveInvD * kStepsPerRadian;
}

double YKGradientBuffer::ConePower(double t) const {
    return mConeExponent == 1.0 ? t : std::pow(t, mConeExponent);
}

double YKGradientBuffer::Sine(double steps) const {
    return mSineTable[TableIndex(steps)];
}

double YKGradientBuffer::SymmetricCone(double dx, double dy) const {
    const double r = std::sqrt(dx * dx + dy * dy);
    if (r == 0.0) {
        return 0.5;
    }
    const double c = std::fmin(std::fmax((mUx * dx + mUy * dy) / r, -1.0), 1.0);
    return ConePower(std::acos(c) / kPi);
}

double YKGradientBuffer::AsymmetricCone(double dx, double dy) const {
    if (dx == 0.0 && dy == 0.0) {
        return 0.5;
    }
    double theta = std::atan2(dx, dy) + kPi - mConeBase;
    if (theta < 0.0) {
        theta += 2.0 * kPi;
    }
    const double t = ConePower(theta / (2.0 * kPi));
    return t > 1.0 ? t - 1.0 : t;
}

double YKGradientBuffer::ParameterAt(int32 x, int32 y) const {
    if (mLength == 0.0) {
        return 0.0;
    }
    const double dx = x - mOriginX;
    const double dy = y - mOriginY;
    switch (GetGradientType()) {
        case GRADIENT_LINEAR:
            // S is the middle of the ramp, E its end.
            return Ramp((mUx * dx + mUy * dy) * mInvLength * 0.5 + 0.5);
        case GRADIENT_BILINEAR:
            return Ramp(std::fabs(mUx * dx + mUy * dy) * mInvLength);
        case GRADIENT_RADIAL:
            return Ramp(std::sqrt(dx * dx + dy * dy) * mInvLength);
        case GRADIENT_SQUARE: {
            const double rx = mSquareCos * dx + mSquareSin * dy;
            const double ry = mSquareCos * dy - mSquareSin * dx;
            return Ramp(std::fmax(std::fabs(rx), std::fabs(ry)) * mInvLength);
        }
        case GRADIENT_CONICAL_SYMMETRIC:
            return SymmetricCone(dx, dy);
        case GRADIENT_CONICAL_ASYMMETRIC:
            return AsymmetricCone(dx, dy);
        case GRADIENT_HYPERBOLIC: {
            // The pixel's angle from u enters only through its cosine and sine, which follow
            // from the dot and cross products without any trigonometric call.
            const double r = std::sqrt(dx * dx + dy * dy);
            if (r == 0.0) {
                return Ramp(0.0);
            }
            const double cb = (dx * mUx + dy * mUy) / r;
            const double sb = (dx * mUy - dy * mUx) / r;
            const double first = cb * (cb * dx + sb * dy);
            const double second = sb * (cb * dy - sb * dx);
            return Ramp(std::fmax(std::fabs(first), std::fabs(second)) * mInvLength);
        }
        case GRADIENT_WAVE1:
        case GRADIENT_WAVE2: {
            const double along = mWaveSin * dx - mWaveCos * dy;
            const double across = mWaveSin * dy + mWaveCos * dx;
            // Wave1 ripples the ramp across u; Wave2 multiplies that ripple by one along u, an
            // egg-crate pattern.
            double wave = Sine(across * mWaveSteps);
            if (GetGradientType() == GRADIENT_WAVE2) {
                wave *= Sine(along * mWaveSteps);
            }
            double t = (along * mWaveInvD + 1.0) * 0.5 + (wave + 1.0) * GetAmplitude();
            if (t > 1.0) {
                t -= 1.0;
            }
            return Frac(t * GetStrech());
        }
    }
    return 0.0;
}

void YKGradientBuffer::GetPixel(int32 x, int32 y, double* r, double* g, double* b, double* a) {
    GetGradient()->get_buffered_color_at(ParameterAt(x, y), r, g, b, a);
}

void YKGradientBuffer::Draw() {
    if (mRaster == nullptr || mRaster->Bits() == nullptr || mRaster->BytesPerPixel() != 4) {
        return;
    }
    mRaster->Lock();
    for (int32 y = 0; y < mRaster->Height(); ++y) {
        GetRow(0, y, mRaster->Width(),
               reinterpret_cast<uint32*>(mRaster->Bits() +
                                         static_cast<int64>(y) * mRaster->BytesPerRow()));
    }
    mRaster->Unlock();
}
