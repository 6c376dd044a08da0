#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "PixelAt.h"
#include "YKRaster.h"

namespace {

using Rect = YKRect<int32>;
using Point = YKPoint<int32>;

class RasterDrawTest : public ::testing::Test {
protected:
    uint32 At(int32 x, int32 y) const { return PixelAt(mRaster, x, y); }
    int32 CountSet() const {
        int32 count = 0;
        for (int32 y = mRaster.Frame().top; y <= mRaster.Frame().bottom; ++y) {
            for (int32 x = mRaster.Frame().left; x <= mRaster.Frame().right; ++x) {
                count += At(x, y) != 0;
            }
        }
        return count;
    }
    // One character per pixel, rows separated by '|': '#' drawn, '.' not.
    std::string Picture() const {
        std::string picture;
        for (int32 y = mRaster.Frame().top; y <= mRaster.Frame().bottom; ++y) {
            for (int32 x = mRaster.Frame().left; x <= mRaster.Frame().right; ++x) {
                picture += At(x, y) != 0 ? '#' : '.';
            }
            picture += '|';
        }
        return picture;
    }

    YKRaster mRaster{Rect{0, 0, 15, 11}};
};

TEST_F(RasterDrawTest, FillRectClipsToTheFrame) {
    YKRaster raster({3, 4, 12, 10});
    raster.FillRect(5, 5, 2, 8);
    raster.FillRect(Point{5, 9}, Point{8, 8});
    raster.FillRect(Rect{20, 20, 30, 30});
    EXPECT_EQ(std::count(raster.Bits(), raster.Bits() + raster.BitsLength(), 0), 280);
    raster.FillRect(-100, -100, 100, 100);
    EXPECT_EQ(std::count(raster.Bits(), raster.Bits() + raster.BitsLength(), 0xFF), 280);
}

TEST_F(RasterDrawTest, PatternBitsPickHighOrLowColor) {
    YKRaster raster({-9, 0, 20, 2});
    const uint8 pattern[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    raster.SetPattern(pattern);
    raster.SetLowColor(0, 0, 255);
    raster.FillRect(raster.Frame());
    const auto* pixels = reinterpret_cast<const uint32*>(raster.Bits());
    for (int32 y = 0; y < 3; ++y) {
        for (int32 x = -9; x <= 20; ++x) {
            const uint32 expected = x % 8 == 0 ? 0xFFFFFFFFu : 0xFF0000FFu;
            ASSERT_EQ(pixels[y * 30 + x + 9], expected) << x << "," << y;
        }
    }
    raster.SetPattern(nullptr);
    raster.PutPixel(-8, 0);
    raster.PutPixel(-7, 0);
    EXPECT_EQ(pixels[2], 0xFFFFFFFFu);
}

TEST_F(RasterDrawTest, PixelsGoThroughTheDrawingMode) {
    mRaster.SetHighColor(0, 0, 0);
    mRaster.FillRect(0, 0, 1, 0);
    mRaster.SetHighColor(255, 0, 0, 128);
    mRaster.SetDrawingMode(YK_NORMAL);
    mRaster.PutPixel(0, 0);
    mRaster.FillRect(1, 0, 1, 0);
    EXPECT_EQ(At(0, 0), 0xFF7F0000u);  // composed onto opaque black: 255 * 128 >> 8
    EXPECT_EQ(At(1, 0), 0xFF7F0000u);
    mRaster.PutPixel(-1, 0);  // outside: ignored
    mRaster.PutPixel(16, 11);
    EXPECT_EQ(CountSet(), 2);
}

TEST_F(RasterDrawTest, LinesPlotBothEnds) {
    mRaster.StrokeLine(0, 0, 3, 1);
    EXPECT_EQ(CountSet(), 4);
    EXPECT_NE(At(0, 0), 0u);
    EXPECT_NE(At(3, 1), 0u);

    YKRaster steep({0, 0, 3, 9});
    steep.StrokeLine(Point{3, 9}, Point{0, 0});
    const auto* pixels = reinterpret_cast<const uint32*>(steep.Bits());
    for (int32 y = 0; y < 10; ++y) {
        int32 inRow = 0;
        for (int32 x = 0; x < 4; ++x) {
            inRow += pixels[y * 4 + x] != 0;
        }
        EXPECT_EQ(inRow, 1) << "row " << y;
    }
    EXPECT_NE(pixels[0], 0u);
    EXPECT_NE(pixels[39], 0u);

    mRaster.StrokeLine(Rect{14, 5, 2, 5});  // horizontal, given backwards
    EXPECT_EQ(CountSet(), 4 + 13);
}

TEST_F(RasterDrawTest, StrokeRectDrawsTheBorderOnly) {
    mRaster.StrokeRect(Rect{2, 1, 6, 4});
    EXPECT_EQ(Picture().substr(0, 17 * 6),
              "................|"
              "..#####.........|"
              "..#...#.........|"
              "..#...#.........|"
              "..#####.........|"
              "................|");
}

// Add piles up on a pixel merged twice, so a value of 1 everywhere proves each pixel is merged
// once; the outline, drawn before the fill, must lie on it and so read 2.
TEST_F(RasterDrawTest, EllipsesAreSymmetricAndTheOutlineLiesOnTheFill) {
    mRaster.SetDrawingMode(YK_ADD);
    mRaster.SetHighColor(1, 1, 1);
    mRaster.StrokeEllipse(Point{1, 1}, Point{13, 9});  // centre (7, 5), radii 6 and 4
    const std::string outline = Picture();
    mRaster.FillEllipse(1, 1, 13, 9);
    int32 filled = 0;
    for (int32 y = 0; y <= 10; ++y) {
        for (int32 x = 0; x <= 14; ++x) {
            const bool onOutline = outline[static_cast<std::size_t>(y * 17 + x)] == '#';
            const uint32 pixel = At(x, y);
            ASSERT_TRUE(pixel == (onOutline ? 0xFF020202u : 0xFF010101u) ||
                        (!onOutline && pixel == 0))
                << x << "," << y;
            EXPECT_EQ(pixel, At(14 - x, y)) << x << "," << y;
            EXPECT_EQ(pixel, At(x, 10 - y)) << x << "," << y;
            filled += pixel != 0;
        }
    }
    EXPECT_EQ(Picture().substr(0, 17 * 3),
              "................|"
              ".....#####......|"
              "...#########....|");
    EXPECT_NE(At(1, 5), 0u);  // the ends of the long axis
    EXPECT_NE(At(13, 5), 0u);
    EXPECT_GT(filled, 75);  // between the areas of radii (6, 4) and (7, 5)
    EXPECT_LT(filled, 110);
}

// Rows start below the top vertex. The lower edges step by -1536 / 5 and 1536 / 5 in 24.8,
// truncated: rows 7 to 11 run from 2..11 down to 6..7.
TEST_F(RasterDrawTest, ConvexPolygonFillsBetweenItsEdges) {
    const Point diamond[] = {{7, 0}, {13, 6}, {7, 11}, {1, 6}};
    mRaster.FillPolygon(diamond, 4);
    EXPECT_EQ(Picture(),
              "................|"
              "......###.......|"
              ".....#####......|"
              "....#######.....|"
              "...#########....|"
              "..###########...|"
              ".#############..|"
              "..##########....|"
              "...########.....|"
              "....######......|"
              ".....####.......|"
              "......##........|");
}

TEST_F(RasterDrawTest, HugePolygonDrawsOnlyTheFrame) {
    const Point huge[] = {{-2000000000, -2000000000}, {2000000000, -2000000000}, {0, 2000000000}};
    mRaster.FillPolygon(huge, 3);
    EXPECT_EQ(CountSet(), 16 * 12);
    mRaster.FillPolygon(huge, 1);
    mRaster.FillPolygon(nullptr, 3);
}

TEST_F(RasterDrawTest, TriangleFillsRowByRow) {
    mRaster.FillTriangle({0, 10}, {0, 0}, {10, 0});
    for (int32 y = 0; y <= 11; ++y) {
        for (int32 x = 0; x <= 15; ++x) {
            EXPECT_EQ(At(x, y) != 0, y <= 10 && x <= 10 - y) << x << "," << y;
        }
    }
    YKRaster line({0, 0, 9, 0});
    line.FillTriangle({2, 0}, {7, 0}, {4, 0});
    EXPECT_EQ(PixelAt(line, 7, 0), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(line, 8, 0), 0u);
}

}  // namespace
