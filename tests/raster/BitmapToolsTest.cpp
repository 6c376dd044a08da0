#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "YKBitmapTools.h"
#include "YKRaster.h"

namespace {

using Rect = YKRect<int32>;

uint32* PixelsOf(const YKRaster& raster) {
    return reinterpret_cast<uint32*>(raster.Bits());
}

// Each pixel names its own position: 0xFF, then y, then x.
void FillPositions(YKRaster* raster) {
    for (int32 y = 0; y < raster->Height(); ++y) {
        for (int32 x = 0; x < raster->Width(); ++x) {
            PixelsOf(*raster)[y * raster->Width() + x] = 0xFF000000u | uint32(y) << 8 | uint32(x);
        }
    }
}

TEST(ScaleTest, PlainPicksSourcePixelsByFixedPointSteps) {
    YKRaster source({0, 0, 2, 1});
    FillPositions(&source);
    const std::unique_ptr<YKRaster> up = source.CreateScaled({10, 10, 15, 13}, false, 0.0, {});
    ASSERT_EQ(up->Frame(), (Rect{10, 10, 15, 13}));
    for (int32 y = 0; y < 4; ++y) {
        for (int32 x = 0; x < 6; ++x) {
            ASSERT_EQ(PixelsOf(*up)[y * 6 + x], PixelsOf(source)[(y / 2) * 3 + x / 2])
                << x << "," << y;
        }
    }
    YKRaster down({0, 0, 1, 0});
    YKBitmapTools::ScalePlain(3, 2, 2, 1, PixelsOf(source), PixelsOf(down), 3, 2);
    EXPECT_EQ(PixelsOf(down)[1], PixelsOf(source)[1]);  // 1 * (3 << 12) / 2 >> 12 = 1
    EXPECT_EQ(source.CreateScaled({1, 1, 0, 0}, false, 0.0, {}), nullptr);
    EXPECT_EQ(source.CreateScaled({0, 0, 1, 1}, true, std::nan(""), {}), nullptr);
}

TEST(ScaleTest, BilinearIgnoresTheColorOfTransparentPixels) {
    YKRaster source({0, 0, 7, 7});
    for (int32 i = 0; i < 64; ++i) {
        PixelsOf(source)[i] = (i % 8 + i / 8) % 2 == 0 ? 0xFFFF0000u : 0x000000FFu;
    }
    for (const Rect& size : {Rect{0, 0, 12, 10}, Rect{0, 0, 2, 2}, Rect{0, 0, 30, 3}}) {
        const std::unique_ptr<YKRaster> scaled = source.CreateScaled(size, true, 0.0, {});
        bool partial = false;
        for (int32 i = 0; i < scaled->Width() * scaled->Height(); ++i) {
            const uint32 pixel = PixelsOf(*scaled)[i];
            ASSERT_EQ(pixel & 0xFF, 0u) << "blue in pixel " << i;
            if (pixel >> 24 != 0) {
                // Red keeps its strength: the mean is weighted by alpha.
                ASSERT_GE((pixel >> 16) & 255, 250u) << i;
                partial = partial || (pixel >> 24) < 255;
            }
        }
        EXPECT_TRUE(partial) << "some pixels fall between red and transparent";
    }
}

// Rotation against the same inverse mapping in double precision.
TEST(RotateTest, PlainRotationMatchesTheInverseMapping) {
    YKRaster source({0, 0, 9, 5});
    FillPositions(&source);
    const YKPoint<double> centre{5.0, 3.0};
    for (const double angle : {std::numbers::pi / 2, 0.3, -2.0}) {
        const std::unique_ptr<YKRaster> rotated =
            source.CreateScaled(source.Frame(), false, angle, centre);
        const Rect frame = rotated->Frame();
        int32 inside = 0;
        for (int32 y = frame.top; y <= frame.bottom; ++y) {
            for (int32 x = frame.left; x <= frame.right; ++x) {
                const double px = x + 0.5 - centre.x;
                const double py = y + 0.5 - centre.y;
                const double sx = centre.x + px * std::cos(angle) + py * std::sin(angle);
                const double sy = centre.y - px * std::sin(angle) + py * std::cos(angle);
                // Fixed-point stepping may round a position on a pixel edge either way.
                if (std::abs(sx - std::round(sx)) < 0.01 || std::abs(sy - std::round(sy)) < 0.01) {
                    continue;
                }
                const int32 ix = static_cast<int32>(std::floor(sx));
                const int32 iy = static_cast<int32>(std::floor(sy));
                const bool in = ix >= 0 && iy >= 0 && ix < 10 && iy < 6;
                inside += in;
                ASSERT_EQ(PixelsOf(*rotated)[(y - frame.top) * rotated->Width() + x - frame.left],
                          in ? PixelsOf(source)[iy * 10 + ix] : 0)
                    << "angle " << angle << " at " << x << "," << y;
            }
        }
        EXPECT_GT(inside, 20) << "angle " << angle;
    }
}

}  // namespace
