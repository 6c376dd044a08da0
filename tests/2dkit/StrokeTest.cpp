#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "OutlineProbe.h"
#include "YKSketcher.h"

namespace {

using outline_probe::Covered;
using outline_probe::Distance;
using outline_probe::Fill;
using outline_probe::Reach;
using Point = YKPoint<double>;

double Dot(Point u, Point v) {
    return u.x * v.x + u.y * v.y;
}

double Cross(Point u, Point v) {
    return u.x * v.y - u.y * v.x;
}

class StrokeTest : public ::testing::Test {
protected:
    StrokeTest() { s.SetWidth(10); }
    void Polyline(std::initializer_list<Point> points) {
        YKPointList list;
        Fill(list, points);
        s.DrawPolygon(&list);
    }
    bool Covers(Point p) const { return Covered(*s.Outline(), p); }
    // The largest x of the outline times `sign`.
    double Extent(double sign) const {
        double best = -INFINITY;
        for (int32 k = 0; k < s.Outline()->ItemAt(0)->CountItems(); ++k) {
            best = std::fmax(best, sign * s.Outline()->ItemAt(0)->ItemAt(k).x);
        }
        return best;
    }

    YKSketcher s;
};

TEST_F(StrokeTest, WidthOfOneOrLessOutlinesNothing) {
    YKList<double> widths;
    widths.AddItem(1.0);
    widths.AddItem(0.5);
    s.SetWidthArray(&widths);
    Polyline({{0, 0}, {50, 0}});
    EXPECT_EQ(s.Polygon()->CountItems(), 1);
    EXPECT_EQ(s.Outline()->CountItems(), 0);
    // A thinner or unusable width set directly becomes a hairline, which is outlined.
    for (const double thin : {0.5, std::nan("")}) {
        s.SetWidth(thin);
        Polyline({{0, 0}, {50, 0}});
        EXPECT_TRUE(Covers({25, 0.5})) << thin;
        EXPECT_FALSE(Covers({25, 0.6})) << thin;
    }
}

TEST_F(StrokeTest, SharpMiterIsCutAtTheLimitNotBevelled) {
    s.SetWidth(4);
    s.SetLineMode(YK_CAP_NONE, YK_CAP_NONE, YK_JOIN_MITER, 10);
    Polyline({{90, 0}, {100, 0}, {90, 0.6}});
    // The untrimmed miter would reach about 67 pixels out; it stops at 10 · w / 2.
    EXPECT_NEAR(Reach(*s.Outline(), {100, 0}), 20, 1e-9);
    EXPECT_TRUE(Covers({119.5, -0.58}));
    EXPECT_FALSE(Covers({120.5, -0.58}));
}

struct JoinCase {
    int32 join;
    bool miterCorner;  // (54.5, -4.5): only the miter reaches it
    bool roundArea;    // (53, -3): round and miter
    bool bevelArea;    // (52, -2): everything but the None join
};

class StrokeJoinTest : public StrokeTest, public ::testing::WithParamInterface<JoinCase> {};

TEST_P(StrokeJoinTest, RightAngleCornerCoverage) {
    const JoinCase c = GetParam();
    s.SetLineMode(YK_CAP_NONE, YK_CAP_NONE, c.join, 10);
    Polyline({{0, 0}, {50, 0}, {50, 50}});
    ASSERT_EQ(s.Outline()->CountItems(), 1);
    EXPECT_EQ(Covers({54.5, -4.5}), c.miterCorner);
    EXPECT_EQ(Covers({53, -3}), c.roundArea);
    EXPECT_EQ(Covers({52, -2}), c.bevelArea);
    EXPECT_TRUE(Covers({48, 2}));  // inner corner
    EXPECT_TRUE(Covers({25, -4.9}));
    EXPECT_TRUE(Covers({54.9, 25}));
}

INSTANTIATE_TEST_SUITE_P(Joins, StrokeJoinTest,
                         ::testing::Values(JoinCase{YK_JOIN_NONE, false, false, false},
                                           JoinCase{YK_JOIN_MITER, true, true, true},
                                           JoinCase{YK_JOIN_ROUND, false, true, true},
                                           JoinCase{YK_JOIN_BEVEL, false, false, true},
                                           JoinCase{4, false, false, false},
                                           JoinCase{6, false, false, true}));

TEST_F(StrokeTest, JoinsBetweenUnequalWidthsAreNone) {
    s.SetLineMode(YK_CAP_NONE, YK_CAP_NONE, YK_JOIN_ROUND, 10);
    YKList<double> widths;
    for (double w : {10.0, 10.0, 14.0}) {
        widths.AddItem(w);
    }
    s.SetWidthArray(&widths);
    Polyline({{0, 0}, {50, 0}, {50, 50}});
    EXPECT_FALSE(Covers({52, -2}));
    EXPECT_TRUE(Covers({56.5, 49}));  // the second segment widens to 7 on each side
    EXPECT_FALSE(Covers({56.5, 1}));
}

struct CapCase {
    int32 cap;
    double reach;  // how far the outline goes beyond the end point, along the path
    Point inside;  // relative to the end point (50, 10), the path running along +x
    Point outside;
};

class StrokeCapTest : public StrokeTest, public ::testing::WithParamInterface<CapCase> {};

TEST_P(StrokeCapTest, CapsAtBothEndsMirrorEachOther) {
    const CapCase c = GetParam();
    s.SetLineMode(c.cap, c.cap, YK_JOIN_MITER, 10);
    Polyline({{10, 10}, {50, 10}});
    ASSERT_EQ(s.Outline()->CountItems(), 1);
    EXPECT_NEAR(Extent(1) - 50, c.reach, 1e-9);
    EXPECT_NEAR(Extent(-1) + 10, c.reach, 1e-9);
    EXPECT_TRUE(Covers({50 + c.inside.x, 10 + c.inside.y}));
    EXPECT_TRUE(Covers({10 - c.inside.x, 10 - c.inside.y}));
    EXPECT_FALSE(Covers({50 + c.outside.x, 10 + c.outside.y}));
    EXPECT_FALSE(Covers({10 - c.outside.x, 10 - c.outside.y}));
    // Every cap leaves the band whole up to its end.
    EXPECT_TRUE(Covers({49.9, 14.9}));
    EXPECT_TRUE(Covers({49.9, 5.1}));
}

INSTANTIATE_TEST_SUITE_P(
    Caps, StrokeCapTest,
    ::testing::Values(CapCase{0, 0, {-0.1, 0}, {0.1, 0}}, CapCase{1, 0, {-0.1, 0}, {0.1, 0}},
                      CapCase{YK_CAP_NONE, 0, {-0.1, 4.9}, {0.1, 0}},
                      CapCase{YK_CAP_BUTT, 0, {-0.1, -4.9}, {0.1, 0}},
                      CapCase{YK_CAP_SQUARE, 5, {4.9, 4.9}, {5.1, 0}},
                      CapCase{YK_CAP_ROUND, 5 * std::sin(1.6), {4.9, 0}, {3.6, 3.6}},
                      CapCase{
                          YK_CAP_CIRCLE, 5 * std::sqrt(3.0) * std::sin(1.6), {0, 8.5}, {0, 8.8}},
                      CapCase{YK_CAP_DIAMOND, 15 / std::sqrt(2.0), {10.5, 0}, {10.7, 0}},
                      CapCase{YK_CAP_ARROW1, 10, {9.9, 0}, {-5.1, 9.9}},
                      CapCase{YK_CAP_ARROW2, 15, {14.9, 0}, {-4, 7.5}},
                      CapCase{YK_CAP_ARROW3, 10, {-2.5, 7.5}, {-7.5, 6}},
                      CapCase{YK_CAP_NAIL, 2.5, {0, 9.9}, {0, 10.1}},
                      CapCase{42, 0, {-0.1, 0}, {0.1, 0}}));

TEST_F(StrokeTest, ButtCapClosesAcrossTheEndPoint) {
    s.SetLineMode(YK_CAP_BUTT, YK_CAP_NONE, YK_JOIN_MITER, 10);
    Polyline({{10, 10}, {50, 10}});
    EXPECT_GE(s.Outline()->ItemAt(0)->IndexOf({10, 10}), 0);
    EXPECT_EQ(s.Outline()->ItemAt(0)->IndexOf({50, 10}), -1);
}

// --- The band property: the outline polygons, each filled on its own with the non-zero rule,
// cover the band of every segment, and nothing farther than joins and caps may reach, for
// random paths (short segments, repeated points, U-turns), widths, joins, caps, closed paths.

struct Segment {
    Point a, dir;
    double length, half0, half1;
};

std::vector<Segment> Segments(const std::vector<Point>& points, const std::vector<double>& halves,
                              bool closed) {
    std::vector<Segment> segments;
    const size_t n = points.size();
    for (size_t i = 0; i + 1 < n + closed; ++i) {
        const Point a = points[i], b = points[(i + 1) % n];
        const double length = Distance(a, b);
        if (length > 0) {
            segments.push_back({a,
                                {(b.x - a.x) / length, (b.y - a.y) / length},
                                length,
                                halves[i],
                                halves[(i + 1) % n]});
        }
    }
    return segments;
}

// Inside some segment's band shrunk by `margin` (grown when negative).
bool InBand(const std::vector<Segment>& segments, Point p, double margin) {
    for (const Segment& s : segments) {
        const double along = Dot(p - s.a, s.dir);
        const double half = s.half0 + (s.half1 - s.half0) * along / s.length;
        if (along >= margin && along <= s.length - margin &&
            std::fabs(Cross(s.dir, p - s.a)) < half - margin) {
            return true;
        }
    }
    return false;
}

// Farther than `reach(vertex index)` from every vertex and than `half` from every segment.
template <typename Reach>
bool Far(const std::vector<Segment>& segments, Point p, double half, Reach reach) {
    for (size_t i = 0; i < segments.size(); ++i) {
        const Segment& s = segments[i];
        const double along = std::clamp(Dot(p - s.a, s.dir), 0.0, s.length);
        const Point end{s.a.x + s.dir.x * s.length, s.a.y + s.dir.y * s.length};
        if (Distance(p, {s.a.x + s.dir.x * along, s.a.y + s.dir.y * along}) <= half ||
            Distance(p, s.a) <= reach(i, s.half0) || Distance(p, end) <= reach(i + 1, s.half1)) {
            return false;
        }
    }
    return true;
}

TEST(StrokeBandTest, OutlineCoversExactlyTheBand) {
    std::mt19937 rng(20240611);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(rng);
    };
    auto pick = [&](int32 n) { return int32(rng() % uint32(n)); };
    constexpr double kEps = 1e-6;
    // One sketcher for every round, as an object layer keeps one: nothing of a round's stroke
    // may stay behind in the next.
    YKSketcher s;

    for (int32 round = 0; round < 300; ++round) {
        std::vector<Point> points{{uniform(0, 100), uniform(0, 100)}};
        for (int32 count = 2 + pick(6); int32(points.size()) < count;) {
            const Point last = points.back();
            const double angle = uniform(0, 2 * M_PI), step = uniform(0.3, 3);
            switch (pick(6)) {
                case 0:
                    points.push_back(last);
                    break;
                case 1:
                    points.push_back(points[points.size() > 1 ? points.size() - 2 : 0]);
                    break;
                case 2:
                    points.push_back(
                        {last.x + step * std::cos(angle), last.y + step * std::sin(angle)});
                    break;
                default:
                    points.push_back({uniform(0, 100), uniform(0, 100)});
            }
        }
        const bool closed = pick(10) < 3, tapered = pick(10) < 3;
        const int32 join = pick(7), capIn = pick(12), capOut = pick(12);
        const double limit = uniform(1, 6);
        std::vector<double> halves(points.size(), uniform(1, 20));
        YKList<double> widths;
        if (tapered) {
            for (double& half : halves) {
                half = uniform(1, 20);
                widths.AddItem(2 * half);
            }
            s.SetWidthArray(&widths);
        } else {
            s.SetWidth(2 * halves[0]);
        }
        s.SetLineMode(capIn, capOut, join, limit);
        s.SetClosed(closed);
        YKPointList list;
        for (Point p : points) {
            list.AddItem(p);
        }
        s.DrawPolygon(&list);
        SCOPED_TRACE(testing::Message() << "round " << round << " join " << join << " caps "
                                        << capIn << "/" << capOut << " closed " << closed);

        const std::vector<Segment> segments = Segments(points, halves, closed);
        ASSERT_EQ(s.Outline()->CountItems(), segments.empty() ? 0 : 1);
        const double maxHalf = *std::max_element(halves.begin(), halves.end());
        // How far from a vertex the outline may reach: a miter up to its limit, a cap its shape.
        auto reach = [&](size_t vertex, double half) {
            const bool end = !closed && (vertex == 0 || vertex == segments.size());
            if (!end) {
                return (join == YK_JOIN_MITER && !tapered ? limit : 1) * half + kEps;
            }
            const int32 cap = vertex == 0 ? capIn : capOut;
            return (cap == YK_CAP_SQUARE ? M_SQRT2 : cap >= YK_CAP_ARROW1 ? 3.2 : 1) * half + kEps;
        };
        // With None joins and flush caps the outline is the union of the segment bands.
        auto flush = [](int32 cap) {
            return cap < YK_CAP_ROUND || cap == 3 || cap == 4 || cap > 11;
        };
        const bool exact = (tapered || join == 0 || join == 4 || join == 5) &&
                           (closed || (flush(capIn) && flush(capOut)));

        for (int32 k = 0; k < 500 && !segments.empty(); ++k) {
            Point p{uniform(-4 * maxHalf, 100 + 4 * maxHalf),
                    uniform(-4 * maxHalf, 100 + 4 * maxHalf)};
            if (k % 2 == 1) {  // near the path
                const Segment& seg = segments[pick(int32(segments.size()))];
                const double t = uniform(-0.2, 1.2) * seg.length, r = uniform(0, 1.6 * maxHalf);
                const double a = uniform(0, 2 * M_PI);
                p = {seg.a.x + seg.dir.x * t + r * std::cos(a),
                     seg.a.y + seg.dir.y * t + r * std::sin(a)};
            }
            const bool covered = Covered(*s.Outline(), p);
            if (InBand(segments, p, kEps)) {
                ASSERT_TRUE(covered) << p.x << ", " << p.y;
            }
            if ((exact && !InBand(segments, p, -kEps)) || Far(segments, p, maxHalf + kEps, reach)) {
                ASSERT_FALSE(covered) << p.x << ", " << p.y;
            }
        }
    }
}

}  // namespace
