#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "OutlineProbe.h"
#include "PixelAt.h"
#include "YKBitmap.h"
#include "YKGradient.h"
#include "YKGradientBuffer.h"
#include "YKPattern.h"
#include "YKRaster.h"
#include "YKZipSketcher.h"

namespace {

using Point = YKPoint<double>;

class ZipSketcherTest : public ::testing::Test {
protected:
    ZipSketcherTest() {
        sketcher.SetBuffer(&bitmap);
        sketcher.SetFrame({0, 0, 63, 63});
        sketcher.SetAntgMode(YK_ANTG_ANTIALIASED);
        sketcher.SetFillColor(yk_color(200, 100, 50, 255));
        sketcher.SetStrokeStyle(YK_STYLE_NONE);
    }
    void Polygon(std::initializer_list<Point> points) {
        YKPointList list;
        outline_probe::Fill(list, points);
        sketcher.DrawPolygon(&list);
        EXPECT_EQ(list.CountItems(), 0);  // the caller's list is emptied
    }
    uint32 AlphaAt(int32 x, int32 y) { return PixelAt(bitmap, x, y) >> 24; }

    YKBitmap bitmap;
    YKZipSketcher sketcher;
};

TEST_F(ZipSketcherTest, CoverageOfWholeAndPartPixels) {
    Polygon({{2, 2}, {3, 2}, {3, 3}, {2, 3}});
    EXPECT_EQ(PixelAt(bitmap, 2, 2), 0xFFC86432u);
    EXPECT_EQ(AlphaAt(1, 2), 0u);
    EXPECT_EQ(AlphaAt(3, 2), 0u);
    // Half a pixel across gives coverage 1024, alpha 127; half a pixel down the same.
    Polygon({{10, 10}, {10.5, 10}, {10.5, 11}, {10, 11}});
    EXPECT_EQ(AlphaAt(10, 10), 127u);
    Polygon({{20, 20}, {21, 20}, {21, 20.5}, {20, 20.5}});
    EXPECT_EQ(AlphaAt(20, 20), 127u);
    // A fill colour's alpha scales the coverage's.
    sketcher.SetFillColor(yk_color(0, 0, 0, 128));
    Polygon({{30, 30}, {31, 30}, {31, 31}, {30, 31}});
    EXPECT_EQ(AlphaAt(30, 30), 128u);
}

TEST_F(ZipSketcherTest, NonZeroWindingFillsOverlapsOnceAndLeavesOppositeHoles) {
    // A pentagram: its centre winds twice and is filled.
    std::vector<Point> star;
    for (int32 i = 0; i < 5; ++i) {
        const double a = -M_PI / 2 + i * 4 * M_PI / 5;
        star.push_back({32 + 25 * std::cos(a), 32 + 25 * std::sin(a)});
    }
    Polygon({star[0], star[1], star[2], star[3], star[4]});
    EXPECT_EQ(AlphaAt(32, 32), 255u);
    bitmap.MakeEmpty();
    // An outer square one way and an inner one the other way, joined by a zero-width bridge.
    Polygon({{4, 4},
             {60, 4},
             {60, 60},
             {4, 60},
             {4, 20},
             {20, 20},
             {20, 40},
             {40, 40},
             {40, 20},
             {4, 20}});
    EXPECT_EQ(AlphaAt(30, 30), 0u);
    EXPECT_EQ(AlphaAt(10, 30), 255u);
}

TEST_F(ZipSketcherTest, NothingIsDrawnWithoutPaintBufferOrFrame) {
    sketcher.SetFillColor(yk_color(10, 10, 10, 0));
    Polygon({{2, 2}, {9, 2}, {9, 9}, {2, 9}});
    sketcher.SetFillColor(yk_color(10, 10, 10, 255));
    sketcher.SetFillStyle(YK_STYLE_NONE);
    Polygon({{2, 2}, {9, 2}, {9, 9}, {2, 9}});
    sketcher.SetFillStyle(YK_STYLE_COLOR);
    sketcher.SetFrame(YKRect<int32>::None());
    Polygon({{2, 2}, {9, 2}, {9, 9}, {2, 9}});
    EXPECT_TRUE(bitmap.IsEmpty());

    // Without a buffer nothing is even built; a stroke whose width was never set draws nothing.
    YKZipSketcher fresh;
    fresh.SetFrame({0, 0, 63, 63});
    YKPointList square;
    outline_probe::Fill(square, {{2, 2}, {9, 2}, {9, 9}});
    fresh.DrawPolygon(&square);
    EXPECT_EQ(fresh.Polygon()->CountItems(), 0);
    fresh.SetBuffer(&bitmap);
    fresh.SetFillStyle(YK_STYLE_NONE);
    fresh.DrawLine(Point{5, 5}, Point{50, 5});
    EXPECT_TRUE(bitmap.IsEmpty());
}

// Inside one sub-scanline, a gap narrower than a pixel between two inside spans counts as
// covered: the spans are merged before their coverage is added.
TEST_F(ZipSketcherTest, GapInsideOnePixelCountsAsCovered) {
    Polygon({{2, 2},
             {2.25, 2},
             {2.25, 3},
             {2, 3},
             {2, 2},
             {2.75, 2},
             {3, 2},
             {3, 3},
             {2.75, 3},
             {2.75, 2}});
    EXPECT_EQ(AlphaAt(2, 2), 255u);
    bitmap.MakeEmpty();
    // Across a pixel border the gap stays open.
    Polygon({{2, 2},
             {2.75, 2},
             {2.75, 3},
             {2, 3},
             {2, 2},
             {3.25, 2},
             {4, 2},
             {4, 3},
             {3.25, 3},
             {3.25, 2}});
    EXPECT_EQ(AlphaAt(2, 2), 191u);
    EXPECT_EQ(AlphaAt(3, 2), 191u);
}

TEST_F(ZipSketcherTest, HostileCoordinatesDrawNothingOrClippedAndQuickly) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Polygon({{nan, 2}, {9, 2}, {9, 9}});
    Polygon({{inf, 2}, {9, -inf}, {9, 9}});
    EXPECT_TRUE(bitmap.IsEmpty());
    const auto start = std::chrono::steady_clock::now();
    Polygon({{-1e300, -1e300}, {1e300, -1e300}, {1e300, 1e300}, {-1e300, 1e300}});
    EXPECT_EQ(AlphaAt(0, 0), 255u);
    EXPECT_EQ(AlphaAt(63, 63), 255u);
    EXPECT_EQ(AlphaAt(65, 65), 0u);  // the frame grows by one pixel
    // Far beyond the frame is skipped, not walked: a generous bound against a hang.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(ZipSketcherTest, PatternTilesSeamlesslyAcrossTheOrigin) {
    YKRaster tile({0, 0, 15, 15});
    for (int32 y = 0; y < 16; ++y) {
        for (int32 x = 0; x < 16; ++x) {
            const uint32 texel = 0xFF000000u | uint32(x * 16) << 8 | uint32(y * 16);
            std::memcpy(tile.Bits() + y * tile.BytesPerRow() + x * 4, &texel, 4);
        }
    }
    YKPattern pattern(&tile);
    sketcher.SetFrame({-20, -20, 20, 20});
    sketcher.SetFillStyle(YK_STYLE_PATTERN);
    sketcher.SetFillPattern(&pattern);
    sketcher.SetFillPatternAlpha(255);
    Polygon({{-20, -20}, {20, -20}, {20, 20}, {-20, 20}});
    for (int32 y = -19; y <= 19; y += 3) {
        for (int32 x = -19; x <= 19; x += 2) {
            const uint32 expected = 0xFF000000u | uint32(((x % 16 + 16) % 16) * 16) << 8 |
                                    uint32(((y % 16 + 16) % 16) * 16);
            ASSERT_EQ(PixelAt(bitmap, x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(ZipSketcherTest, GradientPaintTakesEachPixelsColourFromTheBuffer) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    sketcher.SetFillStyle(YK_STYLE_GRADIENT);
    for (int32 type = GRADIENT_LINEAR; type <= GRADIENT_WAVE2; ++type) {
        YKGradientBuffer gradient({0, 0, 63, 63}, "tmp_gradient", false);
        gradient.SetGradientType(static_cast<GradientType>(type));
        const double angle = 2 * M_PI * unit(random);
        const double sx = 64 * unit(random), sy = 64 * unit(random);
        gradient.SetSxSy(sx, sy);
        gradient.SetExEy(sx + 40 * std::cos(angle), sy + 40 * std::sin(angle));
        gradient.SetOffset(30 * unit(random));
        sketcher.SetFillGradient(&gradient);
        Polygon({{0, 0}, {64, 0}, {64, 64}, {0, 64}});
        for (int32 y = 0; y < 64; y += 5) {
            for (int32 x = 0; x < 64; ++x) {
                double r = 0, g = 0, b = 0, a = 0;
                gradient.GetPixel(x, y, &r, &g, &b, &a);
                const uint32 expected = 0xFF000000u | uint32(std::lround(r * 255)) << 16 |
                                        uint32(std::lround(g * 255)) << 8 |
                                        uint32(std::lround(b * 255));
                ASSERT_EQ(PixelAt(bitmap, x, y), expected) << type << " at " << x << "," << y;
            }
        }
    }
}

// A gradient of one colour paints as that colour does: edge coverage and the gradient's own
// alpha combine into the same pixels.
TEST_F(ZipSketcherTest, FlatGradientPaintsAsItsColour) {
    const std::initializer_list<Point> star{{3.3, 30.2},  {60.7, 2.9},  {40.1, 31.6},
                                            {61.2, 60.4}, {20.5, 44.8}, {2.2, 62.7}};
    for (uint8 alpha : {255, 200, 77, 1}) {
        YKGradientBuffer gradient({0, 0, 63, 63}, "tmp_gradient", false);
        YKGradient flat;
        flat.Eraze();
        const YKGradientItem::Color colour{51 / 255.0, 102 / 255.0, 153 / 255.0, alpha / 255.0};
        flat.AddItem(0.0, 0.5, 1.0, colour, colour);
        gradient.SetGradient(flat);
        gradient.SetExEy(40, 10);
        sketcher.SetFillStyle(YK_STYLE_GRADIENT);
        sketcher.SetFillGradient(&gradient);
        Polygon(star);
        std::vector<uint32> painted;
        for (int32 y = 0; y < 64; ++y) {
            for (int32 x = 0; x < 64; ++x) {
                painted.push_back(PixelAt(bitmap, x, y));
            }
        }
        bitmap.Erase({-8, -8, 72, 72});
        sketcher.SetFillStyle(YK_STYLE_COLOR);
        sketcher.SetFillColor(yk_color(51, 102, 153, alpha));
        Polygon(star);
        for (int32 y = 0; y < 64; ++y) {
            for (int32 x = 0; x < 64; ++x) {
                ASSERT_EQ(PixelAt(bitmap, x, y), painted[y * 64 + x])
                    << int32{alpha} << " at " << x << "," << y;
            }
        }
        bitmap.Erase({-8, -8, 72, 72});
    }
}

// Curves that stay clear of the frame are not subdivided: drawing far outside costs nothing.
TEST(SketcherFrameTest, CurvesClearOfTheFrameAreNotFlattened) {
    YKSketcher sketcher;
    sketcher.SetFrame({0, 0, 63, 63});
    sketcher.SetWidth(4);
    YKPointList far;
    outline_probe::Fill(far, {{1e6, 0}, {3e6, 9e5}, {-2e6, 4e6}, {1e6, 2e6}});
    sketcher.DrawBezier(&far);
    EXPECT_LE(sketcher.Polygon()->ItemAt(0)->CountItems(), 16);
    // The same curve through the frame is flattened as before.
    YKPointList through;
    outline_probe::Fill(through, {{-50, 30}, {20, -40}, {40, 100}, {110, 30}});
    sketcher.DrawBezier(&through);
    EXPECT_GT(sketcher.Polygon()->ItemAt(0)->CountItems(), 8);
}

}  // namespace
