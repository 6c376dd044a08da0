#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "OutlineProbe.h"
#include "YKSketcher.h"

namespace {

using outline_probe::Distance;
using outline_probe::Fill;
using outline_probe::Winding;
using Point = YKPoint<double>;

class SketcherShapesTest : public ::testing::Test {
protected:
    const YKPointList& Built() const { return *s.Polygon()->ItemAt(0); }
    const YKPointList& Bezier(std::initializer_list<Point> points) {
        YKPointList list;
        Fill(list, points);
        s.DrawBezier(&list);
        return Built();
    }

    YKSketcher s;
};

double Cross(Point o, Point a, Point b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// No two edges without a shared corner cross or touch.
bool IsSimple(const YKPointList& polygon) {
    const int32 n = polygon.CountItems();
    for (int32 i = 0; i < n; ++i) {
        for (int32 k = i + 2; k < n - (i == 0); ++k) {
            const Point a = polygon.ItemAt(i), b = polygon.ItemAt((i + 1) % n);
            const Point c = polygon.ItemAt(k), d = polygon.ItemAt((k + 1) % n);
            if (Cross(a, b, c) * Cross(a, b, d) <= 0 && Cross(c, d, a) * Cross(c, d, b) <= 0) {
                return false;
            }
        }
    }
    return true;
}

TEST_F(SketcherShapesTest, BezierOnItsChordEmitsOnlyItsEnds) {
    const YKPointList& line = Bezier({{0, 0}, {10, 5}, {20, 10}, {30, 15}});
    ASSERT_EQ(line.CountItems(), 2);
    EXPECT_TRUE(line.ItemAt(1) == (Point{30, 15}));
    // Groups of four do not share points; a short last group is ignored.
    EXPECT_EQ(Bezier({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 0}, {3, 1}, {3, 2}, {3, 3}, {9, 9}})
                  .CountItems(),
              4);
}

TEST_F(SketcherShapesTest, BezierFlatteningFollowsTheCurveAdaptively) {
    auto flatten = [&](double scale, double* worst) {
        const Point p[4] = {{0, 0}, {0, 200 * scale}, {300 * scale, 200 * scale}, {300 * scale, 0}};
        const YKPointList& line = Bezier({p[0], p[1], p[2], p[3]});
        *worst = 0;
        for (double t = 0; t <= 1; t += 1.0 / 512) {
            const double u = 1 - t, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
            const Point on{b * p[1].x + c * p[2].x + d * p[3].x,  // p[0] is the origin
                           b * p[1].y + c * p[2].y + d * p[3].y};
            double best = INFINITY;  // distance to the polyline
            for (int32 i = 0; i + 1 < line.CountItems(); ++i) {
                const Point a = line.ItemAt(i), ab = line.ItemAt(i + 1) - a;
                const double f = std::clamp(
                    ((on.x - a.x) * ab.x + (on.y - a.y) * ab.y) / (ab.x * ab.x + ab.y * ab.y), 0.0,
                    1.0);
                best = std::fmin(best, Distance(on, {a.x + ab.x * f, a.y + ab.y * f}));
            }
            *worst = std::fmax(*worst, best);
        }
        return line.CountItems();
    };
    double worst = 0, worstLarger = 0;
    const int32 count = flatten(1, &worst);
    const int32 larger = flatten(10, &worstLarger);
    EXPECT_LT(worst, 0.5);
    EXPECT_LT(worstLarger, 0.5);
    // Ten times larger needs more points, but fewer than ten times as many.
    EXPECT_GT(larger, count);
    EXPECT_LT(larger, 10 * count);
}

TEST_F(SketcherShapesTest, EllipseHas63PointsOnTheCurveAtAnySize) {
    const Point e1{std::cos(0.4), std::sin(0.4)}, e2{-std::sin(0.4), std::cos(0.4)};
    for (double scale : {1e-6, 1.0, 1e6}) {
        const double a = 30 * scale, b = 10 * scale;
        const Point p0{5, 7}, p2{5 + 2 * a * e1.x, 7 + 2 * a * e1.y};
        const Point p3{5 + 2 * b * e2.x, 7 + 2 * b * e2.y};
        s.DrawEllipse(p0, p2 + p3 - p0, p2, p3);
        ASSERT_EQ(Built().CountItems(), 63);
        for (int32 i = 0; i < 63; ++i) {
            const Point d =
                Built().ItemAt(i) - Point{5 + a * e1.x + b * e2.x, 7 + a * e1.y + b * e2.y};
            const double u = (d.x * e1.x + d.y * e1.y) / a, v = (d.x * e2.x + d.y * e2.y) / b;
            EXPECT_NEAR(u * u + v * v, 1.0, 1e-6);
        }
    }
    s.DrawEllipse({0, 0}, {0, 10}, {0, 0}, {0, 10});
    EXPECT_EQ(Built().CountItems(), 0);
}

TEST_F(SketcherShapesTest, ArcRunsFromP0AroundTheCentreP2ThenClosesThere) {
    s.DrawArc({0, -20}, {40, -20}, {0, 0});  // radii 40 across and 20 down
    ASSERT_EQ(Built().CountItems(), 79 + 2);
    for (int32 i = 0; i + 1 < Built().CountItems(); ++i) {
        const Point p = Built().ItemAt(i);
        EXPECT_NEAR(p.x * p.x / 1600 + p.y * p.y / 400, 1.0, 1e-9);
        EXPECT_TRUE(p.x >= 0 && p.y <= 0);
    }
    EXPECT_TRUE(Built().ItemAt(79) == (Point{40, 0}));
    s.DrawArc({0, 0}, {40, 0}, {0, 0});  // a zero radius draws the chord
    ASSERT_EQ(Built().CountItems(), 3);
    EXPECT_TRUE(Built().ItemAt(1) == (Point{40, 0}));
}

TEST_F(SketcherShapesTest, RoundRectCornersAreQuarterEllipses) {
    s.DrawRoundRect({0, 0}, {100, 0}, {100, 60}, {0, 60}, 20, 10);
    EXPECT_TRUE(IsSimple(Built()));
    EXPECT_NE(Winding(Built(), {50, 0.5}), 0);  // straight sides
    EXPECT_NE(Winding(Built(), {0.5, 30}), 0);
    EXPECT_EQ(Winding(Built(), {2, 1}), 0);  // cut-off corner
    for (int32 i = 0; i < Built().CountItems(); ++i) {
        const Point p = Built().ItemAt(i);
        if (p.x < 20 && p.y < 10) {  // top-left corner: ellipse about (20, 10)
            EXPECT_NEAR((p.x - 20) * (p.x - 20) / 400 + (p.y - 10) * (p.y - 10) / 100, 1, 1e-9);
        }
    }
    for (double r : {0.0, -5.0}) {
        s.DrawRoundRect({0, 0}, {100, 0}, {100, 60}, {0, 60}, r, 10);
        EXPECT_EQ(Built().CountItems(), 4);
    }
}

TEST_F(SketcherShapesTest, RoundRectRadiiBeyondHalfTheSidesStaySimple) {
    // A square becomes a circle, a long box a stadium, a turned box stays simple too.
    s.DrawRoundRect({0, 0}, {100, 0}, {100, 100}, {0, 100}, 500, 80);
    EXPECT_TRUE(IsSimple(Built()));
    for (int32 i = 0; i < Built().CountItems(); ++i) {
        EXPECT_NEAR(Distance(Built().ItemAt(i), {50, 50}), 50, 1e-9);
    }
    s.DrawRoundRect({0, 0}, {300, 0}, {300, 40}, {0, 40}, 30, 1e9);
    EXPECT_TRUE(IsSimple(Built()));
    EXPECT_NE(Winding(Built(), {150, 0.5}), 0);
    const double c = std::cos(0.3), sn = std::sin(0.3);
    s.DrawRoundRect({0, 0}, {80 * c, 80 * sn}, {80 * c - 30 * sn, 80 * sn + 30 * c},
                    {-30 * sn, 30 * c}, 90, 90);
    EXPECT_TRUE(IsSimple(Built()));
}

}  // namespace
