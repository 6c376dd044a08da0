// Pencil masks and the shared tables: each shape's profile against its formula (computed here
// with the library's square root, so one level of truncation either way), the size limit and
// rotation.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "YKPencilBrushRenderer.h"

namespace {

using Brush = YKPencilBrushRenderer;

uint8 MaskAt(const Brush& brush, int32 x, int32 y) {
    return brush.DabMask()[y * Brush::kMaskStride + x];
}

Brush Pencil(int32 shape, double hardness, double size) {
    Brush brush;
    brush.SetShape(shape);
    brush.SetHardness(hardness);
    brush.CreatePencil(size);
    return brush;
}

// Calls check(mask, distance byte, q) for every mask byte of a round brush, q being the distance
// from the centre in radii.
void ForEachPixel(const Brush& brush, const std::function<void(uint8, uint8, double)>& check) {
    const double r = brush.PencilSize() / 2;
    for (int32 y = 0; y < Brush::kMaskStride; ++y) {
        for (int32 x = 0; x < Brush::kMaskStride; ++x) {
            SCOPED_TRACE(testing::Message() << x << ", " << y);
            const bool inside = x < brush.PencilSize() && y < brush.PencilSize();
            check(MaskAt(brush, x, y), brush.DistanceMask()[y * Brush::kMaskStride + x],
                  inside ? std::hypot(x - std::floor(r), y - std::floor(r)) / r : 2);
        }
    }
}

TEST(BrushMaskTest, SizeAbove126IsLimited) {
    const Brush brush = Pencil(YK_BRUSH_SOFT, 1, 300);
    uint32 width = 0;
    uint32 height = 0;
    brush.GetBrushSize(&width, &height);
    EXPECT_EQ(brush.PencilSize(), 126);
    EXPECT_EQ(width, 128u);
    EXPECT_EQ(height, 128u);
    ForEachPixel(brush, [](uint8 m, uint8, double q) { ASSERT_EQ(m != 0, q < 1 - 1e-9); });
}

TEST(BrushMaskTest, ShapesFollowTheirProfiles) {
    // Hardness 1: a flat disc with a one-pixel (1/10.5 radii) anti-aliased rim.
    ForEachPixel(Pencil(YK_BRUSH_SOFT, 1, 21), [](uint8 m, uint8, double q) {
        if (q < 1 - 1 / 10.5 - 1e-9 || q > 1 + 1e-9) {
            ASSERT_EQ(m, q < 1 ? 255 : 0);
        } else if (q > 1 - 1 / 10.5 + 0.01 && q < 1 - 0.01) {
            ASSERT_TRUE(m > 0 && m < 255);
        }
    });
    // Hardness 0: linear (the exponent is a hair below 1: a level lower at most); Sphere is the
    // complement; the distance mask is the distance.
    const Brush sphere = Pencil(YK_BRUSH_SPHERE, 0, 33);
    const uint8* inverse = sphere.DabMask();
    ForEachPixel(Pencil(YK_BRUSH_SOFT, 0, 33), [&](uint8 m, uint8 distance, double q) {
        if (q < 1 - 1 / 16.5) {
            ASSERT_NEAR(m, 255 * (1 - q), 1.01);
            ASSERT_NEAR(m + *inverse, 255, 1);
        }
        ASSERT_NEAR(distance, 255 * std::min(q, 1.0), 1);
        ++inverse;
    });
    // Ring, hardness 1/4: |2 cos(pi q)| < 1 only for q between 1/3 and 2/3.
    ForEachPixel(Pencil(YK_BRUSH_RING, 0.25, 41), [](uint8 m, uint8, double q) {
        if (q < 0.3 || (q > 0.7 && q < 0.95)) {
            ASSERT_EQ(m, 0);
        } else if (q > 0.45 && q < 0.55) {
            ASSERT_GT(m, 170);
        }
    });
}

TEST(BrushMaskTest, QuarterTurnTransposesAnEllipse) {
    Brush narrow;
    narrow.SetEllipseRatio(0.4);
    narrow.SetHardness(0.5);
    Brush flat = narrow;
    narrow.CreatePencil(31);
    flat.SetRotation(std::numbers::pi / 2);
    flat.CreatePencil(31);
    int32 width = 0;
    int32 height = 0;
    for (int32 y = 0; y < 31; ++y) {
        for (int32 x = 0; x < 31; ++x) {
            ASSERT_NEAR(MaskAt(narrow, x, y), MaskAt(flat, y, x), 1) << x << ", " << y;
        }
        width += MaskAt(narrow, y, 15) != 0;
        height += MaskAt(narrow, 15, y) != 0;
    }
    EXPECT_LT(2 * width, height);
}

TEST(BrushMaskTest, SharedTablesKeepWholeDistancesWhole) {
    // The Newton root of 169 is an ulp short of 13: a spacing of 13 must still pass at 13.
    for (int32 n = 0; n < Brush::kTableSide; ++n) {
        ASSERT_EQ(Brush::Distance(0, n), n);
    }
    EXPECT_EQ(Brush::Distance(3, 4), 5);
    EXPECT_NEAR(Brush::Distance(63, 63), 63 * std::numbers::sqrt2, 1e-4);
    EXPECT_NEAR(Brush::Angle(32, 63), 0.25, 1e-6);
    EXPECT_NEAR(Brush::Angle(0, 32), 0.5, 1e-6);
}

}  // namespace
