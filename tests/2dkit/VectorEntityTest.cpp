// The vector object base: creation, constraint, hit tests, knobs, transformation, attributes.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "VectorTestSupport.h"
#include "YKDash.h"
#include "YKEnvelopKinds.h"
#include "YKVectorPolyline.h"

namespace {

using Point = YKPoint<double>;

class VectorEntityTest : public ::testing::Test {
protected:
    YKEnvelopManager manager;
};

TEST_F(VectorEntityTest, ConstraintSnapsToHorizontalDiagonalOrVertical) {
    const auto snapped = [&](Point end) {
        YKVectorEntity entity({0, 0}, 1, &manager);
        entity.nextPoint(end, true);
        return entity.pointList()[1];
    };
    EXPECT_EQ(snapped({10, 2}), (Point{10, 0}));
    EXPECT_EQ(snapped({2, -10}), (Point{0, -10}));
    const Point diagonal = snapped({-10, 8});
    const double side = std::hypot(10.0, 8.0) * std::sqrt(2.0) / 2;
    EXPECT_DOUBLE_EQ(diagonal.x, -side);
    EXPECT_DOUBLE_EQ(diagonal.y, side);
}

TEST_F(VectorEntityTest, CreationScriptGivesPointsBoundsKnobsAndSelection) {
    const int32 before = manager.CountEnvelops();
    auto line = Draw(&manager, {{10, 10}, {60, 10}, {60, 40}, {20, 40}});
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->pointList().size(), 4u);
    EXPECT_EQ(line->segmentList().size(), 3u);
    EXPECT_EQ(line->selectionState(), 3);
    EXPECT_EQ(line->ModificationMode(), 0);
    YKRect<double> box;
    line->getBox(&box);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.right, 60);
    EXPECT_EQ(box.bottom, 40);
    // Knobs sit 4 units inside the bounds' corners: left-top, left-bottom, right-bottom, right-top.
    ASSERT_EQ(line->knobList().size(), 4u);
    EXPECT_EQ(line->knobList()[1], (Point{14, 36}));
    // Stroke colour, pattern alpha, width and the two fill envelopes are the manager's.
    EXPECT_EQ(manager.CountEnvelops(), before + 5);
    line.reset();
    EXPECT_EQ(manager.CountEnvelops(), before);
}

TEST_F(VectorEntityTest, ShortOrDegenerateCreationsEndAsTheToolExpects) {
    // A press and release on one spot makes nothing.
    YKVectorPolyline dot({5, 5}, 1, &manager);
    EXPECT_EQ(dot.endCreationWithTol(3), nullptr);
    // Two segments: kept, but without fill envelopes.
    const int32 before = manager.CountEnvelops();
    auto open = Draw(&manager, {{0, 0}, {30, 0}, {30, 30}});
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->FillColorFlag(), kColorFlagNotFillable);
    EXPECT_EQ(open->FillColorEnvelop(), nullptr);
    EXPECT_EQ(manager.CountEnvelops(), before + 3);
    open->setFillAndColor({1, 2, 3, 255}, kColorFlagColor, nullptr, 0, false, "Default");
    EXPECT_EQ(open->FillColorFlag(), kColorFlagNotFillable);
}

TEST_F(VectorEntityTest, HitTestBordersAreInclusive) {
    auto line = Draw(&manager, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    ASSERT_NE(line, nullptr);
    // Exactly tol/2 beyond the bounds still counts; a hair further does not.
    EXPECT_EQ(line->rawHitAtTol({-2, 50}, 4), 3);
    EXPECT_EQ(line->rawHitAtTol({-2.01, 50}, 4), 0);
    // In state 3, exactly tol from a knob is on it.
    ASSERT_EQ(line->selectionState(), 3);
    const Point knob = line->knobList()[0];
    EXPECT_EQ(line->rawHitAtTol({knob.x + 4, knob.y}, 4), 4);
    // Near the first point but away from any knob: an end point.
    EXPECT_EQ(line->rawHitAtTol({0, 0}, 1), 2);
    line->lock();
    EXPECT_EQ(line->rawHitAtTol({50, 50}, 4), 0);
    EXPECT_EQ(line->selectionState(), 0);
}

TEST_F(VectorEntityTest, ResizeAndRotationAboutTheCentre) {
    YKVectorEntity entity({0, 0}, 1, &manager);
    entity.nextPoint({10, 20}, false);
    const Point center{0, 0};
    entity.resizeWithCenter(0, 2, &center, false);
    EXPECT_EQ(entity.pointList()[1], (Point{10, 20}));  // a zero factor changes nothing
    entity.resizeWithCenter(2, 0.5, &center, false);
    EXPECT_EQ(entity.pointList()[1], (Point{20, 10}));
    entity.rotate_about(M_PI / 2, &center);
    EXPECT_NEAR(entity.pointList()[1].x, 10, 1e-9);
    EXPECT_NEAR(entity.pointList()[1].y, -20, 1e-9);
}

TEST_F(VectorEntityTest, DraggingAKnobResizesAboutTheOppositeOne) {
    YKVectorEntity entity({0, 0}, 1, &manager);
    entity.nextPoint({100, 50}, false);
    entity.resetBox();
    entity.resetBounds();
    entity.select();
    ASSERT_EQ(entity.knobList().size(), 4u);
    for (const auto& [grab, opposite] : {std::pair{0, 2}, {1, 3}, {3, 1}, {2, 0}}) {
        entity.select();
        EXPECT_EQ(entity.selectAtTol(entity.knobList()[grab], 1, false), 4);
        EXPECT_EQ(entity.GrabbedKnob(), grab);
        EXPECT_EQ(entity.OppositeKnob(), opposite);
    }
    // Knob 2 (at (100, 50)) is grabbed last.
    ASSERT_TRUE(entity.beginModification_atPoint_withTol(2, {100, 50}, 1));
    entity.draggingTo({200, 25}, false);
    EXPECT_EQ(entity.pointList()[1], (Point{200, 25}));
    EXPECT_EQ(entity.pointList()[0], (Point{0, 0}));
}

TEST_F(VectorEntityTest, AnEmptyObjectHasNoBoxAndDragsFromTheOrigin) {
    YKVectorEntity empty;
    empty.resetBox();
    YKRect<double> box;
    empty.getBox(&box);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.right, -1);
    Point ref{5, 5};
    empty.getDraggingRef(&ref);
    EXPECT_EQ(ref, (Point{0, 0}));
}

TEST_F(VectorEntityTest, MergedAttributesMarkTheirDifferences) {
    auto a = Draw(&manager, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    auto b = Draw(&manager, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    YKVectorAttributes record;
    record.strokeColor = {10, 20, 30, 255};
    record.width = 4;
    record.fillColorFlag = kColorFlagColor;
    record.fillColor = {200, 0, 0, 255};
    record.join = 1;
    record.firstCap = 6;
    // Each object keeps its own copy of the dash; equal copies are no difference.
    YKDash::InitPredefDash();
    record.dash = YKDash::PredefDash(2);
    a->setAttributes(&record);
    b->setDash(YKDash::PredefDash(2));
    YKVectorAttributes readA;
    YKVectorAttributes readB;
    a->getAttributes(&readA);
    b->getAttributes(&readB);
    EXPECT_FALSE(YKAttributesIsMultiple(readA));
    YKMergeAttributes(&readA, readB);
    EXPECT_TRUE(readA.strokeDiffers && readA.widthDiffers && readA.fillDiffers);
    EXPECT_FALSE(readA.dashDiffers);
}

TEST_F(VectorEntityTest, SegmentDimensionsRoundTripAndMergeIntoABox) {
    YKVectorEntity entity({30, 40}, 1, &manager);
    entity.nextPoint({0, 0}, false);
    YKVectorDimensions d;
    entity.getDimensions_ofSegmentNumber(&d, 0);
    EXPECT_EQ(d.kind, YKVectorDimensions::kSegment);
    EXPECT_EQ(d.v[0], 0);          // the end with the smaller x comes first
    EXPECT_DOUBLE_EQ(d.v[2], 50);  // x + length
    entity.setLength_andAngle_forSegmentNumber(10, 0, 0);
    EXPECT_EQ(entity.pointList()[0], (Point{10, 0}));
    YKVectorDimensions box;
    box.v[0] = -5;
    box.v[1] = -5;
    box.v[2] = 1;
    box.v[3] = 1;
    YKMergeDimensions(&d, box);
    EXPECT_EQ(d.kind, YKVectorDimensions::kUnion);
    EXPECT_NEAR(d.v[2], 30, 1e-9);
    EXPECT_NEAR(d.v[3], 40, 1e-9);
    EXPECT_EQ(d.v[0], -5);
}

}  // namespace
