#pragma once

// YKBitmapTools: nearest-neighbour and bilinear scaling and rotation of 32-bit straight pixels,
// in 20.12 fixed point. Strides are in pixels. Bilinear sampling weighs each neighbour by its
// alpha, so the colour of a transparent pixel never bleeds into its neighbours.

#include "YKPoint.h"
#include "YKRect.h"
#include "yk_types.h"

class YKBitmapTools {
public:
    // Where a destination pixel's centre (x + 0.5, y + 0.5) comes from in the source:
    // (xx * x + xy * y + x0, yx * x + yy * y + y0), in the coordinates of the two frames given
    // with it. Source pixel i covers [i, i + 1).
    struct Map {
        double xx, xy, x0;
        double yx, yy, y0;
    };

    // Destination pixel (i, j) takes source pixel (i * srcWidth / dstWidth, j * srcHeight /
    // dstHeight), stepped in fixed point.
    static void ScalePlain(int32 srcWidth, int32 srcHeight, int32 dstWidth, int32 dstHeight,
                           const uint32* src, uint32* dst, int32 srcStride, int32 dstStride);
    // Interpolates the four neighbours of the fixed-point position (i * (srcWidth - 1) /
    // dstWidth, ...); neighbours past the last column or row count as transparent.
    static void ScaleBiLin(int32 srcWidth, int32 srcHeight, int32 dstWidth, int32 dstHeight,
                           const uint32* src, uint32* dst, int32 srcStride, int32 dstStride);
    // Fills dstFrame with src (covering srcFrame) rotated by `angle` radians about `centre`;
    // both frames and the centre are in the same drawing coordinates. Outside the source: 0.
    static void RotatePlain(YKRect<int32> srcFrame, YKRect<int32> dstFrame, YKPoint<double> centre,
                            double angle, const uint32* src, uint32* dst, int32 srcStride,
                            int32 dstStride);
    static void RotateBiLin(YKRect<int32> srcFrame, YKRect<int32> dstFrame, YKPoint<double> centre,
                            double angle, const uint32* src, uint32* dst, int32 srcStride,
                            int32 dstStride);
    // Fills dstFrame with the nearest source pixel of each mapped destination pixel.
    static void TransformPlain(YKRect<int32> srcFrame, YKRect<int32> dstFrame, const Map& map,
                               const uint32* src, uint32* dst, int32 srcStride, int32 dstStride);

    // The alpha-weighted bilinear mean at (fx, fy) in 20.12 fixed point of a width x height
    // source; neighbours outside it are transparent.
    static uint32 SampleBiLin(const uint32* src, int32 width, int32 height, int32 stride, int64 fx,
                              int64 fy);
};
