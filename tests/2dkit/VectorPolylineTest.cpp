// Chains (polylines and freehand paths) and the rectangle: path editing, selection of parts,
// knob dragging and drawing.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "VectorTestSupport.h"
#include "YKDash.h"
#include "YKVectorFreeHand.h"
#include "YKVectorPolyline.h"
#include "YKVectorRectangle.h"

namespace {

using Point = YKPoint<double>;

class ChainTest : public ::testing::Test {
protected:
    YKEnvelopManager manager;
};

TEST_F(ChainTest, EndingNearTheStartCloses) {
    auto closed = Draw(&manager, {{0, 0}, {40, 0}, {40, 40}, {1, 1}});
    ASSERT_NE(closed, nullptr);
    EXPECT_TRUE(closed->isClosed());
    EXPECT_EQ(closed->pointList().size(), 3u);
    EXPECT_EQ(closed->segmentList().back().end, 0);
    auto open = Draw(&manager, {{0, 0}, {40, 0}, {40, 40}, {10, 10}});
    EXPECT_FALSE(open->isClosed());
}

TEST_F(ChainTest, CuttingOpenAndClosedChains) {
    auto open = Draw(&manager, {{0, 0}, {10, 0}, {20, 0}, {30, 0}});
    EXPECT_EQ(open->cutOn(0), nullptr);  // an end point cuts nothing
    std::unique_ptr<YKVectorChain> rest(open->cutOn(2));
    ASSERT_NE(rest, nullptr);
    EXPECT_EQ(open->pointList().back(), (Point{20, 0}));
    EXPECT_EQ(open->segmentList().size(), 2u);
    EXPECT_EQ(rest->pointList()[rest->segmentList()[0].begin], (Point{20, 0}));
    EXPECT_EQ(rest->segmentList().size(), 1u);

    auto ring = Draw(&manager, {{0, 0}, {40, 0}, {40, 40}, {0, 40}, {0, 0}});
    ASSERT_TRUE(ring->isClosed());
    EXPECT_EQ(ring->cutOn(2), ring.get());
    EXPECT_FALSE(ring->isClosed());
    const auto& points = ring->pointList();
    EXPECT_EQ(points[ring->segmentList().front().begin], (Point{40, 40}));
    EXPECT_EQ(points[ring->segmentList().back().end], (Point{40, 40}));
    EXPECT_EQ(ring->segmentList().size(), 4u);
}

TEST_F(ChainTest, SelectionReachIsStrictAndPartsSelectInPartMode) {
    auto line = Draw(&manager, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    line->setWidth(4);
    line->endSelect();
    // Segment reach is width + tol, strictly: 7 away with width 4 and tol 3 misses.
    EXPECT_EQ(line->selectAtTol({50, 7}, 3, false), 0);
    EXPECT_EQ(line->selectAtTol({50, 6.9}, 3, false), 3);
    EXPECT_EQ(line->selectAtTol({100, 2}, 3, true), 1);
    EXPECT_EQ(line->selectionIndex(), 1);
    EXPECT_EQ(line->knobList().size(), 5u);
    EXPECT_EQ(line->selectAtTol({100, 50}, 3, true), 2);
    EXPECT_EQ(line->selectionIndex(), 1);
    EXPECT_EQ(line->knobList().size(), 6u);
    // Moving in state 2 moves the segment's two points only.
    line->rawTranslation({5, 0});
    EXPECT_EQ(line->pointList()[1], (Point{105, 0}));
    EXPECT_EQ(line->pointList()[0], (Point{0, 0}));
    // Hits reach width/2 + tol from the outline.
    EXPECT_EQ(line->hitAtTol({50, 4.9}, 3), 1);
    EXPECT_EQ(line->hitAtTol({50, 50}, 3), 0);
}

TEST_F(ChainTest, DraggingAKnobAcrossTheCentreDoesNotMirror) {
    auto line = Draw(&manager, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    line->select();
    const Point knob = line->knobList()[2];  // right-bottom, opposite the left-top one
    ASSERT_EQ(line->selectAtTol(knob, 1, false), 4);
    ASSERT_TRUE(line->beginModification_atPoint_withTol(2, knob, 1));
    line->draggingTo({-50, 50}, false);
    YKRect<double> box;
    line->resetBox();
    line->getBox(&box);
    EXPECT_EQ(box.left, 0);  // x factor negative: kept at 1
    EXPECT_GT(box.right, 90);
    EXPECT_LT(box.bottom, 60);  // y factor applied
}

TEST_F(ChainTest, InsertingReversingClosingLinkingAndDeleting) {
    auto line = Draw(&manager, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    line->insertPointWithTol({50, 1}, 3);
    EXPECT_EQ(line->selectionState(), 1);
    EXPECT_EQ(line->pointList()[line->selectionIndex()], (Point{50, 0}));
    EXPECT_EQ(line->segmentList().size(), 4u);
    EXPECT_EQ(line->segmentList()[1].begin, line->selectionIndex());
    line->deleteSelectedPart();
    EXPECT_EQ(line->segmentList().size(), 3u);
    EXPECT_EQ(line->pointList().size(), 4u);

    line->reverse();
    EXPECT_EQ(line->pointList()[line->segmentList()[0].begin], (Point{0, 100}));
    line->close();
    EXPECT_TRUE(line->isClosed());

    auto a = Draw(&manager, {{0, 0}, {10, 0}, {20, 0}});
    auto b = Draw(&manager, {{40, 0}, {30, 0}, {21, 0}});
    ASSERT_TRUE(a->mergeWithTol(b.get(), 2));
    EXPECT_EQ(a->segmentList().size(), 4u);
    EXPECT_EQ(a->pointList()[a->segmentList().back().end], (Point{40, 0}));
}

TEST_F(ChainTest, FreehandEndsByItsOwnRules) {
    // Counting the segment under the pointer: a bare press is discarded, one move is kept.
    EXPECT_EQ(Draw<YKVectorFreeHand>(&manager, {{0, 0}}), nullptr);
    auto stroke = Draw<YKVectorFreeHand>(&manager, {{0, 0}, {5, 5}});
    ASSERT_NE(stroke, nullptr);
    EXPECT_EQ(stroke->FillColorFlag(), kColorFlagNotFillable);
    EXPECT_NE(stroke->FillColorEnvelop(), nullptr);  // unlike the polyline, it keeps them
    EXPECT_EQ(stroke->Type(), YKVectorEntity::kTypeFreeHand);
}

TEST_F(ChainTest, ZeroLengthLineDrawsADot) {
    YKVectorPolyline dot({10, 10}, 1, &manager);
    dot.setWidth(1);
    EXPECT_GT(CoveredPixels(RenderEntity(dot, {0, 0, 20, 20})), 0);
}

TEST_F(ChainTest, DashedClosedChainIsStrokedOpen) {
    YKDash::InitPredefDash();
    auto ring = Draw(&manager, {{10, 10}, {50, 10}, {50, 50}, {10, 50}, {10, 10}});
    ring->setWidth(6);
    ring->setCapJoin(4, 4, 1);
    const PixelImage solid = RenderEntity(*ring, {0, 0, 60, 60});
    ring->setDash(YKDash::PredefDash(2));
    const PixelImage dashed = RenderEntity(*ring, {0, 0, 60, 60});
    // The closed solid ring is mitred at the start corner; the dashed one, open there, has butt
    // ends meeting at the corner and leaves its outer tip uncovered.
    EXPECT_NE(solid.pixels[8 * 61 + 8] >> 24, 0u);
    EXPECT_EQ(dashed.pixels[8 * 61 + 8] >> 24, 0u);
}

// --- The rectangle ---

TEST_F(ChainTest, RectangleCornerDragKeepsABoxAndTheConstraintASquare) {
    YKVectorRectangle rect({0, 0}, 3, &manager);
    EXPECT_EQ(rect.pointList().size(), 4u);
    EXPECT_TRUE(rect.isClosed());
    EXPECT_EQ(rect.ModificationMode(), 2);
    rect.nextPoint({30, 40}, true);
    const double side = 50 * std::sqrt(2.0) / 2;
    EXPECT_DOUBLE_EQ(rect.pointList()[2].x, side);
    EXPECT_DOUBLE_EQ(rect.pointList()[2].y, side);
    EXPECT_EQ(rect.pointList()[1], (Point{side, 0}));
    EXPECT_EQ(rect.pointList()[3], (Point{0, side}));
    rect.nextPoint({30, 40}, false);
    // Corner 1 of the box (0, 0)-(30, 40) moves; its neighbours follow, corner 3 stays.
    ASSERT_TRUE(rect.modifyPoint(1, {-10, 50}, false));
    EXPECT_EQ(rect.pointList()[0], (Point{-10, 40}));
    EXPECT_EQ(rect.pointList()[2], (Point{0, 50}));
    EXPECT_EQ(rect.pointList()[3], (Point{0, 40}));
    EXPECT_FALSE(rect.modifyPoint(4, {0, 0}, false));
    ASSERT_NE(rect.endCreationWithTol(3), nullptr);
    EXPECT_EQ(rect.selectionState(), 3);
    // Its knobs are its corners; the drawn bounds exceed the geometry by the stroke width.
    EXPECT_EQ(rect.knobList().size(), 4u);
    rect.setWidth(5);
    YKRect<double> bounds;
    rect.getBounds(&bounds);
    EXPECT_EQ(bounds.left, -15);
    EXPECT_EQ(bounds.bottom, 55);
    YKVectorRectangle undragged({5, 5}, 3, &manager);
    EXPECT_EQ(undragged.endCreationWithTol(3), nullptr);
}

}  // namespace
