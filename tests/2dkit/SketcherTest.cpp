#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "OutlineProbe.h"
#include "YKSketcher.h"

namespace {

using outline_probe::Covered;
using outline_probe::Fill;
using outline_probe::Reach;
using Point = YKPoint<double>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class SketcherDrawTest : public ::testing::Test {
protected:
    SketcherDrawTest() {
        s.SetWidth(4);
        s.SetLineMode(YK_CAP_BUTT, YK_CAP_BUTT, YK_JOIN_BEVEL, 10);
    }
    int32 Built() const { return s.Polygon()->ItemAt(0)->CountItems(); }
    int32 Outlines() const { return s.Outline()->CountItems(); }

    YKPointList points;
    YKSketcher s;
};

TEST_F(SketcherDrawTest, EachDrawReplacesWhatWasBuiltAndEmptiesTheCallersList) {
    Fill(points, {{0, 0}, {10, 0}, {10, 10}});
    s.DrawPolygon(&points);
    EXPECT_EQ(points.CountItems(), 0);
    ASSERT_EQ(s.Polygon()->CountItems(), 1);
    EXPECT_EQ(Built(), 3);
    EXPECT_EQ(Outlines(), 1);
    EXPECT_EQ(s.OutlineIn()->CountItems(), 1);
    EXPECT_EQ(s.OutlineOut()->CountItems(), 1);
    Fill(points, {{0, 0}, {5, 0}, {5, 5}, {0, 5}, {9, 9}});
    s.DrawRect(&points);
    EXPECT_EQ(points.CountItems(), 0);
    EXPECT_EQ(Built(), 4);   // only the four corners
    s.DrawLine(1, 2, 1, 2);  // a dot has no direction to stroke along
    EXPECT_EQ(Built(), 2);
    EXPECT_EQ(Outlines(), 0);
    // Text needs glyphs from font data: nothing is built, the path is emptied.
    Fill(points, {{0, 0}, {10, 0}, {20, 0}, {30, 0}});
    char text[] = "abc";
    s.DrawString(text, &points, 0, 0);
    EXPECT_EQ(points.CountItems(), 0);
    EXPECT_EQ(s.Polygon()->CountItems(), 0);
}

TEST_F(SketcherDrawTest, ArcStrokeLeavesOutTheClosingPointTheFillKeeps) {
    s.DrawArc({100, 50}, {150, 50}, {100, 100});  // radius 50 about (100, 100)
    const YKPointList& arc = *s.Polygon()->ItemAt(0);
    EXPECT_TRUE(arc.LastItem() == (Point{100, 100}));
    ASSERT_EQ(Outlines(), 1);
    EXPECT_TRUE(Covered(*s.Outline(), {100 + 50 * std::sin(0.7), 100 - 50 * std::cos(0.7)}));
    EXPECT_FALSE(Covered(*s.Outline(), {125, 100}));
    EXPECT_FALSE(Covered(*s.Outline(), {100, 75}));
    EXPECT_NEAR(Reach(*s.Outline(), {100, 100}), 52, 0.01);
}

TEST_F(SketcherDrawTest, NonFiniteInputBuildsNothing) {
    Fill(points, {{0, 0}, {kNaN, 3}, {10, 10}});
    s.DrawPolygon(&points);
    EXPECT_EQ(s.Polygon()->CountItems(), 0);
    EXPECT_EQ(Outlines(), 0);
    Fill(points, {{0, 0}, {kNaN, kNaN}, {1, 1}, {5, 5}});
    s.DrawBezier(&points);
    EXPECT_EQ(s.Polygon()->CountItems(), 0);
    s.DrawLine(0, 0, kInf, 0);
    s.DrawEllipse({0, 0}, {kNaN, 0}, {kNaN, 0}, {0, 10});
    s.DrawArc({0, 0}, {kInf, 0}, {0, 10});
    s.DrawRoundRect({0, 0}, {10, 0}, {10, kNaN}, {0, 10}, 3, 3);
    EXPECT_EQ(s.Polygon()->CountItems(), 0);
    EXPECT_EQ(Outlines(), 0);
}

TEST_F(SketcherDrawTest, HugeInputStaysFiniteAndBounded) {
    // Cross products overflow: the curve is subdivided until its point budget runs out.
    YKSketcher unstroked;
    Fill(points, {{-1e300, 0}, {0, 1e300}, {1e300, -1e300}, {1e300, 0}});
    unstroked.DrawBezier(&points);
    EXPECT_LE(unstroked.Polygon()->ItemAt(0)->CountItems(), YKSketcher::kMaxFlattenedPoints + 64);

    Fill(points, {{-1e300, 0}, {0, 1e300}, {1e300, -1e300}, {1e300, 1e300}});
    s.DrawPolygon(&points);
    EXPECT_EQ(Outlines(), 1);
    EXPECT_FALSE(std::isnan(Reach(*s.Outline(), {0, 0})));
    // Bands whose corners overflow are dropped; the fill stays.
    for (double width : {1e308, kInf}) {
        s.SetWidth(width);
        s.DrawLine(1.5e308, 1.5e308, 1.7e308, 1.5e308);
        EXPECT_EQ(s.Polygon()->CountItems(), 1);
        EXPECT_EQ(Outlines(), 0);
    }
    // Width entries that are negative, NaN or missing give no width there.
    YKList<double> widths;
    for (double w : {6.0, -5.0, kNaN}) {
        widths.AddItem(w);
    }
    s.SetWidthArray(&widths);
    s.SetLineMode(YK_CAP_ROUND, YK_CAP_ARROW2, YK_JOIN_MITER, kNaN);
    Fill(points, {{0, 0}, {10, 0}, {0, 1}, {10, 1}});
    s.DrawPolygon(&points);
    EXPECT_EQ(Outlines(), 1);
    EXPECT_NEAR(Reach(*s.Outline(), {0, 0}), std::sqrt(101.0), 1e-9);
}

}  // namespace
