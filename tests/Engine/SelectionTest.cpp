// The bitmap selection: masks of each shape, union and subtraction, feathering, the magic wand
// and the conversions, all clipped to the canvas.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "PixelAt.h"
#include "TestDocument.h"

namespace {

using Rect = YKRect<int32>;
constexpr Rect kCanvas{0, 0, 99, 79};

struct Coverage {
    int32 pixels = 0;  // alpha above 0
    int64 alpha = 0;   // sum of alphas
};

Coverage Measure(YKBitmap* mask, Rect area = {-20, -20, 119, 99}) {
    Coverage c;
    for (int32 y = area.top; mask != nullptr && y <= area.bottom; ++y) {
        for (int32 x = area.left; x <= area.right; ++x) {
            const uint32 p = PixelAt(*mask, x, y);
            c.pixels += (p >> 24) != 0;
            c.alpha += p >> 24;
        }
    }
    return c;
}

uint32 AlphaAt(YKBitmap* mask, int32 x, int32 y) {
    return PixelAt(*mask, x, y) >> 24;
}

class SelectionTest : public testing::Test, public CanvasViewer {
protected:
    SelectionTest() : CanvasViewer(kCanvas) {}
    void SetUp() override { viewer.CreateViewer(); }
};

TEST_F(SelectionTest, ShapesCoverTheirAreaWithinTheCanvas) {
    EXPECT_EQ(Measure(viewer.CreateRectangleSelection({10, 10, 19, 29}).get()).alpha, 200 * 255);
    // Corners in any order; the part off the canvas is cut.
    EXPECT_EQ(Measure(viewer.CreateRectangleSelection({19, 29, 10, 10}).get()).pixels, 200);
    EXPECT_EQ(Measure(viewer.CreateRectangleSelection({90, -10, 200, 9}).get()).pixels, 100);
    EXPECT_EQ(viewer.CreateRectangleSelection({1000000000, 0, 2000000000, 9}), nullptr);

    // A 40 x 20 ellipse: the hard edge takes the half-covered pixels, the soft one its area.
    const double area = std::numbers::pi * 20 * 10;
    auto hard = viewer.CreateEllipsisSelection({10, 10, 49, 29}, false);
    const Coverage h = Measure(hard.get());
    EXPECT_NEAR(h.pixels, area, area * 0.015);
    EXPECT_EQ(h.alpha, int64{h.pixels} * 255);
    // It touches the box's four sides and no pixel beyond.
    EXPECT_EQ(hard->Frame(), (Rect{10, 10, 49, 29}));
    EXPECT_NEAR(Measure(viewer.CreateEllipsisSelection({10, 10, 49, 29}, true).get()).alpha / 255.0,
                area, area * 0.005);
    // One far larger than the canvas and around it covers all of it.
    EXPECT_EQ(
        Measure(
            viewer.CreateEllipsisSelection({-2000000000, -2000000000, 2000000000, 2000000000}, true)
                .get())
            .pixels,
        100 * 80);

    // The lasso: a right triangle (8 sub-scanlines blur its slope a little), with points that
    // are not numbers left out.
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    for (YKPoint<double> p : {YKPoint<double>{0, 0}, {40, 0}, {kNaN, 5}, {0, 40}}) {
        viewer.AddFreeHandSelectionPoint(p);
    }
    EXPECT_EQ(viewer.FreeHandSelectionPointCount(), 4);
    EXPECT_NEAR(Measure(viewer.CreateFreehandSelection({}, true).get()).alpha / 255.0, 800, 4);
    viewer.DeleteFreeHandSelectionPoints();
    EXPECT_EQ(viewer.CreateFreehandSelection({}, true), nullptr);
}

TEST_F(SelectionTest, UnionSubtractionAndMovesChangeTheSelectionForEveryView) {
    viewer.CreateViewer();
    EXPECT_EQ(viewer.GetSelection(), nullptr);
    viewer.AddSelection(viewer.CreateRectangleSelection({0, 0, 19, 19}).get());
    EXPECT_TRUE(viewer.SelectionChanged());
    viewer.AddSelection(viewer.CreateRectangleSelection({10, 10, 29, 29}).get());
    EXPECT_EQ(Measure(viewer.GetSelection()).pixels, 400 + 400 - 100);
    EXPECT_TRUE(viewer.HasSelectionChanged(0));
    EXPECT_FALSE(viewer.HasSelectionChanged(0));
    EXPECT_TRUE(viewer.HasSelectionChanged(1));

    // Half-selected pixels taken away from fully selected ones leave half.
    YKBitmap half;
    for (int32 y = 0; y < 5; ++y) {
        half.SetPixelAt(y, 0, 30, 0x80000000u, 17);
    }
    viewer.RemoveSelection(&half);
    EXPECT_EQ(AlphaAt(viewer.GetSelection(), 2, 2), 127u);
    viewer.RemoveSelection(viewer.CreateRectangleSelection({0, 0, 99, 14}).get());
    EXPECT_EQ(Measure(viewer.GetSelection()).pixels, 5 * 30 + 10 * 20);
    EXPECT_EQ(viewer.SelectionFrame(0), (Rect{0, 15, 29, 29}));

    viewer.OffSetSelectionBy({5, -3});
    EXPECT_EQ(viewer.SelectionFrame(1), (Rect{5, 12, 34, 26}));
    EXPECT_EQ(viewer.SelectionFrame(5), Rect::None());
    viewer.RemoveSelection(viewer.CreateRectangleSelection({0, 0, 99, 79}).get());
    EXPECT_EQ(viewer.GetSelection(), nullptr);
}

TEST_F(SelectionTest, FeatherSoftensTheEdgeAndKeepsTheAmount) {
    auto mask = viewer.CreateRectangleSelection({30, 30, 59, 49});
    viewer.FeatherSelection(mask, 4);
    const Coverage c = Measure(mask.get());
    EXPECT_NEAR(c.alpha, 600 * 255, 600 * 255 * 0.02);
    EXPECT_EQ(AlphaAt(mask.get(), 45, 40), 255u);
    EXPECT_LT(AlphaAt(mask.get(), 30, 40), 255u);
    EXPECT_GT(AlphaAt(mask.get(), 29, 40), 0u);
    EXPECT_EQ(AlphaAt(mask.get(), 25, 40), 0u);
    // A huge radius is capped and stays on the canvas.
    viewer.AddSelection(viewer.CreateRectangleSelection({0, 0, 9, 9}).get());
    viewer.FeatherSelection(1000000000);
    EXPECT_TRUE(kCanvas.Contains(viewer.GetSelection()->Frame().LeftTop()));
    EXPECT_EQ(viewer.GetSelection()->Frame() & kCanvas, viewer.GetSelection()->Frame());
}

TEST_F(SelectionTest, MagicWandAndConversionsFollowWhatTheViewShows) {
    YKUserLayer* bottom = AddUserLayer();
    AddQuad(bottom, 0xFFFF0000u, {0, 0, 50, 80});
    QuadLayer* blue = AddQuad(bottom, 0xFF0000FFu, {50, 0, 100, 80});
    YKUserLayer* top = AddUserLayer();
    AddQuad(top, 0xFF00FF00u, {20, 20, 30, 30});

    // The red half less the green island; near colours join with a tolerance.
    EXPECT_EQ(Measure(viewer.CreateMagicWandSelection({5, 5}, 0).get()).pixels, 4000 - 100);
    EXPECT_EQ(Measure(viewer.CreateMagicWandSelection({5, 5}, 255).get()).pixels, 8000);
    EXPECT_EQ(viewer.CreateMagicWandSelection({-1, 5}, 255), nullptr);

    viewer.SetCurrentUserLayer(top);
    EXPECT_TRUE(viewer.ConvertLayerToSelection());
    EXPECT_EQ(viewer.SelectionFrame(0), (Rect{20, 20, 29, 29}));
    viewer.SetCurrentUserLayer(bottom);
    EXPECT_FALSE(viewer.ConvertObjectToSelection());
    blue->SetObjectMode(YKObjectLayer::kModeSelected, false);
    EXPECT_TRUE(viewer.ConvertObjectToSelection());
    EXPECT_EQ(Measure(viewer.GetSelection()).pixels, 4000);
    EXPECT_EQ(viewer.SelectionFrame(0), (Rect{50, 0, 99, 79}));
}

}  // namespace
