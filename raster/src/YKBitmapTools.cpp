#include "YKBitmapTools.h"

#include <cmath>

#include "yk_merge_tables.h"

namespace {

constexpr int32 kFixedShift = 12;
constexpr int64 kFixedOne = int64{1} << kFixedShift;
constexpr int64 kFixedMask = kFixedOne - 1;
// Far outside any source, and small enough that 32768 steps of it cannot overflow.
constexpr double kFixedLimit = static_cast<double>(int64{1} << 40);

int64 ToFixed(double value) {
    const double fixed = value * static_cast<double>(kFixedOne);
    if (!(fixed > -kFixedLimit)) {  // also catches NaN
        return -static_cast<int64>(kFixedLimit);
    }
    return fixed < kFixedLimit ? std::llround(fixed) : static_cast<int64>(kFixedLimit);
}

bool Positive(int32 a, int32 b, int32 c, int32 d) {
    return a > 0 && b > 0 && c > 0 && d > 0;
}

// Rounds a 24-bit-scaled weight down by 255 the way the merge methods do.
uint64 Reduce(uint64 w) {
    return ((w >> 8) + w + 1) >> 8;
}

// Calls sample(fx, fy) for each pixel of dstFrame with the source position of its centre, in
// 20.12 fixed point relative to the source's first pixel, moved by -shift pixels.
template <typename Sample>
void WalkMap(YKRect<int32> srcFrame, YKRect<int32> dstFrame, const YKBitmapTools::Map& map,
             double shift, uint32* dst, int32 dstStride, Sample sample) {
    if (!dstFrame.IsValid()) {
        return;
    }
    const int64 width = int64{dstFrame.right} - dstFrame.left + 1;
    const int64 height = int64{dstFrame.bottom} - dstFrame.top + 1;
    const int64 stepX = ToFixed(map.xx);
    const int64 stepY = ToFixed(map.yx);
    const double left = dstFrame.left + 0.5;
    for (int64 j = 0; j < height; ++j) {
        const double top = static_cast<double>(dstFrame.top + j) + 0.5;
        int64 fx = ToFixed(map.xx * left + map.xy * top + map.x0 - srcFrame.left - shift);
        int64 fy = ToFixed(map.yx * left + map.yy * top + map.y0 - srcFrame.top - shift);
        uint32* row = dst + j * dstStride;
        for (int64 i = 0; i < width; ++i, fx += stepX, fy += stepY) {
            row[i] = sample(fx, fy);
        }
    }
}

// The inverse rotation: where each destination point comes from.
YKBitmapTools::Map RotationMap(YKPoint<double> centre, double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return {c,  s, centre.x - c * centre.x - s * centre.y,
            -s, c, centre.y + s * centre.x - c * centre.y};
}

void TransformBiLin(YKRect<int32> srcFrame, YKRect<int32> dstFrame, const YKBitmapTools::Map& map,
                    const uint32* src, uint32* dst, int32 srcStride, int32 dstStride) {
    const int32 width = srcFrame.right - srcFrame.left + 1;
    const int32 height = srcFrame.bottom - srcFrame.top + 1;
    // Interpolation runs between pixel centres, half a pixel before the pixel's own position.
    WalkMap(srcFrame, dstFrame, map, 0.5, dst, dstStride, [&](int64 fx, int64 fy) {
        return YKBitmapTools::SampleBiLin(src, width, height, srcStride, fx, fy);
    });
}

}  // namespace

// --- Scaling ---

void YKBitmapTools::ScalePlain(int32 srcWidth, int32 srcHeight, int32 dstWidth, int32 dstHeight,
                               const uint32* src, uint32* dst, int32 srcStride, int32 dstStride) {
    if (!Positive(srcWidth, srcHeight, dstWidth, dstHeight)) {
        return;
    }
    const int64 stepX = (int64{srcWidth} << kFixedShift) / dstWidth;
    const int64 stepY = (int64{srcHeight} << kFixedShift) / dstHeight;
    for (int64 j = 0; j < dstHeight; ++j) {
        const uint32* from = src + ((j * stepY) >> kFixedShift) * srcStride;
        uint32* to = dst + j * dstStride;
        for (int64 i = 0; i < dstWidth; ++i) {
            to[i] = from[(i * stepX) >> kFixedShift];
        }
    }
}

void YKBitmapTools::ScaleBiLin(int32 srcWidth, int32 srcHeight, int32 dstWidth, int32 dstHeight,
                               const uint32* src, uint32* dst, int32 srcStride, int32 dstStride) {
    if (!Positive(srcWidth, srcHeight, dstWidth, dstHeight)) {
        return;
    }
    const int64 stepX = (int64{srcWidth - 1} << kFixedShift) / dstWidth;
    const int64 stepY = (int64{srcHeight - 1} << kFixedShift) / dstHeight;
    for (int64 j = 0; j < dstHeight; ++j) {
        uint32* to = dst + j * dstStride;
        for (int64 i = 0; i < dstWidth; ++i) {
            to[i] = SampleBiLin(src, srcWidth, srcHeight, srcStride, i * stepX, j * stepY);
        }
    }
}

uint32 YKBitmapTools::SampleBiLin(const uint32* src, int32 width, int32 height, int32 stride,
                                  int64 fx, int64 fy) {
    const int64 x = fx >> kFixedShift;
    const int64 y = fy >> kFixedShift;
    const auto at = [&](int64 px, int64 py) -> uint32 {
        return px >= 0 && py >= 0 && px < width && py < height ? src[py * stride + px] : 0;
    };
    const uint32 p[4] = {at(x, y), at(x + 1, y), at(x, y + 1), at(x + 1, y + 1)};
    const uint64 u = static_cast<uint64>(fx & kFixedMask);
    const uint64 v = static_cast<uint64>(fy & kFixedMask);
    const uint64 area[4] = {(kFixedOne - v) * (kFixedOne - u), (kFixedOne - v) * u,
                            v * (kFixedOne - u), v * u};
    uint64 w[4];
    uint64 alphaSum = 0;
    for (int k = 0; k < 4; ++k) {
        w[k] = Reduce(area[k] * (p[k] >> 24));
        alphaSum += w[k];
    }
    const uint32 alpha = static_cast<uint32>(alphaSum >> 16);
    uint32 result = alpha << 24;
    for (int shift = 16; shift >= 0; shift -= 8) {
        uint64 sum = 0;
        for (int k = 0; k < 4; ++k) {
            sum += ((p[k] >> shift) & 255) * w[k];
        }
        result |= uint32{yk_merge_tables[(sum >> 24) * 256 + alpha]} << shift;
    }
    return result;
}

// --- Rotation and general maps ---

void YKBitmapTools::RotatePlain(YKRect<int32> srcFrame, YKRect<int32> dstFrame,
                                YKPoint<double> centre, double angle, const uint32* src,
                                uint32* dst, int32 srcStride, int32 dstStride) {
    TransformPlain(srcFrame, dstFrame, RotationMap(centre, angle), src, dst, srcStride, dstStride);
}

void YKBitmapTools::RotateBiLin(YKRect<int32> srcFrame, YKRect<int32> dstFrame,
                                YKPoint<double> centre, double angle, const uint32* src,
                                uint32* dst, int32 srcStride, int32 dstStride) {
    TransformBiLin(srcFrame, dstFrame, RotationMap(centre, angle), src, dst, srcStride, dstStride);
}

void YKBitmapTools::TransformPlain(YKRect<int32> srcFrame, YKRect<int32> dstFrame, const Map& map,
                                   const uint32* src, uint32* dst, int32 srcStride,
                                   int32 dstStride) {
    const int64 width = int64{srcFrame.right} - srcFrame.left + 1;
    const int64 height = int64{srcFrame.bottom} - srcFrame.top + 1;
    WalkMap(srcFrame, dstFrame, map, 0.0, dst, dstStride, [&](int64 fx, int64 fy) -> uint32 {
        const int64 x = fx >> kFixedShift;
        const int64 y = fy >> kFixedShift;
        return x >= 0 && y >= 0 && x < width && y < height ? src[y * srcStride + x] : 0;
    });
}
