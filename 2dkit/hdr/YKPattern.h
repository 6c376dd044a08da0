#pragma once

// YKPattern: the tile a pattern fill or stroke paints with, a copy of a 32-bit raster's pixels
// (alpha in bits 24-31, red 16-23, green 8-15, blue 0-7, straight) with its own opacity, rotation
// (centre and angle), scale and reference point. Patterns are shared by name through
// YKBitmapRoster.
//
// A pattern may have no pixels (made empty, from an unusable raster or from a damaged archive):
// then Width(), Height() and BytesPerRow() are 0 and Data() is null, and painting skips it.

#include <vector>

#include "YKPoint.h"
#include "yk_types.h"

class YKMessage;
class YKRaster;

class YKPattern {
public:
    // No pixels, opacity 255, scale 1, no rotation, centre and reference point at the origin.
    YKPattern() = default;
    // Copies the raster's pixels (see SetData).
    explicit YKPattern(const YKRaster* raster);
    // From ArchiveIn()'s keys; see there for what is accepted.
    explicit YKPattern(const YKMessage& archive);

    // Copies the pixels of a YK_RGBA_COLOR_SPACE raster, rows and bytes per row as they are.
    // Any other raster (or none) leaves the pattern without pixels and returns false.
    bool SetData(const YKRaster* raster);

    int32 Width() const { return mWidth; }
    int32 Height() const { return mHeight; }
    int32 BytesPerRow() const { return mBytesPerRow; }
    // Height() x BytesPerRow() bytes, or null without pixels.
    const uint8* Data() const { return mData.empty() ? nullptr : mData.data(); }
    bool HasPixels() const { return !mData.empty(); }
    // The pixel at (column, row) of the endlessly repeated tile, for any integers (negative
    // ones included); 0 without pixels.
    uint32 TexelAt(int64 column, int64 row) const;

    uint8 Alpha() const { return mAlpha; }
    void SetAlpha(uint8 alpha) { mAlpha = alpha; }
    // Angle in radians about `center`.
    void SetRotation(YKPoint<double> center, double angle) {
        mCenter = center;
        mAngle = angle;
    }
    double Angle() const { return mAngle; }
    YKPoint<double> Center() const { return mCenter; }
    void SetScale(double x, double y) {
        mScaleX = x;
        mScaleY = y;
    }
    void SetScaleX(double x) { mScaleX = x; }
    void SetScaleY(double y) { mScaleY = y; }
    double ScaleX() const { return mScaleX; }
    double ScaleY() const { return mScaleY; }
    // Where the tile starts: the texel column and row added to every lookup when painting.
    void SetRefPoint(YKPoint<double> point) { mRefPoint = point; }
    YKPoint<double> RefPoint() const { return mRefPoint; }

    // Adds "alpha" (int8), "nx", "ny", "bpr" (int32), "dx", "dy", "angle" (double), "center_x"
    // and "center_y" (double) for the centre and again for the reference point, and
    // "pattern_buffer" (raw data, ny x bpr bytes) when there are pixels.
    void ArchiveIn(YKMessage* archive) const;

private:
    void ClearPixels();

    uint8 mAlpha = 255;
    int32 mWidth = 0;
    int32 mHeight = 0;
    int32 mBytesPerRow = 0;
    double mScaleX = 1.0;
    double mScaleY = 1.0;
    double mAngle = 0.0;
    YKPoint<double> mCenter{0.0, 0.0};
    YKPoint<double> mRefPoint{0.0, 0.0};
    std::vector<uint8> mData;
};
