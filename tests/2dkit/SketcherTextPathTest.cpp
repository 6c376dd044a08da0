// The sketcher's text: glyphs along a path (placement, turning, the path's end) and glyph
// outlines stroked like any other shape.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "OutlineProbe.h"
#include "PixelAt.h"
#include "YKBitmap.h"
#include "YKDash.h"
#include "YKFontDataFreetype.h"
#include "YKZipSketcher.h"
#include "yk_font_match.h"

namespace {

using outline_probe::Fill;
using Point = YKPoint<double>;

constexpr double kPi = std::numbers::pi;

// A quarter circle about (200, 200) of radius 150, from its left point up to its top one.
constexpr double kRadius = 150;
const Point kCentre{200, 200};

void QuarterCircle(YKPointList& path) {
    const double k = 0.5523 * kRadius;  // the usual cubic approximation of a quarter circle
    Fill(path, {{50, 200}, {50, 200 - k}, {200 - k, 50}, {200, 50}});
}

// `length` pixels in the direction `angle`.
Point Heading(double angle, double length) {
    return {length * std::cos(angle), length * std::sin(angle)};
}

double AngleBetween(double a, double b) {
    return std::fabs(std::remainder(a - b, 2 * kPi));
}

class SketcherTextPathTest : public ::testing::Test {
protected:
    SketcherTextPathTest()
        : font(std::make_unique<YKFontDataFreetype>(yk_fallback_font_path().c_str())) {
        font->SetSize(24, 24);
        s.SetFontData(font.get());
    }
    void AlongPath(std::string text, std::initializer_list<Point> points, double a = 0) {
        YKPointList path;
        Fill(path, points);
        s.DrawString(text.data(), &path, a, 0);
        EXPECT_TRUE(path.IsEmpty());  // the caller's path is emptied
    }
    // Every point the sketcher built, in order, kept past the next drawing.
    std::vector<Point> Built() const {
        std::vector<Point> points;
        for (int32 i = 0; i < s.Polygon()->CountItems(); ++i) {
            for (int32 k = 0; k < s.Polygon()->ItemAt(i)->CountItems(); ++k) {
                points.push_back(s.Polygon()->ItemAt(i)->ItemAt(k));
            }
        }
        return points;
    }
    static void ExpectSame(const std::vector<Point>& actual, const std::vector<Point>& expected) {
        ASSERT_EQ(actual.size(), expected.size());
        for (std::size_t k = 0; k < actual.size(); ++k) {
            EXPECT_NEAR(actual[k].x, expected[k].x, 1e-6) << k;
            EXPECT_NEAR(actual[k].y, expected[k].y, 1e-6) << k;
        }
    }
    double Width(const char* text) { return font->StringWidth(text, 0); }

    std::unique_ptr<YKFontDataFreetype> font;
    YKSketcher s;
};

TEST_F(SketcherTextPathTest, AlongAStraightLineGlyphsLandWhereTheLineOfTextPutsThem) {
    // Kerned ("AV"), spaced and offset: the pen advances along the path exactly as along a line.
    font->SetSpacing(10);
    AlongPath("AVA Way", {{10, 50}, {100, 50}, {200, 50}, {400, 50}}, 20);
    const std::vector<Point> along = Built();
    const YKList<path_item>& placed = *s.StringPath();
    ASSERT_EQ(placed.CountItems(), 8);  // seven characters and the end
    EXPECT_STREQ(placed.ItemAt(0).character, "A");
    EXPECT_STREQ(placed.ItemAt(7).character, "");
    EXPECT_NEAR(placed.ItemAt(7).point.x, 30 + Width("AVA Way"), 1e-6);
    s.DrawString("AVA Way", Point{30, 50});
    ExpectSame(along, Built());
}

TEST_F(SketcherTextPathTest, DownAVerticalLineGlyphsAreTheLevelOnesTurnedAQuarter) {
    AlongPath("Fy\xC3\xA9", {{100, 20}, {100, 100}, {100, 200}, {100, 400}});
    const std::vector<Point> along = Built();
    const YKList<path_item>& placed = *s.StringPath();
    ASSERT_EQ(placed.CountItems(), 4);
    EXPECT_STREQ(placed.ItemAt(2).character, "\xC3\xA9");  // a character, not a byte
    std::vector<Point> turned;
    std::string prefix;
    for (int32 i = 0; i < 3; ++i) {
        const path_item item = placed.ItemAt(i);
        // Kerned as on a line ("Fy" is a pair).
        prefix += item.character;
        EXPECT_NEAR(item.point.x, 100, 1e-9);
        EXPECT_NEAR(item.point.y, 20 + Width(prefix.c_str()) - Width(item.character), 1e-9);
        EXPECT_NEAR(item.angle, kPi / 2, 1e-12);
        // Contours sit half a pixel up and left of the pen, after turning.
        s.DrawString(item.character, item.point);
        for (const Point p : Built()) {
            const Point d = p - item.point + Point{0.5, 0.5};
            turned.push_back(item.point + Point{-d.y - 0.5, d.x - 0.5});
        }
    }
    ExpectSame(along, turned);
    EXPECT_NEAR(placed.ItemAt(3).point.y, 20 + Width(prefix.c_str()), 1e-9);
}

TEST_F(SketcherTextPathTest, OnACurveEachGlyphIsCentredOnThePathAndTurnedToItsTangent) {
    // Wide glyphs on a tight curve: turning a glyph to the tangent at its start, or leaving its
    // middle off the path, is then far out.
    font->SetSize(72, 72);
    YKPointList path;
    QuarterCircle(path);
    char text[] = "Wave";
    s.DrawString(text, &path, 0, 0);
    const YKList<path_item>& placed = *s.StringPath();
    ASSERT_EQ(placed.CountItems(), 4);  // "e" runs past the end
    double previous = -kPi;
    for (int32 i = 0; i + 1 < placed.CountItems(); ++i) {
        const path_item item = placed.ItemAt(i);
        const Point middle = item.point + Heading(item.angle, Width(item.character) / 2);
        const Point out = middle - kCentre;
        EXPECT_NEAR(std::hypot(out.x, out.y), kRadius, 0.5) << i;
        // Clockwise on screen, the tangent is the radius turned a quarter forward; the
        // flattened quarter's segments turn by about 0.12 radian each.
        const double around = std::atan2(out.y, out.x) + (out.y > 0 ? -2 * kPi : 0);
        EXPECT_LT(AngleBetween(item.angle, around + kPi / 2), 0.07) << i;
        EXPECT_GT(around, previous) << i;
        previous = around;
    }
    // Where a drawing frame cuts the path, the glyphs keep their places.
    const path_item last = placed.LastItem();
    s.SetFrame({0, 0, 60, 60});
    QuarterCircle(path);
    s.DrawString(text, &path, 0, 0);
    ASSERT_EQ(placed.CountItems(), 4);
    EXPECT_NEAR(placed.LastItem().point.x, last.point.x, 1e-9);
    EXPECT_NEAR(placed.LastItem().point.y, last.point.y, 1e-9);
}

TEST_F(SketcherTextPathTest, TextStopsAtThePathsEndAndBadInputBuildsNothing) {
    AlongPath("nnnnnnnnnnnnnnnnnnnn", {{10, 50}, {40, 50}, {80, 50}, {110, 50}});
    const YKList<path_item>& placed = *s.StringPath();
    const double n = Width("n");
    ASSERT_EQ(placed.CountItems(), static_cast<int32>(100 / n) + 1);
    EXPECT_LE(placed.LastItem().point.x, 110);
    EXPECT_GT(placed.LastItem().point.x + n, 110);
    // An offset past the end leaves no room; empty text keeps only the end (the caret's place).
    AlongPath("n", {{10, 50}, {40, 50}, {80, 50}, {110, 50}}, 1e300);
    EXPECT_EQ(s.Polygon()->CountItems(), 0);
    ASSERT_EQ(placed.CountItems(), 1);
    EXPECT_NEAR(placed.ItemAt(0).point.x, 110, 1e-9);
    AlongPath("", {{10, 50}, {40, 50}, {80, 50}, {110, 50}});
    EXPECT_EQ(placed.CountItems(), 1);
    EXPECT_EQ(s.Polygon()->CountItems(), 0);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const auto& points : {std::initializer_list<Point>{{0, 0}, {10, 0}, {20, 0}},
                               std::initializer_list<Point>{{5, 5}, {5, 5}, {5, 5}, {5, 5}},
                               std::initializer_list<Point>{{0, 0}, {nan, 0}, {20, 0}, {30, 0}}}) {
        AlongPath("abc", points);
        EXPECT_EQ(s.Polygon()->CountItems(), 0);
        EXPECT_EQ(placed.CountItems(), 0);
    }
    s.DrawString(nullptr, static_cast<YKPointList*>(nullptr), 0, 0);
    EXPECT_EQ(s.Polygon()->CountItems(), 0);
}

TEST_F(SketcherTextPathTest, GlyphsAreStrokedOutlinedAndDashed) {
    s.SetWidth(3);
    s.SetClosed(true);
    s.DrawString("Ok", Point{10, 50});
    // A closed stroke rings each glyph contour once.
    ASSERT_GT(s.Polygon()->CountItems(), 0);
    EXPECT_EQ(s.Outline()->CountItems(), s.Polygon()->CountItems());
    YKList<double> tab;
    tab.AddItem(4);
    tab.AddItem(4);
    YKDash dash(&tab);
    s.SetStrokeDash(&dash);
    AlongPath("Ok", {{10, 50}, {40, 50}, {80, 50}, {110, 50}});
    EXPECT_GT(s.Outline()->CountItems(), 3 * s.Polygon()->CountItems());
}

TEST_F(SketcherTextPathTest, ZipSketcherInksCurvedTextAlongThePath) {
    YKBitmap bitmap;
    YKZipSketcher zip;
    zip.SetBuffer(&bitmap);
    zip.SetFrame({0, 0, 239, 239});
    zip.SetAntgMode(YK_ANTG_ANTIALIASED);
    zip.SetFillColor(yk_color(0, 0, 0, 255));
    zip.SetStrokeStyle(YK_STYLE_NONE);
    zip.SetFontData(font.get());
    YKPointList path;
    QuarterCircle(path);
    char text[] = "HHHHHHHHHHHH";
    zip.DrawString(text, &path, 0, 0);
    EXPECT_TRUE(path.IsEmpty());
    const double em = font->SizeV() * 96 / 72;
    for (int32 y = 0; y < 240; ++y) {
        for (int32 x = 0; x < 240; ++x) {
            if (PixelAt(bitmap, x, y) >> 24 == 0) {
                continue;
            }
            // Capitals stand on the path, on its outer side.
            const double r = std::hypot(x + 0.5 - kCentre.x, y + 0.5 - kCentre.y);
            EXPECT_GT(r, kRadius - 2) << x << "," << y;
            EXPECT_LT(r, kRadius + em) << x << "," << y;
        }
    }
    // Each placed glyph has ink (the bar of its H) half a cap height out from the middle of
    // its advance.
    const YKList<path_item>& placed = *zip.StringPath();
    ASSERT_GT(placed.CountItems(), 5);
    for (int32 i = 0; i + 1 < placed.CountItems(); ++i) {
        const path_item item = placed.ItemAt(i);
        const Point middle = item.point + Heading(item.angle, Width("H") / 2) +
                             Heading(item.angle - kPi / 2, em * 0.4);
        uint32 darkest = 0;
        for (int32 k = 0; k < 9; ++k) {
            const auto x = static_cast<int32>(std::floor(middle.x)) + k % 3 - 1;
            const auto y = static_cast<int32>(std::floor(middle.y)) + k / 3 - 1;
            darkest = std::max(darkest, PixelAt(bitmap, x, y) >> 24);
        }
        EXPECT_EQ(darkest, 255u) << i;
    }
}

}  // namespace
