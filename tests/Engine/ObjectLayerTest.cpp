#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "TestDocument.h"
#include "YKCacheLayer.h"
#include "YKGenericFilter.h"
#include "YKLayerFactory.h"
#include "yk_composition.h"

namespace {

using Point = YKPoint<double>;

class ObjectLayerTest : public ::testing::Test {
protected:
    // A new object added at the current frame and drawn out to a 20 x 10 box at (50, 40).
    QuadLayer* AddQuad(uint32 color = 0xFF0000FFu) {
        auto* quad = new QuadLayer(doc.host.GetUniqueID(), color);
        user->AddChild(quad, false);
        quad->ModifyBoundingBox({-10, -5}, {10, -5}, {10, 5}, {-10, 5});
        quad->MoveBoundingBoxBy({50, 40}, false);
        quad->SetObjectMode(YKObjectLayer::kModeNotSelected, true);
        return quad;
    }

    TestDocument doc;
    YKUserLayer* user = doc.AddUserLayer();
};

TEST_F(ObjectLayerTest, ArchiveRoundTripsAndLoadsInModeLoaded) {
    QuadLayer* quad = AddQuad();
    quad->SetName("box");
    quad->SetCopyNumber(2);
    quad->SetPreviewMode(1);
    doc.GoTo(6);
    quad->ModifyRotation(0.5);
    YKMessage archive;
    quad->YKObjectLayer::Archive(&archive, false);  // without the quad's own fields
    const char* className = nullptr;
    ASSERT_TRUE(archive.FindString("Class", &className));
    EXPECT_STREQ(className, "YKObjectLayer");

    YKObjectLayer loaded(&archive);
    EXPECT_EQ(loaded.GetFullName(), "box copy 2");
    EXPECT_EQ(loaded.PreviewMode(), 1);
    EXPECT_EQ(loaded.ObjectMode(3), YKObjectLayer::kModeLoaded);
    EXPECT_EQ(loaded.RotationEnvelop()->Value(6), 0.5);
    EXPECT_EQ(loaded.RotationEnvelop()->Value(1), 0.0);
    EXPECT_EQ(loaded.PositionEnvelop()->Value(1).x, 50.0);
    YKMessage again;
    loaded.Archive(&again, false);
    EXPECT_EQ(again.Flatten(), archive.Flatten());
}

TEST_F(ObjectLayerTest, MissingKeysGiveDefaultsAndBadPreviewModesAreIgnored) {
    YKMessage archive;
    archive.AddString("Class", "YKObjectLayer");
    archive.AddInt32("YKOL:PreviewMode", 7);
    archive.AddInt32("YKOL:MergeMethod", 4);  // the wrong type: not read
    YKObjectLayer loaded(&archive);
    EXPECT_EQ(loaded.PreviewMode(), 0);
    EXPECT_EQ(loaded._MergeMethod(), 0);
    EXPECT_EQ(loaded.Name(), nullptr);
    EXPECT_EQ(loaded.OpacityEnvelop(), nullptr);
    const YKObjectLayer::Placement p = loaded.CurrentPlacement();
    EXPECT_EQ(p.leftTop, (Point{-64, -64}));
    EXPECT_EQ(p.rightBottom, (Point{64, 64}));
    EXPECT_EQ(loaded.GetFullName(), "Unnamed");
    loaded.SetCopyNumber(1);
    EXPECT_EQ(loaded.GetFullName(), "Unnamed copy");

    // The factory builds object layers by class name, as a document's loader does.
    std::unique_ptr<YKLayer> built(YKLayerFactory::Default().Build(&archive, nullptr));
    ASSERT_NE(built, nullptr);
    EXPECT_TRUE(built->InheritsFrom("YKObjectLayer"));
}

TEST_F(ObjectLayerTest, NewObjectIsHiddenBeforeItsFrameAndGetsNewCorners) {
    doc.GoTo(5);
    auto* quad = new QuadLayer(doc.host.GetUniqueID(), 0xFF00FF00u);
    user->AddChild(quad, false);
    EXPECT_EQ(doc.manager().CountEnvelops(), 1 + 9);  // the user layer's opacity, then ours
    for (int32 frame = 1; frame <= 4; ++frame) {
        EXPECT_TRUE(quad->VisibilityEnvelop()->Value(frame)) << frame;
    }
    EXPECT_FALSE(quad->VisibilityEnvelop()->Value(5));
    EXPECT_FALSE(quad->VisibilityEnvelop()->Value(9));
    EXPECT_EQ(quad->CurrentPlacement().rightBottom, (Point{63, 63}));
    EXPECT_EQ(quad->ObjectMode(-1), YKObjectLayer::kModeDrawing);

    // Removing it unregisters every envelope.
    std::unique_ptr<YKLayer> removed(user->RemoveChild(quad, false));
    EXPECT_EQ(doc.manager().CountEnvelops(), 1);
}

TEST_F(ObjectLayerTest, FrameSwitchRendersOnlyWhatChanged) {
    QuadLayer* quad = AddQuad();
    doc.GoTo(10);
    quad->MoveBoundingBoxBy({30, 0}, false);  // a position key at 10
    doc.GoTo(1);
    const int32 renders = quad->RenderCount();
    const int32 shifts = quad->ShiftCount();

    doc.GoTo(10);  // the position alone changed
    EXPECT_FALSE(quad->lastForce);
    EXPECT_EQ(quad->RenderCount(), renders);
    EXPECT_EQ(quad->ShiftCount(), shifts + 1);
    EXPECT_EQ(quad->Bitmap()->Frame().left, 70);

    quad->ModifyRotation(0.25);  // now the rotation differs between 1 and 10
    doc.GoTo(1);
    EXPECT_TRUE(quad->lastForce);
    const int32 after = quad->RenderCount();
    doc.GoTo(1);  // nothing changed: nothing happens
    EXPECT_EQ(quad->RenderCount(), after);
}

TEST_F(ObjectLayerTest, OpacityWrapsTheObjectInOneDedicatedParent) {
    QuadLayer* quad = AddQuad();
    quad->ChangeOpacity(255);
    EXPECT_EQ(quad->Parent(), user);
    EXPECT_EQ(quad->DedicatedParent(), nullptr);

    quad->ChangeMergeMethod(YK_SCREEN, nullptr);
    EXPECT_EQ(quad->MergeMethod(), YK_SCREEN);
    quad->ChangeOpacity(128);
    YKCacheLayer* parent = quad->DedicatedParent();
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(parent->Parent(), user);
    EXPECT_EQ(parent->GlobalAlpha(), 128);
    // The method moved to the parent; the object keeps answering it.
    EXPECT_EQ(quad->_MergeMethod(), 0);
    EXPECT_EQ(quad->MergeMethod(), YK_SCREEN);
    EXPECT_EQ(quad->OpacityEnvelop(), nullptr);
    EXPECT_EQ(parent->OpacityEnvelop()->RealOwner(), quad->ID());

    quad->ChangeOpacity(60);
    EXPECT_EQ(quad->DedicatedParent(), parent);
    EXPECT_EQ(user->CountChildren(), 1);
    EXPECT_EQ(parent->GlobalAlpha(), 60);

    // "Filter" without a filter changes nothing.
    quad->ChangeMergeMethod(YK_FILTER, nullptr);
    EXPECT_EQ(parent->MergeMethod(), YK_SCREEN);
}

TEST_F(ObjectLayerTest, LockedObjectIgnoresPlacementEdits) {
    QuadLayer* quad = AddQuad();
    const YKObjectLayer::Placement before = quad->CurrentPlacement();
    quad->Lock(true);
    quad->MoveBoundingBoxBy({5, 5}, true);
    quad->MoveBoundingBoxTo({0, 0});
    quad->ResizeBoundingBoxBy({10, 10});
    quad->ModifyRotation(1.0);
    quad->ModifyBoundingBox({0, 0}, {1, 0}, {1, 1}, {0, 1});
    EXPECT_EQ(quad->CurrentPlacement(), before);
    quad->Lock(false);
    quad->MoveBoundingBoxTo({0, 0});
    EXPECT_EQ(quad->BoundingBox().left, 0.0);
    EXPECT_EQ(quad->BoundingBox().top, 0.0);
}

TEST_F(ObjectLayerTest, ResizeKeepsTheBoxRightSideOut) {
    QuadLayer* quad = AddQuad();  // 20 x 10
    quad->ResizeBoundingBoxBy({-100, -100});
    const YKObjectLayer::Placement p = quad->CurrentPlacement();
    EXPECT_GE(p.rightTop.x - p.leftTop.x, 1.0);
    EXPECT_GE(p.leftBottom.y - p.leftTop.y, 1.0);
}

TEST_F(ObjectLayerTest, PickingByPointAndRectangleFollowsTheTurnedCorners) {
    QuadLayer* quad = AddQuad();  // corners (40, 35) .. (60, 45)
    YKList<YKLayer*> hits;
    quad->MouseRectangle({40, 35, 60, 45}, &hits);
    EXPECT_EQ(hits.CountItems(), 1);
    hits.MakeEmpty();
    quad->MouseRectangle({41, 35, 60, 45}, &hits);
    EXPECT_EQ(hits.CountItems(), 0);
    quad->MousePoint({50, 40}, &hits);
    EXPECT_EQ(hits.CountItems(), 1);
    hits.MakeEmpty();
    quad->MousePoint({70, 40}, &hits);
    EXPECT_EQ(hits.CountItems(), 0);
    // Turned a quarter about its centre, the box stands upright.
    quad->ModifyRotation(std::acos(0.0));
    quad->MousePoint({50, 49}, &hits);
    EXPECT_EQ(hits.CountItems(), 1);
    // An object being drawn is not picked.
    hits.MakeEmpty();
    quad->SetObjectMode(YKObjectLayer::kModeDrawing, true);
    quad->MousePoint({50, 40}, &hits);
    EXPECT_EQ(hits.CountItems(), 0);
}

TEST_F(ObjectLayerTest, OnlyASingleSelectionHasKnobs) {
    QuadLayer* quad = AddQuad();
    QuadLayer* other = AddQuad();
    quad->SetObjectMode(YKObjectLayer::kModeSelected, false);
    YKList<Point> knobs;
    quad->GetKnobTab(&knobs);
    ASSERT_EQ(knobs.CountItems(), 8);
    EXPECT_EQ(knobs.ItemAt(0), (Point{40, 35}));
    EXPECT_EQ(knobs.ItemAt(4), (Point{50, 35}));  // the top edge's midpoint
    other->SetObjectMode(YKObjectLayer::kModeSelected, false);
    knobs.MakeEmpty();
    quad->GetKnobTab(&knobs);
    EXPECT_EQ(knobs.CountItems(), 0);
}

TEST(PointInPolyTest, EvenOddRuleOverTheClosedPolygon) {
    YKList<Point> square;
    for (Point p : {Point{0, 0}, Point{10, 0}, Point{10, 10}, Point{0, 10}}) {
        square.AddItem(p);
    }
    EXPECT_TRUE(YKObjectLayer::PointInPoly({5, 5}, square));
    EXPECT_FALSE(YKObjectLayer::PointInPoly({15, 5}, square));
    EXPECT_FALSE(YKObjectLayer::PointInPoly({-1, 5}, square));
    YKList<Point> empty;
    EXPECT_FALSE(YKObjectLayer::PointInPoly({0, 0}, empty));
}

}  // namespace
