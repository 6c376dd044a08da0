#pragma once

// YKGradientBuffer: the form of a gradient container that paints. It covers a frame of pixels and
// gives the colour at each of them; the scan converter calls GetPixel once per covered pixel.
// Whatever does not change from pixel to pixel is worked out whenever the geometry, the type or
// a shaping value changes, so a pixel costs a few multiplications and a table lookup: no
// allocation, and no trigonometric call except the arc cosine or arc tangent of the two cones.
// GetRow gives a run of pixels at once, equal to GetPixel's pixel by pixel, at a fraction of the
// cost per pixel.
//
// Coordinates: S and E are in the frame's own coordinates; GetPixel takes pixels counted from the
// frame's left-top, moved by the shift. A caller with pixels in the frame's own coordinates sets
// the shift to minus the frame's left-top.

#include <memory>

#include "YKGradientContainer.h"
#include "YKPoint.h"
#include "YKRect.h"
#include "yk_types.h"

class YKGradientPixelTable;
class YKGradientRowCache;
class YKRaster;

class YKGradientBuffer : public YKGradientContainer {
public:
    // Entries of the sine and cosine tables the square, hyperbolic and wave types turn with.
    static constexpr int32 kTrigSteps = 4096;

    // Over `frame`. With `halfSize`, S and E are taken at half the values given.
    explicit YKGradientBuffer(YKRect<int32> frame, const char* name = "tmp_gradient",
                              bool halfSize = false);
    // Over the bounds of `raster` (not owned), which Draw() paints.
    explicit YKGradientBuffer(YKRaster* raster);
    YKGradientBuffer(const YKGradientBuffer&) = delete;
    YKGradientBuffer& operator=(const YKGradientBuffer&) = delete;
    ~YKGradientBuffer() override;

    // Takes the gradient, type and shaping values of `container`; the geometry stays.
    void CopyPaint(const YKGradientContainer& container);

    // The straight colour at a pixel, each channel in 0..1.
    void GetPixel(int32 x, int32 y, double* r, double* g, double* b, double* a);
    // The ramp parameter GetPixel looks the colour up at. With S = E it is 0 for every type.
    double ParameterAt(int32 x, int32 y) const;
    // Straight pixels of `count` pixels from (x, y) rightwards: alpha << 24 | red << 16 |
    // green << 8 | blue, each channel of GetPixel rounded to the nearest byte.
    void GetRow(int32 x, int32 y, int32 count, uint32* out);

    // L = |E - S| and the unit direction u of S to E, as painted (halved points included).
    double Length() const { return mLength; }
    YKPoint<double> Direction() const { return {mUx, mUy}; }
    void SetShift(YKPoint<double> shift);
    YKPoint<double> GetShift() const { return mShift; }
    YKRect<int32> Frame() const { return mFrame; }
    void resize(YKRect<int32> frame);
    // The raster given at construction, or null.
    YKRaster* GetBuffer() const { return mRaster; }
    // Paints every pixel of the raster (32-bit pixels only): straight colour, alpha included.
    void Draw();

protected:
    void Changed() override;

private:
    // The offset ramp: below the offset 0, from 1 on 1, linear between.
    double Ramp(double t) const {
        if (t < mRampStart) {
            return 0.0;
        }
        return t >= 1.0 ? 1.0 : (t - mRampStart) * mRampScale;
    }
    double ConePower(double t) const;
    // The two cones' parameters at an offset from S (the pixel's angle is inherent to them).
    double SymmetricCone(double dx, double dy) const;
    double AsymmetricCone(double dx, double dy) const;
    // ParameterAt for `count` pixels from (x, y) rightwards, with the same arithmetic.
    void RowParameters(int32 x, int32 y, int32 count, double* t) const;
    // GetRow for `count` pixels from the parameters, without shortcuts.
    void ComputeRow(int32 x, int32 y, int32 count, uint32* out);
    // GetRow of the linear type: one colour per row when the gradient is vertical, else the
    // row kept from before when it is the same row again.
    void LinearRow(int32 x, int32 y, int32 count, uint32* out);
    double Sine(double steps) const;

    YKRect<int32> mFrame;
    YKRaster* mRaster = nullptr;
    bool mHalfSize = false;
    YKPoint<double> mShift{0.0, 0.0};

    // --- Worked out by Changed()
    double mOriginX = 0.0;  // S less the frame's left-top and the shift
    double mOriginY = 0.0;
    double mLength = 0.0;
    double mInvLength = 0.0;
    double mUx = 0.0;
    double mUy = 0.0;
    double mRampStart = 0.0;
    double mRampScale = 1.0;
    double mConeExponent = 1.0;
    double mConeBase = 0.0;  // the angle of u as the asymmetric cone measures it
    double mSquareCos = 1.0;
    double mSquareSin = 0.0;
    double mWaveCos = 0.0;  // of the angle of u plus a quarter turn
    double mWaveSin = 0.0;
    double mWaveInvD = 0.0;
    double mWaveSteps = 0.0;  // table steps of the wave per pixel across u
    const double* mSineTable = nullptr;

    std::unique_ptr<YKGradientPixelTable> mPixels;
    std::unique_ptr<YKGradientRowCache> mRows;
};
