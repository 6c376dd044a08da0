#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "VectorTestSupport.h"
#include "YKDash.h"
#include "YKEnvelopKinds.h"
#include "YKGradientContainer.h"
#include "YKMessage.h"
#include "YKVectorBezier.h"
#include "yk_bezier_distance.h"
#include "yk_sketch_modes.h"
#include "yk_vector_geometry.h"

namespace {

using Point = YKPoint<double>;
using Points = std::vector<Point>;
constexpr double kTol = 4;

// Keeps the control points handed over.
class RecordingSketcher : public YKSketcher {
public:
    void DrawBezier(YKPointList* points) override {
        received.assign(points->Items(), points->Items() + points->CountItems());
        YKSketcher::DrawBezier(points);
    }
    Points received;
};

class VectorBezierTest : public ::testing::Test {
protected:
    // What the pen tool calls for one anchor: a press at `anchor` (the first one creates the
    // path), a drag to `handle` and the release there.
    void Place(Point anchor, Point handle) {
        if (path == nullptr) {
            path = std::make_unique<YKVectorBezier>(anchor, 7, &manager);
        } else {
            path->nextPoint(anchor, false);
            path->addPoint(anchor, false);
        }
        path->nextPoint(handle, false);
        path->addPoint(handle, false);
    }
    // Ends the drawing with the pointer at `pointer`; false when the path is discarded.
    bool Finish(Point pointer = {300, 300}) {
        path->nextPoint(pointer, false);
        if (path->endCreationWithTol(kTol) != nullptr) {
            return true;
        }
        path.reset();
        return false;
    }
    const Points& Pts() const { return path->pointList(); }
    Points Slice(size_t from, size_t to) const {
        return Points(Pts().begin() + from, Pts().begin() + to);
    }
    void Drag(Point from, Point to, bool flag = false) {
        path->beginModification_atPoint_withTol(YKVectorEntity::kModeDragging, from, kTol);
        path->draggingTo(to, flag);
        path->endModification(kTol);
    }

    YKEnvelopManager manager;
    std::unique_ptr<YKVectorBezier> path;
};

TEST_F(VectorBezierTest, ClicksWithoutDragMakeStraightPiecesAndLoneClicksAreDiscarded) {
    Place({10, 10}, {10, 10});
    EXPECT_FALSE(Finish());
    Place({10, 10}, {40, 10});  // one anchor, however long its handle
    EXPECT_FALSE(Finish());

    Place({10, 10}, {10, 10});
    Place({50, 10}, {50, 10});
    ASSERT_TRUE(Finish());
    EXPECT_EQ(Pts(), (Points{{10, 10}, {10, 10}, {50, 10}, {50, 10}}));
    EXPECT_FALSE(path->isClosed());
    EXPECT_EQ(path->knobList(), (Points{{10, 10}, {50, 10}, {50, 10}, {10, 10}}));
    path->setWidth(2);
    YKRect<double> bounds;
    path->getBounds(&bounds);
    EXPECT_EQ(bounds, (YKRect<double>{8, 8, 52, 12}));
}

TEST_F(VectorBezierTest, DraggingKeepsHandlesSymmetricUntilThePointerReturnsToTheAnchor) {
    Place({0, 0}, {0, 20});
    path->nextPoint({40, 0}, false);
    path->addPoint({40, 0}, false);  // press on A1
    for (Point drag : {Point{50, 5}, Point{60, -30}}) {
        path->nextPoint(drag, false);
        EXPECT_EQ(Pts()[3], (Point{80 - drag.x, -drag.y}));
    }
    path->addPoint({60, -30}, false);
    YKRect<double> bounds;
    path->getBounds(&bounds);
    EXPECT_EQ(bounds.bottom, 30);  // the mirrored handle
    // Back on A1, a new outgoing handle is pulled out alone.
    path->nextPoint({40, 0}, false);
    path->overlapPoint();
    EXPECT_FALSE(path->isSymmetric());
    path->nextPoint({70, 30}, false);
    path->addPoint({70, 30}, false);
    EXPECT_TRUE(path->isSymmetric());
    EXPECT_EQ(Pts()[3], (Point{20, 30}));
    Place({100, 0}, {100, 0});
    ASSERT_TRUE(Finish());
    EXPECT_EQ(Pts(), (Points{{0, 0}, {0, 20}, {40, 0}, {20, 30}, {70, 30}, {100, 0}, {100, 0}}));
    int32 anchor;
    EXPECT_EQ(path->FindSymTgt(4, &anchor), 3);
    EXPECT_EQ(anchor, 2);
}

TEST_F(VectorBezierTest, EndingOnTheFirstAnchorClosesWithASmoothJoint) {
    Place({0, 0}, {10, -10});
    Place({60, 0}, {70, 10});
    Place({60, 60}, {50, 70});
    Place({2, 1}, {2, 1});
    ASSERT_TRUE(Finish({2, 1}));
    EXPECT_TRUE(path->isClosed());
    ASSERT_EQ(Pts().size(), 9u);
    EXPECT_EQ(Pts()[8], (Point{-10, 10}));
    int32 in, out, prev, next;
    EXPECT_EQ(path->FindTgts(0, &in, &out, &prev, &next), 2);
    EXPECT_EQ((std::vector<int32>{in, out, prev, next}), (std::vector<int32>{8, 1, 7, 3}));
    EXPECT_EQ(path->FindSymTgt(1), 8);

    // Dragging the last anchor of an open path onto the first closes it too.
    path.reset();
    Place({0, 0}, {10, -10});
    Place({60, 0}, {70, 10});
    Place({60, 60}, {60, 60});
    ASSERT_TRUE(Finish());
    ASSERT_FALSE(path->isClosed());
    path->select_type(5, 1);
    Drag({60, 60}, {1, 1});
    EXPECT_TRUE(path->isClosed());
    EXPECT_EQ(path->selectionIndex(), 0);
}

TEST_F(VectorBezierTest, TangentsAndMovesOfAnchorsAndHandles) {
    Place({0, 0}, {20, 0});
    Place({60, 30}, {80, 50});
    Place({120, 0}, {120, 0});
    ASSERT_TRUE(Finish());
    path->endSelect();
    EXPECT_EQ(path->selectAtTol({60, 30}, kTol, false), 3);
    EXPECT_EQ(path->selectAtTol({61, 31}, kTol, true), 1);
    EXPECT_EQ(path->selectionIndex(), 2);
    EXPECT_EQ(path->knobList().size(), 7u);  // box corners, the anchor and its two handles
    // Smooth: parallel to A0-A2, a third of it long; corner: handles on the anchor.
    ASSERT_TRUE(path->AddTgts());
    EXPECT_EQ(Slice(3, 5), (Points{{20, 30}, {100, 30}}));
    ASSERT_TRUE(path->RemoveTgt());
    EXPECT_EQ(Slice(3, 5), (Points{{60, 30}, {60, 30}}));
    path->select_type(0, 1);
    ASSERT_TRUE(path->AddTgts());
    EXPECT_EQ(Pts()[1], (Point{20, 10}));
    path->select_type(2, 1);
    path->AddTgts();

    EXPECT_EQ(path->hitAtTol({21, 31}, kTol), 1);  // on a handle, away from the curve
    EXPECT_EQ(path->selectAtTol({21, 31}, kTol, false), 2);
    EXPECT_EQ(path->selectionIndex(), 3);
    Points expected = Pts();
    expected[3] = {20, 20};
    Drag({20, 30}, {20, 20});
    EXPECT_EQ(Pts(), expected);
    Drag({20, 20}, {10, 20}, true);  // the other handle follows at the mirror
    EXPECT_EQ(Pts()[4], (Point{110, 40}));
    EXPECT_EQ(path->selectAtTol({60, 30}, kTol, false), 1);
    Drag({60, 30}, {65, 35});
    EXPECT_EQ(Slice(0, 5), (Points{{0, 0}, {20, 10}, {65, 35}, {15, 25}, {115, 45}}));
    path->deleteSelectedPart();
    EXPECT_EQ(Pts(), (Points{{0, 0}, {20, 10}, {120, 0}, {120, 0}}));
    EXPECT_EQ(path->selectionState(), 3);
}

TEST_F(VectorBezierTest, HitsFollowTheCurveNotItsBounds) {
    Place({0, 0}, {0, 60});
    Place({100, 0}, {100, 0});
    ASSERT_TRUE(Finish());
    path->setWidth(4);
    // The piece (0,0) (0,60) (100,0) (100,0) peaks at (25.9, 26.7), t = 1/3.
    EXPECT_EQ(path->hitAtTol({26, 28}, 2), 1);
    EXPECT_EQ(path->hitAtTol({26, 32}, 2), 0);
    EXPECT_EQ(path->hitAtTol({90, 40}, 2), 0);  // inside the bounds, far from the curve
    path->endSelect();
    EXPECT_EQ(path->selectAtTol({90, 40}, 2, false), 0);
    EXPECT_EQ(path->selectAtTol({26, 28}, 2, false), 3);
    path->setGlobalRotation(std::acos(-1.0), {50, 0});  // a half turn: (x, y) to (100 - x, -y)
    path->resetBounds();
    EXPECT_EQ(path->hitAtTol({74, -28}, 2), 1);
}

TEST(BezierDistanceTest, MatchesDenseSamplingAndSurvivesHostileInput) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> coordinate(-100, 100);
    for (int round = 0; round < 100; ++round) {
        Point c[5];  // the control points, then the point asked about
        for (Point& p : c) {
            p = {coordinate(random), coordinate(random)};
        }
        double sampled = std::numeric_limits<double>::infinity();
        for (double t = 0, u = 1; t <= 1; t += 1.0 / 20000, u = 1 - t) {
            const double w[] = {u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t};
            const Point at{w[0] * c[0].x + w[1] * c[1].x + w[2] * c[2].x + w[3] * c[3].x,
                           w[0] * c[0].y + w[1] * c[1].y + w[2] * c[2].y + w[3] * c[3].y};
            sampled = std::min(sampled, YKPtDist(at, c[4]));
        }
        EXPECT_NEAR(YKBezierPtDist(c[0], c[1], c[2], c[3], c[4], 0.05), sampled, 0.08);
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(YKBezierPtDist({0, 0}, {nan, 0}, {1, 1}, {2, 2}, {1, 1}, 0) < 1e9);
    // Half a circle about the point, with eps 0: all of it about as near, the costly case.
    const double r = 1e90;
    EXPECT_NEAR(YKBezierPtDist({-r, 0}, {-r, 1.33 * r}, {r, 1.33 * r}, {r, 0}, {0, 0}, 0) / r, 1,
                0.01);
}

TEST_F(VectorBezierTest, LayoutsThatDoNotFitThePiecesAreReadSafely) {
    // Closing would drop point 3, the last, which A0's segment uses as its handle too.
    YKMessage archive;
    const double xs[] = {20, 50, 50, 25}, ys[] = {20, 20, 50, 22};
    const int32 begins[] = {0, 3, 1, 2, 2, 2}, ends[] = {3, 1, 2, 2, 2, 3};
    archive.AddInt32("pt_nbr", 4);
    archive.AddInt32("seg_nbr", 6);
    for (int32 i = 0; i < 6; ++i) {
        if (i < 4) {
            archive.AddDouble("pt_x", xs[i]);
            archive.AddDouble("pt_y", ys[i]);
        }
        archive.AddInt32("seg_begPt", begins[i]);
        archive.AddInt32("seg_endPt", ends[i]);
    }
    YKVectorBezier loaded(&archive, 9, &manager);
    const auto indicesFit = [&] {
        const int32 count = static_cast<int32>(loaded.pointList().size());
        return std::all_of(
            loaded.segmentList().begin(), loaded.segmentList().end(),
            [&](const YKVectorSegment& s) { return s.begin < count && s.end < count; });
    };
    EXPECT_TRUE(loaded.closeAtTol(100));
    EXPECT_TRUE(indicesFit());
    loaded.setWidth(3);
    EXPECT_GT(CoveredPixels(RenderEntity(loaded, {0, 0, 63, 63})), 0);
    for (int32 point = 0; point < 4; ++point) {
        loaded.select_type(point, 1);
        loaded.AddTgts();
        loaded.deleteSelectedPart();
        EXPECT_TRUE(indicesFit());
    }
}

TEST_F(VectorBezierTest, DrawsPiecesRotatedAndSurvivesArchiveAndCopy) {
    YKDash::InitPredefDash();
    Place({20, 20}, {40, 10});
    Place({90, 30}, {100, 60});
    Place({40, 90}, {20, 80});
    Place({21, 21}, {21, 21});
    ASSERT_TRUE(Finish({21, 21}));
    YKGradientContainer gradient;
    gradient.SetGradientType(GRADIENT_RADIAL);
    path->setFillAndColor({0, 0, 0, 255}, kColorFlagGradient, &gradient, 0, false, "Default");
    path->setStrokeAndColor({200, 30, 30, 255}, kColorFlagColor, nullptr, 0, false, "Default");
    path->setWidth(3);
    path->setDash(YKDash::PredefDash(2));
    path->setCapJoin(YK_CAP_ROUND, YK_CAP_SQUARE, YK_JOIN_MITER);
    path->setGlobalRotation(0.3, {60, 60});
    path->resetBounds();

    YKMessage archive;
    path->ArchiveIn(&archive);
    int32 type = 0;
    EXPECT_TRUE(archive.FindInt32("object_type", &type) && type == YKVectorEntity::kTypeBezier);
    YKVectorBezier loaded(&archive, 8, &manager);
    EXPECT_EQ(loaded.pointList(), Pts());
    EXPECT_EQ(loaded.Angle(), 0.3);
    EXPECT_EQ(loaded.LastCap(), YK_CAP_SQUARE);
    EXPECT_TRUE(loaded.Stroke()->dash && *loaded.Stroke()->dash == *YKDash::PredefDash(2));
    EXPECT_EQ(loaded.Stroke()->color->Value(), (yk_color{200, 30, 30, 255}));
    YKVectorAttributes attributes;
    loaded.getAttributes(&attributes);
    EXPECT_TRUE(attributes.fillGradient && *attributes.fillGradient == gradient);

    const YKRect<int32> frame{0, 0, 127, 127};
    const PixelImage drawn = RenderEntity(*path, frame);
    EXPECT_GT(CoveredPixels(drawn), 2000);
    EXPECT_EQ(RenderEntity(loaded, frame).pixels, drawn.pixels);
    std::unique_ptr<YKVectorEntity> copy(path->copy());
    EXPECT_EQ(RenderEntity(*copy, frame).pixels, drawn.pixels);
    copy->translate({5, 5});
    EXPECT_EQ(RenderEntity(*path, frame).pixels, drawn.pixels);

    // Dashed: bevel joins, stroked open; solid: round joins, closed.
    RecordingSketcher sketcher;
    path->drawIn(&sketcher, true);
    EXPECT_EQ(sketcher.LineJoinMode(), YK_JOIN_BEVEL);
    EXPECT_FALSE(sketcher.Closed());
    EXPECT_EQ(sketcher.LineMiterLimit(), 10.0);
    path->setDash(nullptr);
    path->drawIn(&sketcher, true);
    EXPECT_EQ(sketcher.LineJoinMode(), YK_JOIN_ROUND);
    EXPECT_TRUE(sketcher.Closed());
    // Three pieces of four points, turned by the global rotation; the last ends on A0.
    ASSERT_EQ(sketcher.received.size(), 12u);
    const Point a0 = YKVectorEntity::rotatePt({20, 20}, 0.3, {60, 60});
    EXPECT_EQ(sketcher.received[0], a0);
    EXPECT_EQ(sketcher.received[4], YKVectorEntity::rotatePt({90, 30}, 0.3, {60, 60}));
    EXPECT_EQ(sketcher.received[11], a0);
}

}  // namespace
