// Objects drawn and edited with the mouse and the keyboard, as the event manager passes the
// events on: each kind drawn by its tool's gesture, selected objects dragged by their body and
// knobs, nudged with keys, and events that come out of order or carry unusable points.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <vector>

#include "ReferenceImage.h"
#include "TestDocument.h"
#include "YKLayerFactory.h"
#include "YKMessage.h"
#include "YKRasterLayer.h"
#include "YKVectorChain.h"
#include "YKVectorEntity.h"
#include "YKVectorText.h"
#include "yk_sketch_modes.h"

namespace {

using Point = YKPoint<double>;
using Points = std::vector<Point>;

struct Step {
    enum Kind { kDown, kMove, kUp } kind;
    Point at;
    uint32 clicks = 1;
};
constexpr Step::Kind D = Step::kDown;
constexpr Step::Kind M = Step::kMove;
constexpr Step::Kind U = Step::kUp;

class ObjectLayerMouseTest : public ::testing::Test {
protected:
    ~ObjectLayerMouseTest() override { YKObjectLayer::SetEventModifiers(0); }

    // A press at `at` dragged to `to` and released there, the pointer having come to `at`.
    static std::vector<Step> Press(Point at, Point to) {
        return {{M, at}, {D, at}, {M, to}, {U, to}};
    }
    static std::vector<Step> Joined(std::initializer_list<std::vector<Step>> parts) {
        std::vector<Step> steps;
        for (const std::vector<Step>& part : parts) {
            steps.insert(steps.end(), part.begin(), part.end());
        }
        return steps;
    }
    // A new object of `kind` added as the drawing tool adds it, then given `steps`.
    YKRasterLayer* Draw(int32 kind, const std::vector<Step>& steps) {
        auto* layer = new YKRasterLayer(doc.host.GetUniqueID(), "drawn", kind);
        user->AddChild(layer, true);
        for (const Step& step : steps) {
            switch (step.kind) {
                case Step::kDown:
                    layer->MouseDown(step.at, 1, step.clicks, 0);
                    break;
                case Step::kMove:
                    layer->MouseHold(step.at, 1, 0);
                    break;
                case Step::kUp:
                    layer->MouseUp(step.at, 0);
                    break;
            }
        }
        return layer;
    }
    // A selected rectangle spanning (10, 10) to (50, 30).
    YKRasterLayer* SelectedRectangle() {
        YKRasterLayer* layer =
            Draw(YKRasterLayer::kRectangle, {{D, {10, 10}}, {M, {30, 20}}, {U, {50, 30}}});
        layer->SetObjectMode(YKObjectLayer::kModeSelected, true);
        return layer;
    }
    // The object as a document reloads it.
    std::unique_ptr<YKRasterLayer> Reloaded(const YKRasterLayer* layer) {
        YKMessage archive;
        layer->Archive(&archive, true);
        YKLayer* built = YKLayerFactory::Default().Build(&archive, &doc.manager());
        EXPECT_NE(built, nullptr);
        return std::unique_ptr<YKRasterLayer>(static_cast<YKRasterLayer*>(built));
    }
    static Points PointsOf(const YKRasterLayer* layer) {
        return layer->Entity() != nullptr ? layer->Entity()->pointList() : Points{};
    }
    static YKRect<double> BoxOf(const YKRasterLayer* layer) {
        YKRect<double> box;
        layer->Entity()->getBox(&box);
        return box;
    }
    static void Key(YKLayer* layer, char key, uint32 modifiers = 0) {
        layer->KeyDown(&key, 1, modifiers, 0);
        layer->KeyUp(&key, 1, modifiers, 0);
    }

    TestDocument doc;
    YKUserLayer* user = doc.AddUserLayer();
};

TEST_F(ObjectLayerMouseTest, OneDragShapesEndOnTheReleaseAndReloadAsDrawn) {
    struct Case {
        int32 kind;
        int32 objectType;
    };
    for (const Case c : {Case{YKRasterLayer::kRectangle, YKVectorEntity::kTypeRectangle},
                         Case{YKRasterLayer::kRoundRectangle, YKVectorEntity::kTypeRoundRect},
                         Case{YKRasterLayer::kEllipse, YKVectorEntity::kTypeEllipse},
                         Case{YKRasterLayer::kArc, YKVectorEntity::kTypeArc}}) {
        SCOPED_TRACE(YKRasterLayer::TypeName(c.kind));
        YKRasterLayer* layer = Draw(c.kind, {{D, {10, 10}}, {M, {30, 25}}, {U, {50, 40}}});
        ASSERT_TRUE(layer->IsValid());
        EXPECT_EQ(layer->ObjectMode(-1), YKObjectLayer::kModeNotSelected);
        const std::unique_ptr<YKRasterLayer> back = Reloaded(layer);
        ASSERT_NE(back->Entity(), nullptr);
        EXPECT_EQ(back->Entity()->Type(), c.objectType);
        const YKRect<double> box = BoxOf(back.get());
        EXPECT_EQ(box.LeftTop(), (Point{10, 10}));
        EXPECT_EQ(box.RightBottom(), (Point{50, 40}));
        EXPECT_EQ(back->CurrentPlacement().position, (Point{10, 10}));

        // A click without a drag leaves nothing worth keeping.
        YKRasterLayer* dot = Draw(c.kind, {{D, {70, 70}}, {U, {70, 70}}});
        EXPECT_FALSE(dot->IsValid());
        EXPECT_NE(dot->ObjectMode(-1), YKObjectLayer::kModeDrawing);
    }
}

TEST_F(ObjectLayerMouseTest, LinesAndFreehandStrokesKeepThePointsDragged) {
    YKRasterLayer* line = Draw(YKRasterLayer::kLine, {{D, {10, 10}}, {M, {30, 30}}, {U, {60, 40}}});
    ASSERT_TRUE(line->IsValid());
    EXPECT_EQ(PointsOf(Reloaded(line).get()), (Points{{10, 10}, {60, 40}}));

    // Shift snaps the line to the nearest of 0, 45 and 90 degrees.
    YKObjectLayer::SetEventModifiers(YKObjectLayer::kShiftKey);
    YKRasterLayer* level = Draw(YKRasterLayer::kLine, {{D, {10, 10}}, {U, {60, 14}}});
    YKObjectLayer::SetEventModifiers(0);
    EXPECT_EQ(PointsOf(level), (Points{{10, 10}, {60, 10}}));

    YKRasterLayer* stroke =
        Draw(YKRasterLayer::kFreeHand,
             {{D, {10, 10}}, {M, {20, 12}}, {M, {20, 12}}, {M, {30, 15}}, {U, {40, 20}}});
    ASSERT_TRUE(stroke->IsValid());
    const std::unique_ptr<YKRasterLayer> back = Reloaded(stroke);
    EXPECT_EQ(back->Entity()->Type(), YKVectorEntity::kTypeFreeHand);
    EXPECT_EQ(PointsOf(back.get()), (Points{{10, 10}, {20, 12}, {30, 15}, {40, 20}}));
}

// A growing freehand stroke is redrawn only around its end; that must give the pixels a whole
// rendering gives, over loops that cross the stroke's earlier parts and sharp turns whose
// joins and caps reach out, and the redrawn area must stay local.
TEST_F(ObjectLayerMouseTest, AFreehandStrokeRedrawnAtItsEndShowsWhatAWholeRenderingShows) {
    struct Look {
        double width;
        int32 firstCap, lastCap, join;
        double miterLimit;
        yk_color colour;
    };
    const Look looks[] = {{1, YK_CAP_BUTT, YK_CAP_BUTT, YK_JOIN_BEVEL, 2, {0, 0, 0, 255}},
                          {6, YK_CAP_ROUND, YK_CAP_SQUARE, YK_JOIN_MITER, 4, {200, 30, 30, 160}},
                          {3.5, YK_CAP_SQUARE, YK_CAP_ROUND, YK_JOIN_ROUND, 2, {20, 90, 200, 255}}};
    // Loops drifting right, each crossing the one before, then a zigzag of sharp turns.
    const auto at = [](int32 i) {
        if (i < 160) {
            return Point{100 + i * 1.5 + 40 * std::cos(i / 8.0), 100 + 40 * std::sin(i / 8.0)};
        }
        return Point{340 - (i - 160) * 3.0, 170 + ((i & 1) != 0 ? 25.0 : 0.0) + (i % 7) * 0.37};
    };
    for (const Look& look : looks) {
        SCOPED_TRACE(look.width);
        auto* layer = new YKRasterLayer(doc.host.GetUniqueID(), "stroke", YKRasterLayer::kFreeHand);
        user->AddChild(layer, true);
        layer->MouseDown(at(0), 1, 1, 0);
        layer->MouseHold(at(1), 1, 0);
        YKVectorEntity* entity = layer->Entity();
        ASSERT_NE(entity, nullptr);
        entity->setWidth(look.width);
        entity->setCapJoin(look.firstCap, look.lastCap, look.join);
        entity->setMiterLimit(look.miterLimit);
        entity->setStrokeAndColor(look.colour, kColorFlagColor, nullptr, 0, false, "");
        layer->RedrawObject(false);
        for (int32 i = 2; i < 240; ++i) {
            doc.viewer.BeginInvalidate();
            layer->MouseHold(at(i), 1, 0);
            doc.viewer.EndInvalidate();
            if (i % 30 != 0) {
                continue;
            }
            SCOPED_TRACE(i);
            const YKRect<int32> redrawn = doc.viewer.InvalidRect();
            EXPECT_LT(redrawn.Width(), 80);
            EXPECT_LT(redrawn.Height(), 80);
            // The whole path, its joins and caps lie well inside this area.
            constexpr YKRect<int32> kArea{0, 0, 479, 259};
            const PixelImage drawn = ImageOf(*layer->Bitmap(), kArea);
            layer->RedrawObject(false);
            EXPECT_EQ(ImageOf(*layer->Bitmap(), kArea).pixels, drawn.pixels);
        }
        layer->MouseUp(at(239), 0);
        EXPECT_TRUE(layer->IsValid());
    }
}

TEST_F(ObjectLayerMouseTest, PolylinesTakeAPointPerClickAndEndOnADoubleClickOrTheStart) {
    YKRasterLayer* path = Draw(YKRasterLayer::kPolyline, Joined({Press({10, 10}, {10, 10}),
                                                                 Press({40, 10}, {40, 10}),
                                                                 Press({40, 40}, {40, 40}),
                                                                 {{D, {40, 40}, 2}}}));
    ASSERT_TRUE(path->IsValid());
    EXPECT_EQ(path->ObjectMode(-1), YKObjectLayer::kModeNotSelected);
    const std::unique_ptr<YKRasterLayer> back = Reloaded(path);
    EXPECT_EQ(back->Entity()->Type(), YKVectorEntity::kTypePolyline);
    EXPECT_EQ(PointsOf(back.get()), (Points{{10, 10}, {40, 10}, {40, 40}}));
    EXPECT_FALSE(static_cast<YKVectorChain*>(back->Entity())->isClosed());

    YKRasterLayer* loop =
        Draw(YKRasterLayer::kPolyline,
             {{D, {10, 10}}, {D, {40, 10}}, {D, {40, 40}}, {D, {11, 11}}, {U, {11, 11}}});
    ASSERT_TRUE(loop->IsValid());
    EXPECT_NE(loop->ObjectMode(-1), YKObjectLayer::kModeDrawing);
    EXPECT_TRUE(static_cast<YKVectorChain*>(loop->Entity())->isClosed());

    // The polyline tool pressed on the open path's end carries it on.
    EXPECT_TRUE(path->WantToContinue({40, 41}, "Polyline"));
    EXPECT_FALSE(path->WantToContinue({40, 41}, "Line"));
    EXPECT_FALSE(loop->WantToContinue({10, 10}, "Polyline"));
    path->SetObjectMode(YKObjectLayer::kModeDrawing, true);
    path->MouseDown({40, 40}, 1, 1, 0);
    path->MouseMoved({70, 40}, 0, 0);
    path->MouseDown({70, 40}, 1, 1, 0);
    path->MouseDown({70, 40}, 1, 2, 0);
    ASSERT_TRUE(path->IsValid());
    EXPECT_EQ(PointsOf(path), (Points{{10, 10}, {40, 10}, {40, 40}, {70, 40}}));

    // A double click on the second point keeps a path of one segment; on the first, nothing.
    EXPECT_TRUE(Draw(YKRasterLayer::kPolyline, {{D, {10, 10}}, {D, {30, 10}}, {D, {30, 10}, 2}})
                    ->IsValid());
    EXPECT_FALSE(Draw(YKRasterLayer::kPolyline, {{D, {10, 10}}, {D, {10, 10}, 2}})->IsValid());
}

TEST_F(ObjectLayerMouseTest, BezierPathsPlaceAnAnchorAndItsHandlePerPress) {
    YKRasterLayer* path = Draw(YKRasterLayer::kBezier, Joined({Press({10, 50}, {10, 20}),
                                                               Press({60, 50}, {60, 80}),
                                                               Press({90, 50}, {90, 50}),
                                                               {{D, {90, 50}, 2}}}));
    ASSERT_TRUE(path->IsValid());
    EXPECT_EQ(path->ObjectMode(-1), YKObjectLayer::kModeNotSelected);
    const std::unique_ptr<YKRasterLayer> back = Reloaded(path);
    EXPECT_EQ(back->Entity()->Type(), YKVectorEntity::kTypeBezier);
    // Each anchor then its handles; the middle anchor's incoming handle mirrors the outgoing
    // one pulled out, and the last anchor was clicked without a drag.
    EXPECT_EQ(PointsOf(back.get()),
              (Points{{10, 50}, {10, 20}, {60, 50}, {60, 20}, {60, 80}, {90, 50}, {90, 50}}));
}

TEST_F(ObjectLayerMouseTest, ATextTakesTheKeysTypedUntilItIsFinished) {
    YKRasterLayer* layer = Draw(YKRasterLayer::kText, {{D, {10, 40}}, {U, {10, 40}}});
    EXPECT_EQ(layer->ObjectMode(-1), YKObjectLayer::kModeDrawing);
    for (const char key : {'H', 'x', '\b', 'i'}) {
        Key(layer, key);
    }
    layer->FinishObject();
    ASSERT_TRUE(layer->IsValid());
    EXPECT_EQ(layer->ObjectMode(-1), YKObjectLayer::kModeNotSelected);
    EXPECT_STREQ(static_cast<YKVectorText*>(Reloaded(layer)->Entity())->string(), "Hi");

    // A click away from a text nobody typed in ends it, and it is not kept.
    YKRasterLayer* empty = Draw(YKRasterLayer::kText, {{D, {10, 40}}, {U, {10, 40}}});
    empty->MouseDown({300, 300}, 1, 1, 0);
    EXPECT_NE(empty->ObjectMode(-1), YKObjectLayer::kModeDrawing);
    EXPECT_FALSE(empty->IsValid());
}

TEST_F(ObjectLayerMouseTest, ASelectedObjectMovesByTheDragAndResizesByItsKnobs) {
    YKRasterLayer* layer = SelectedRectangle();
    const YKRect<int32> before = layer->Frame();
    doc.viewer.BeginInvalidate();
    layer->MouseDown({30, 20}, 1, 1, 0);
    layer->MouseHold({33, 24}, 1, 0);
    layer->MouseHold({35, 27}, 1, 0);
    layer->MouseUp({35, 27}, 0);
    doc.viewer.EndInvalidate();
    EXPECT_EQ(layer->Center(), (Point{15, 17}));
    // The view recomposes where the object was and where it is now.
    const YKRect<int32> invalid = doc.viewer.InvalidRect();
    EXPECT_EQ(invalid | before | layer->Frame(), invalid);
    EXPECT_EQ(BoxOf(layer).LeftTop(), (Point{15, 17}));
    EXPECT_EQ(BoxOf(Reloaded(layer).get()).RightBottom(), (Point{55, 37}));

    // The right-bottom knob, at (55, 37), stretches the box away from the left-top one.
    layer->MouseDown({55, 37}, 1, 1, 0);
    layer->MouseHold({75, 57}, 1, 0);
    layer->MouseUp({75, 57}, 0);
    EXPECT_EQ(layer->Center(), (Point{15, 17}));
    EXPECT_EQ(layer->RightBottomVector(), (Point{60, 40}));
    EXPECT_EQ(BoxOf(layer).RightBottom(), (Point{75, 57}));

    // With Shift the larger stretch leads both sides: 90 / 60 across, so 60 down.
    YKObjectLayer::SetEventModifiers(YKObjectLayer::kShiftKey);
    layer->MouseDown({75, 57}, 1, 1, 0);
    layer->MouseUp({105, 60}, 0);
    EXPECT_EQ(layer->RightBottomVector(), (Point{90, 60}));
    // The left edge's knob, at (15, 47), moves that side alone; the proportions still hold.
    layer->MouseDown({15, 47}, 1, 1, 0);
    layer->MouseUp({45, 47}, 0);
    EXPECT_EQ(layer->LeftTopVector(), (Point{30, 10}));
    EXPECT_EQ(layer->RightBottomVector(), (Point{90, 50}));
}

TEST_F(ObjectLayerMouseTest, ARotationKnobTurnsTheObjectAboutItsPivot) {
    YKRasterLayer* layer = SelectedRectangle();
    YKPoint<double> knobs[4];
    ASSERT_TRUE(layer->RotationKnobs(knobs));
    const Point pivot = layer->Center() + layer->RotationVector();
    EXPECT_EQ(pivot, (Point{30, 20}));
    // Dragged a quarter turn against the clock (the y axis points down).
    const Point from = knobs[2] - pivot;
    layer->MouseDown(knobs[2], 1, 1, 0);
    layer->MouseUp(pivot + Point{from.y, -from.x}, 0);
    EXPECT_NEAR(layer->Rotation(), std::numbers::pi / 2, 1e-9);
    const YKRect<double> turned = layer->BoundingBox();
    EXPECT_NEAR(turned.left, 20, 1e-9);
    EXPECT_NEAR(turned.top, 0, 1e-9);
    EXPECT_NEAR(turned.right, 40, 1e-9);
    EXPECT_NEAR(turned.bottom, 40, 1e-9);
    EXPECT_NEAR(Reloaded(layer)->Entity()->Angle(), std::numbers::pi / 2, 1e-9);

    // With Shift a turn of about 50 degrees snaps to 45.
    ASSERT_TRUE(layer->RotationKnobs(knobs));
    const double start = std::atan2(pivot.y - knobs[0].y, knobs[0].x - pivot.x);
    const double r = std::hypot(knobs[0].x - pivot.x, knobs[0].y - pivot.y);
    const double to = start + 50 * std::numbers::pi / 180;
    YKObjectLayer::SetEventModifiers(YKObjectLayer::kShiftKey);
    layer->MouseDown(knobs[0], 1, 1, 0);
    layer->MouseUp(pivot + Point{r * std::cos(to), -r * std::sin(to)}, 0);
    EXPECT_NEAR(layer->Rotation(), 3 * std::numbers::pi / 4, 1e-9);
}

TEST_F(ObjectLayerMouseTest, KeysNudgeResizeAndTurnTheSelection) {
    YKRasterLayer* layer = SelectedRectangle();
    Key(layer, 29);                            // right
    Key(layer, 31, YKObjectLayer::kShiftKey);  // down, by 8
    EXPECT_EQ(layer->Center(), (Point{11, 18}));
    Key(layer, 29, YKObjectLayer::kControlKey);  // wider by 1, on both sides
    EXPECT_EQ(layer->RightTopVector().x - layer->LeftTopVector().x, 41);
    Key(layer, 'z', YKObjectLayer::kShiftKey);
    Key(layer, 'x');
    EXPECT_NEAR(layer->Rotation(), 7 * std::numbers::pi / 180, 1e-12);
    // An unselected object stays.
    layer->SetObjectMode(YKObjectLayer::kModeNotSelected, true);
    Key(layer, 29);
    EXPECT_EQ(layer->Center(), (Point{11, 18}));
}

TEST_F(ObjectLayerMouseTest, EventsOutOfOrderAndUnusablePointsLeaveAUsableObject) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    YKRasterLayer* layer = SelectedRectangle();
    // No press, no drag; a second release does nothing.
    EXPECT_FALSE(layer->MouseMoved({80, 80}, 1, 0));
    EXPECT_FALSE(layer->MouseUp({80, 80}, 0));
    EXPECT_EQ(layer->Center(), (Point{10, 10}));
    // Keys wait for the drag to end; unusable points are skipped, huge ones clamped.
    layer->MouseDown({30, 20}, 1, 1, 0);
    Key(layer, 29);
    layer->MouseHold({nan, 25}, 1, 0);
    layer->MouseHold({inf, -inf}, 1, 0);
    EXPECT_EQ(layer->Center(), (Point{10, 10}));
    layer->MouseHold({1e30, -1e30}, 1, 0);
    layer->MouseUp({nan, nan}, 0);
    EXPECT_FALSE(layer->MouseUp({30, 20}, 0));
    const Point far = layer->Center();
    EXPECT_TRUE(std::isfinite(far.x) && std::isfinite(far.y));
    EXPECT_GT(far.x, 1e6);
    EXPECT_LT(far.y, -1e6);

    // A drawing given such points keeps to the usable ones, and a release at an unusable one
    // ends where the pointer was last.
    YKRasterLayer* drawn = Draw(YKRasterLayer::kRectangle, {{D, {nan, 5}},
                                                            {D, {10, 10}},
                                                            {M, {nan, nan}},
                                                            {M, {1e30, 30}},
                                                            {U, {nan, 1}},
                                                            {U, {40, 30}}});
    ASSERT_TRUE(drawn->IsValid());
    EXPECT_EQ(drawn->ObjectMode(-1), YKObjectLayer::kModeNotSelected);
    YKMessage archive;
    drawn->Archive(&archive, true);
    double value = 0;
    for (int32 i = 0; archive.FindDouble("pt_x", i, &value); ++i) {
        EXPECT_TRUE(std::isfinite(value));
    }
    EXPECT_EQ(BoxOf(drawn).LeftTop(), (Point{10, 10}));
    EXPECT_EQ(BoxOf(drawn).RightBottom(), (Point{1e7, 30}));

    // A finished object put back into drawing is not reshaped by a stray press.
    drawn->SetObjectMode(YKObjectLayer::kModeDrawing, true);
    EXPECT_FALSE(drawn->MouseDown({5, 5}, 1, 1, 0));
    EXPECT_FALSE(drawn->MouseUp({0, 0}, 0));
    EXPECT_EQ(drawn->ObjectMode(-1), YKObjectLayer::kModeNotSelected);
    EXPECT_EQ(BoxOf(drawn).LeftTop(), (Point{10, 10}));
}

TEST_F(ObjectLayerMouseTest, LocalEditingDragsOnePointOfThePath) {
    YKRasterLayer* path = Draw(YKRasterLayer::kPolyline,
                               {{D, {10, 10}}, {D, {40, 10}}, {D, {40, 40}}, {D, {40, 40}, 2}});
    path->SetObjectMode(YKObjectLayer::kModeLocalEditing, true);
    EXPECT_TRUE(path->MouseDown({40, 10}, 1, 1, 0));
    path->MouseHold({45, 8}, 1, 0);
    path->MouseUp({50, 5}, 0);
    EXPECT_EQ(PointsOf(path), (Points{{10, 10}, {50, 5}, {40, 40}}));
    // The placement follows the points once the drag ends.
    EXPECT_EQ(path->Center(), (Point{10, 5}));
}

}  // namespace
