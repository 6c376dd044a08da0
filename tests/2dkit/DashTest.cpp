#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <vector>

#include "OutlineProbe.h"
#include "YKDash.h"
#include "YKSketcher.h"

namespace {

using outline_probe::Covered;
using outline_probe::Distance;
using outline_probe::Fill;
using Point = YKPoint<double>;

YKDash MakeDash(std::initializer_list<double> lengths) {
    YKList<double> tab;
    for (double length : lengths) {
        tab.AddItem(length);
    }
    YKDash dash(&tab);
    EXPECT_EQ(tab.CountItems(), 0);  // taken over
    return dash;
}

TEST(DashTest, CopiesCompareAndShift) {
    YKDash dash = MakeDash({4, 6});
    EXPECT_EQ(dash.PatternLen(), 10);
    EXPECT_TRUE(YKDash().IsEmpty());
    YKDash copy(dash);
    copy.SetOffset(1);
    EXPECT_FALSE(copy.Compare(dash));
    copy = dash;
    EXPECT_TRUE(copy == dash);
    std::unique_ptr<YKList<double>> tab = dash.Tab();
    tab->AddItem(3);
    EXPECT_EQ(dash.CountTab(), 2);  // a copy
    copy.SetTab(*tab);
    EXPECT_EQ(copy.PatternLen(), 13);
    EXPECT_FALSE(copy == dash);

    // The offset moves by the distance less whole patterns, to within half a pattern.
    for (auto [distance, offset] : {std::pair{3.0, 3.0}, {27.0, 0.0}, {-16.0, 4.0}, {0.0, 4.0}}) {
        dash.Shift(distance);
        EXPECT_DOUBLE_EQ(dash.Offset(), offset);
    }
    dash.Shift(std::numeric_limits<double>::quiet_NaN());
    dash.Zoom(3);
    EXPECT_DOUBLE_EQ(dash.Offset(), 4);
    YKDash zeros = MakeDash({0, 0});
    zeros.Shift(5);
    EXPECT_EQ(zeros.Offset(), 0);
}

TEST(DashTest, PredefinedDashesAreBuiltOnceAndFoundByIdentity) {
    YKDash::InitPredefDash();
    YKDash* first = YKDash::PredefDash(1);
    YKDash::InitPredefDash();
    EXPECT_EQ(YKDash::PredefDash(1), first);  // built once: objects keep pointers into it
    EXPECT_EQ(YKDash::PredefDash(0), nullptr);
    EXPECT_EQ(YKDash::PredefDash(YKDash::kPredefCount), nullptr);
    for (int32 i = 1; i < YKDash::kPredefCount; ++i) {
        EXPECT_EQ(YKDash::PredefIndex(YKDash::PredefDash(i)), i);
    }
    EXPECT_EQ(YKDash::PredefIndex(nullptr), 0);
    YKDash lookalike = MakeDash({5, 5});
    EXPECT_EQ(YKDash::PredefIndex(&lookalike), -1);
}

class DashOutlineTest : public ::testing::Test {
protected:
    DashOutlineTest() {
        s.SetWidth(4);
        s.SetStrokeDash(&dash);
    }
    void Draw(std::initializer_list<double> lengths, std::initializer_list<Point> points) {
        dash = MakeDash(lengths);
        YKPointList list;
        Fill(list, points);
        s.DrawPolygon(&list);
    }
    int32 Pieces() const { return s.Outline()->CountItems(); }
    bool Covers(Point p) const { return Covered(*s.Outline(), p); }
    bool Has(int32 piece, Point p) const {
        for (int32 k = 0; k < s.Outline()->ItemAt(piece)->CountItems(); ++k) {
            if (Distance(s.Outline()->ItemAt(piece)->ItemAt(k), p) < 1e-9) {
                return true;
            }
        }
        return false;
    }

    // Each outline polygon is its piece's out side followed by its in side backwards.
    void ExpectOutlinesJoinTheirSides() const {
        ASSERT_EQ(s.OutlineOut()->CountItems(), Pieces());
        ASSERT_EQ(s.OutlineIn()->CountItems(), Pieces());
        for (int32 i = 0; i < Pieces(); ++i) {
            const YKPointList& out = *s.OutlineOut()->ItemAt(i);
            const YKPointList& in = *s.OutlineIn()->ItemAt(i);
            const YKPointList& polygon = *s.Outline()->ItemAt(i);
            const int32 n = out.CountItems();
            ASSERT_EQ(polygon.CountItems(), n + in.CountItems()) << "piece " << i;
            for (int32 k = 0; k < polygon.CountItems(); ++k) {
                const Point side = k < n ? out.ItemAt(k) : in.ItemAt(polygon.CountItems() - 1 - k);
                EXPECT_EQ(polygon.ItemAt(k), side) << "piece " << i << " point " << k;
            }
        }
    }

    YKDash dash;
    YKSketcher s;
};

TEST_F(DashOutlineTest, EachDrawnPieceIsCappedWithThePathsCaps) {
    s.SetLineMode(YK_CAP_SQUARE, YK_CAP_SQUARE, YK_JOIN_MITER, 10);
    Draw({5, 5}, {{0, 0}, {30, 0}});
    ASSERT_EQ(Pieces(), 3);
    for (int32 i = 0; i < 3; ++i) {
        EXPECT_TRUE(Has(i, {10.0 * i - 2, -2}) && Has(i, {10.0 * i + 7, 2}));
    }
    EXPECT_FALSE(Covers({7.5, 0}));
    EXPECT_EQ(s.Polygon()->ItemAt(0)->CountItems(), 2);  // the fill keeps its own points
}

TEST_F(DashOutlineTest, PiecesRunRoundCornersAndClosedPathsRoundTheirClosingSide) {
    s.SetLineMode(YK_CAP_NONE, YK_CAP_NONE, YK_JOIN_MITER, 10);
    Draw({12, 4}, {{0, 0}, {8, 0}, {8, 8}, {0, 8}});
    ASSERT_EQ(Pieces(), 2);            // 0-12 round the first corner, 16-24 from the second on
    EXPECT_TRUE(Covers({9.5, -1.5}));  // miter of the first corner
    EXPECT_FALSE(Covers({9.5, 5}));    // the gap
    EXPECT_FALSE(Covers({9.5, 9.5}));  // no join where a piece starts on a corner
    ExpectOutlinesJoinTheirSides();
    s.SetClosed(true);
    Draw({30, 10}, {{0, 0}, {40, 0}, {40, 40}, {0, 40}});
    EXPECT_EQ(Pieces(), 4);
    EXPECT_TRUE(Covers({0, 25}));  // 135 along the path
    EXPECT_FALSE(Covers({0, 5}));  // 155: the last gap
    ExpectOutlinesJoinTheirSides();
}

TEST_F(DashOutlineTest, WidthsAreInterpolatedAtTheCuts) {
    s.SetLineMode(YK_CAP_NONE, YK_CAP_NONE, YK_JOIN_MITER, 10);
    YKList<double> widths;
    widths.AddItem(2);
    widths.AddItem(22);
    s.SetWidthArray(&widths);
    Draw({10, 10}, {{0, 0}, {100, 0}});
    ASSERT_EQ(Pieces(), 5);
    for (int32 i = 0; i < 5; ++i) {
        for (double x : {20.0 * i, 20.0 * i + 10}) {
            EXPECT_TRUE(Has(i, {x, 1 + x / 10}) && Has(i, {x, -1 - x / 10})) << x;
        }
    }
}

TEST_F(DashOutlineTest, BadDashesStrokeSolidOrStayBounded) {
    s.SetLineMode(YK_CAP_NONE, YK_CAP_NONE, YK_JOIN_MITER, 10);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (auto lengths : {std::initializer_list<double>{}, {5, -5}, {0, 0}, {nan, 5}}) {
        Draw(lengths, {{0, 0}, {30, 0}});
        EXPECT_EQ(Pieces(), 1);
    }
    Draw({0, 5}, {{0, 0}, {30, 0}});  // pieces without length have no outline
    EXPECT_EQ(Pieces(), 0);
    // Tiny dashes on a huge path: cutting stops after a bounded number of pieces, and the
    // rest of the path keeps the state it had, drawn here.
    const auto start = std::chrono::steady_clock::now();
    Draw({1e-3, 1e-3}, {{0, 0}, {1e9, 0}});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_LT(Pieces(), 100000);
    EXPECT_TRUE(Covers({1e9 - 1, 0}));
}

}  // namespace
