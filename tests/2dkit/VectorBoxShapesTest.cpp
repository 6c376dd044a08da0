#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>
#include <vector>

#include "VectorTestSupport.h"
#include "YKDash.h"
#include "YKEnvelopKinds.h"
#include "YKEnvelopManager.h"
#include "YKGradientContainer.h"
#include "YKMessage.h"
#include "YKSketcher.h"
#include "YKVectorArc.h"
#include "YKVectorEllipse.h"

namespace {

using Point = YKPoint<double>;

// Records what a shape hands the sketcher instead of drawing it.
struct RecordingSketcher : YKSketcher {
    void DrawRoundRect(Point p0, Point p1, Point p2, Point p3, double rx, double ry) override {
        Record({p0, p1, p2, p3, {rx, ry}});
    }
    void DrawEllipse(Point p0, Point p1, Point p2, Point p3) override { Record({p0, p1, p2, p3}); }
    void DrawArc(Point p0, Point p1, Point p2) override { Record({p0, p1, p2}); }
    void Record(std::vector<Point> args) {
        points = args;
        state = {Closed(), LineCapInMode(), LineCapOutMode()};
    }
    std::vector<Point> points;
    std::tuple<bool, int32, int32> state;
};

std::vector<uint32> Render(YKVectorEntity& shape) {
    return RenderEntity(shape, {0, 0, 79, 79}).pixels;
}

template <typename Shape>
class BoxShapeTest : public ::testing::Test {
protected:
    // The calls a mouse drag from (10, 10) to (50, 30) makes.
    void SetUp() override {
        shape.setWidth(4);
        for (Point p : {Point{30, 40}, Point{60, 25}, Point{50, 30}}) {
            shape.nextPoint(p, false);
        }
        ASSERT_EQ(shape.endCreationWithTol(3), &shape);
    }
    YKEnvelopManager manager;
    Shape shape{Point{10, 10}, 1, &manager};
};

using Kinds = ::testing::Types<YKVectorRoundRect, YKVectorEllipse, YKVectorArc>;
TYPED_TEST_SUITE(BoxShapeTest, Kinds);

TYPED_TEST(BoxShapeTest, DragMakesAClosedBoxWithCornerKnobsAndStrokeWideBounds) {
    TypeParam click(Point{10, 10}, 5, &this->manager);
    EXPECT_EQ(click.pointList(), std::vector<Point>(4, Point{10, 10}));
    EXPECT_EQ(std::tuple(click.segmentList().size(), click.segmentList().back().end,
                         click.ModificationMode(), click.selectionState()),
              std::tuple(4u, 0, 2, 0));
    EXPECT_EQ(click.endCreationWithTol(3), nullptr);

    YKVectorRoundRect* shape = &this->shape;
    const std::vector<Point> corners{{10, 10}, {50, 10}, {50, 30}, {10, 30}};
    EXPECT_EQ(shape->pointList(), corners);
    EXPECT_EQ(shape->knobList(), corners);
    YKRect<double> bounds;
    shape->getBounds(&bounds);
    EXPECT_EQ(bounds, (YKRect<double>{6, 6, 54, 34}));
    shape->endSelect();
    EXPECT_TRUE(shape->knobList().empty());

    // Square: corner 2 on the diagonal, the diagonal as long as the pointer is far from corner 0.
    shape->nextPoint({40, 10}, true);
    const Point c2 = shape->pointList()[2];
    EXPECT_NEAR(c2.x, c2.y, 1e-9);
    EXPECT_NEAR(std::hypot(c2.x - 10, c2.y - 10), 30, 1e-9);
    // Corner 1 drags its neighbours along their sides; side 0-1 stays horizontal.
    EXPECT_TRUE(shape->modifyPoint(1, {70, 5}, false));
    EXPECT_EQ(shape->pointList(), (std::vector<Point>{{10, 5}, {70, 5}, {70, c2.y}, {10, c2.y}}));
    EXPECT_FALSE(shape->modifyPoint(4, {0, 0}, false));
}

TYPED_TEST(BoxShapeTest, ArchiveAndCopyKeepEveryAttributeAndPixel) {
    YKDash::InitPredefDash();
    this->manager.SetMaxFrame(3, false);
    YKVectorRoundRect* shape = &this->shape;
    YKGradientContainer gradient;
    gradient.SetGradientType(GRADIENT_RADIAL);
    shape->setStrokeAndColor(yk_color(200, 30, 40, 255), 1, nullptr, 0, false, "Default");
    shape->setFillAndColor(yk_color(0, 0, 0, 255), 4, &gradient, 0, false, "Default");
    shape->setDash(YKDash::PredefDash(2));
    shape->setCapJoin(2, 7, 1);
    shape->setGlobalRotation(0.3, {40, 40});
    shape->resetBounds();
    if (shape->RxEnvelop() != nullptr) {
        shape->RxEnvelop()->SetValue(6.0, 1);
        shape->RxEnvelop()->SetValue(14.0, 3);
        shape->RyEnvelop()->SetValue(9.0, 3);
    }
    YKMessage archive;
    shape->ArchiveIn(&archive);
    TypeParam loaded(&archive, 2, &this->manager);
    std::unique_ptr<YKVectorEntity> copy(shape->copy());

    YKVectorAttributes want, got;
    shape->getAttributes(&want);
    for (YKVectorEntity* other : {static_cast<YKVectorEntity*>(&loaded), copy.get()}) {
        other->getAttributes(&got);
        EXPECT_EQ(std::tuple(other->Type(), other->Angle(), other->pointList()),
                  std::tuple(shape->Type(), 0.3, shape->pointList()));
        EXPECT_EQ(
            std::tie(got.strokeColor, got.firstCap, got.lastCap, got.join, got.rx, got.ry),
            std::tie(want.strokeColor, want.firstCap, want.lastCap, want.join, want.rx, want.ry));
    }
    for (int32 frame : {1, 3}) {
        this->manager.SetCurrentFrame(frame);
        const std::vector<uint32> pixels = Render(*shape);
        EXPECT_NE(std::count(pixels.begin(), pixels.end(), 0u), 80 * 80) << "drew nothing";
        EXPECT_EQ(Render(loaded), pixels) << "frame " << frame;
        EXPECT_EQ(Render(*copy), pixels) << "frame " << frame;
    }
    if (shape->RxEnvelop() != nullptr) {
        archive.RemoveName("rx");
        TypeParam damaged(&archive, 4, &this->manager);
        EXPECT_EQ(std::pair(damaged.RxEnvelop()->Value(), damaged.RyEnvelop()->Value(3)),
                  std::pair(0.0, 9.0));
    }
    // The copy's envelopes leave the manager with it.
    const int32 registered = this->manager.CountEnvelops();
    copy.reset();
    EXPECT_LT(this->manager.CountEnvelops(), registered);
}

// A rounded rectangle (rx 40, ry 30, stroke 4), an ellipse and an arc over one box.
struct ThreeShapes {
    explicit ThreeShapes(Point corner2) {
        YKDash::InitPredefDash();
        YKVectorAttributes attributes;
        round.getAttributes(&attributes);
        std::tie(attributes.rx, attributes.ry, attributes.width) = std::tuple(40, 30, 4);
        round.setAttributes(&attributes);
        for (YKVectorRoundRect* shape : all) {
            shape->nextPoint(corner2, false);
            shape->setCapJoin(2, 6, 1);
            shape->endSelect();
        }
    }
    YKEnvelopManager manager;
    YKVectorRoundRect round{Point{0, 0}, 1, &manager};
    YKVectorEllipse ellipse{Point{0, 0}, 2, &manager};
    YKVectorArc arc{Point{0, 0}, 3, &manager};
    YKVectorRoundRect* all[3] = {&round, &ellipse, &arc};
};

TEST(BoxShapeKindsTest, EachKindHandsTheSketcherItsOwnPrimitive) {
    EXPECT_EQ(
        std::tuple(YKVectorRoundRect().Type(), YKVectorEllipse().Type(), YKVectorArc().Type()),
        std::tuple(9, 3, 1));
    RecordingSketcher sketcher;
    YKVectorEllipse dot({5, 5}, 4, nullptr);
    dot.drawIn(&sketcher, true);
    EXPECT_TRUE(sketcher.points.empty()) << "nothing is drawn while corners 0 and 2 coincide";
    ThreeShapes shapes({40, 20});
    shapes.ellipse.drawIn(&sketcher, true);
    EXPECT_EQ(sketcher.points, (std::vector<Point>{{0, 0}, {40, 20}, {40, 0}, {0, 20}}));
    EXPECT_EQ(sketcher.state, std::tuple(true, YK_CAP_BUTT, YK_CAP_BUTT));
    shapes.ellipse.setDash(YKDash::PredefDash(1));
    shapes.ellipse.drawIn(&sketcher, true);
    EXPECT_FALSE(std::get<0>(sketcher.state)) << "a dash runs on across the seam";
    shapes.arc.drawIn(&sketcher, true);
    EXPECT_EQ(sketcher.points, (std::vector<Point>{{0, 0}, {40, 0}, {0, 20}}));
    EXPECT_EQ(sketcher.state, std::tuple(false, 2, 6));

    // Negative radii draw square corners and are stored back as 0.
    shapes.round.RxEnvelop()->SetValue(-4.0);
    shapes.round.drawIn(&sketcher, true);
    EXPECT_EQ(sketcher.points.back(), (Point{0, 30}));
    EXPECT_EQ(shapes.round.RxEnvelop()->Value(), 0);
}

TEST(BoxShapeKindsTest, HitsFollowTheOutlineNotTheBox) {
    ThreeShapes shapes({200, 200});
    for (YKVectorRoundRect* shape : shapes.all) {
        EXPECT_EQ(shape->hitAtTol({100, 100}, 5), 0) << "the centre is 100 from every outline";
    }
    EXPECT_EQ(shapes.round.hitAtTol({100, 1.5}, 1), 1) << "within half the stroke of a side";
    EXPECT_EQ(shapes.round.hitAtTol({40 - 40 * M_SQRT1_2, 30 - 30 * M_SQRT1_2}, 1), 1);
    EXPECT_EQ(shapes.round.hitAtTol({0, 0}, 3), 0) << "the box corner is off the outline";
    shapes.round.select();
    EXPECT_EQ(shapes.round.hitAtTol({0, 0}, 3), 4);
    EXPECT_EQ(shapes.ellipse.hitAtTol({100 - 100 * M_SQRT1_2, 100 - 100 * M_SQRT1_2}, 1), 1);
    EXPECT_EQ(shapes.ellipse.hitAtTol({12, 9}, 1), 0);
    // From corner 0 to corner 2 about corner 3; between samples too.
    EXPECT_EQ(shapes.arc.hitAtTol({200 * std::sin(0.73), 200 - 200 * std::cos(0.73)}, 1), 1);
    EXPECT_EQ(shapes.arc.hitAtTol({200, 0}, 5), 0);
}

}  // namespace
