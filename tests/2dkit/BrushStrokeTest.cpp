// Where a pencil stroke puts its dabs: the first dab, spacing with its 63-pixel cap, continuous
// lines and jitter. A one-pixel dab ("Burn Sun" on an empty bitmap) marks each position.

#include <gtest/gtest.h>

#include <vector>

#include "YKBitmap.h"
#include "YKPencilBrushRenderer.h"

namespace {

using Point = YKPoint<int32>;
using Rect = YKRect<int32>;

class BrushStrokeTest : public ::testing::Test {
protected:
    BrushStrokeTest() {
        mBrush.SetMode(YK_BRUSH_BURN_SUN);
        mBrush.CreatePencil(1);
    }
    // A stroke's first position, then the others.
    void Stroke(std::initializer_list<Point> points) {
        mBrush.SetCineTime(0);
        for (const Point& p : points) {
            mBrush.DrawBrush(&mBitmap, p, &mTouched);
            mBrush.SetCineTime(1);
        }
    }
    std::vector<Point> Dabs(Rect area) {
        std::vector<Point> dabs;
        for (int32 y = area.top; y <= area.bottom; ++y) {
            for (int32 x = area.left; x <= area.right; ++x) {
                if (mBitmap.GetLineAt(y, x, x)[0] != 0) {
                    dabs.push_back({x, y});
                }
            }
        }
        return dabs;
    }

    YKPencilBrushRenderer mBrush;
    YKBitmap mBitmap;
    Rect mTouched;
};

TEST_F(BrushStrokeTest, FirstDabIsDrawnWhateverTheSpacing) {
    mBrush.SetSpacing(50);
    mBrush.SetContinious(false);
    Stroke({{5, 5}, {6, 5}});
    EXPECT_EQ(mTouched, Rect::None());
    EXPECT_EQ(Dabs({0, 0, 60, 10}), (std::vector<Point>{{5, 5}}));
    mBrush.DrawBrush(&mBitmap, {55, 5}, &mTouched);
    EXPECT_EQ(mTouched, (Rect{54, 4, 56, 6}));
    EXPECT_EQ(Dabs({0, 0, 60, 10}), (std::vector<Point>{{5, 5}, {55, 5}}));
}

TEST_F(BrushStrokeTest, SpacingCountsAtMost63PixelsPerAxis) {
    mBrush.SetContinious(false);
    mBrush.SetSpacing(89);  // 63·sqrt(2) = 89.1
    Stroke({{0, 0}, {500, 500}});
    mBrush.SetSpacing(64);
    mBrush.DrawBrush(&mBitmap, {600, 500}, nullptr);
    mBrush.SetSpacing(90);
    mBrush.DrawBrush(&mBitmap, {1500, 1500}, nullptr);
    EXPECT_EQ(mBitmap.Frame(), (Rect{0, 0, 501, 501}));  // every dab grows the frame
    EXPECT_EQ(Dabs({0, 0, 1, 1}), (std::vector<Point>{{0, 0}}));
    EXPECT_EQ(Dabs({500, 500, 501, 501}), (std::vector<Point>{{500, 500}}));
}

TEST_F(BrushStrokeTest, ContinuousStrokeDabsAtSpacedPointsOfTheLine) {
    mBrush.SetSpacing(4);
    Stroke({{0, 0}, {12, 12}, {22, 12}});
    EXPECT_EQ(mTouched, (Rect{11, 11, 23, 13}));
    EXPECT_EQ(Dabs({0, 0, 30, 30}),
              (std::vector<Point>{{0, 0}, {3, 3}, {6, 6}, {9, 9}, {12, 12}, {16, 12}, {20, 12}}));
}

TEST_F(BrushStrokeTest, SteepContinuousStrokeStepsAlongY) {
    mBrush.SetSpacing(2);
    Stroke({{0, 0}, {2, 8}});
    const std::vector<Point> dabs = Dabs({-1, -1, 3, 9});
    ASSERT_EQ(dabs.size(), 5u);
    for (std::size_t i = 0; i < dabs.size(); ++i) {
        EXPECT_EQ(dabs[i].y, int32(2 * i));
        EXPECT_NEAR(dabs[i].x, dabs[i].y / 4.0, 1);
    }
}

TEST_F(BrushStrokeTest, JitteredDabsStayWithinHalfTheAmountAndSpacingIgnoresJitter) {
    mBrush.SetRandomizeCenter(20 / 255.0);
    mBrush.SetSpacing(40);  // met exactly by the unmoved positions only
    mBrush.SetRandomSeed(7);
    Stroke({{0, 0}});
    int32 moved = 0;
    for (int32 i = 1; i <= 30; ++i) {
        const Point p{40 * i, 0};
        mBrush.DrawBrush(&mBitmap, p, &mTouched);
        const std::vector<Point> dabs = Dabs({p.x - 12, -12, p.x + 12, 12});
        ASSERT_EQ(dabs.size(), 1u) << i;
        const Point d = dabs[0];
        ASSERT_LE(std::abs(d.x - p.x), 10);
        ASSERT_LE(std::abs(d.y), 10);
        EXPECT_EQ(mTouched, (Rect{d.x - 1, d.y - 1, d.x + 1, d.y + 1}));
        moved += d.x != p.x || d.y != 0;
    }
    EXPECT_GT(moved, 20);
}

}  // namespace
