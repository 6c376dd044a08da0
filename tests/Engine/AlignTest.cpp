// Alignment of selected objects by their bounding boxes.

#include <gtest/gtest.h>

#include <vector>

#include "TestDocument.h"

namespace {

class AlignTest : public testing::Test {
protected:
    AlignTest() : mLayer(mDocument.AddUserLayer()) { mDocument.viewer.SetCurrentUserLayer(mLayer); }

    QuadLayer* Selected(YKRect<double> box) {
        QuadLayer* quad = PutQuad(mLayer, mDocument.host.GetUniqueID(), 0xff0000ff, box);
        quad->SetObjectMode(YKObjectLayer::kModeSelected, true);
        return quad;
    }

    static void ExpectBox(const QuadLayer* quad, YKRect<double> want) {
        const YKRect<double> box = quad->BoundingBox();
        EXPECT_NEAR(box.left, want.left, 1e-9);
        EXPECT_NEAR(box.top, want.top, 1e-9);
        EXPECT_NEAR(box.right, want.right, 1e-9);
        EXPECT_NEAR(box.bottom, want.bottom, 1e-9);
    }

    void Align(int32 action) { mDocument.viewer.AlignObjects(0, action); }

    TestDocument mDocument;
    YKUserLayer* mLayer;
};

TEST_F(AlignTest, EdgesMeetTheUnionsAndAOneObjectUnionChangesNothing) {
    QuadLayer* alone = Selected({10, 10, 30, 40});
    Align(kAlignLeft);
    Align(kCenterAll);
    Align(kEnlargeAll);
    ExpectBox(alone, {10, 10, 30, 40});

    QuadLayer* other = Selected({-20, 50, 0, 60});
    Align(kAlignRight | kAlignBottom);
    ExpectBox(alone, {10, 30, 30, 60});
    ExpectBox(other, {10, 50, 30, 60});
    Align(kAlignLeft | kAlignTop);
    ExpectBox(alone, {10, 30, 30, 60});
    ExpectBox(other, {10, 30, 30, 40});
}

TEST_F(AlignTest, CenterAllPutsEveryCentreOnTheUnionsCentre) {
    QuadLayer* small = Selected({0, 0, 10, 10});
    QuadLayer* large = Selected({50, 20, 150, 80});
    Align(kCenterAll);
    // The union spans 0..150 × 0..80, centred on (75, 40).
    ExpectBox(small, {70, 35, 80, 45});
    ExpectBox(large, {25, 10, 125, 70});
}

TEST_F(AlignTest, EnlargeGivesTheUnionsSizeAtItsCornerAndLockedObjectsOnlyWidenTheUnion) {
    QuadLayer* a = Selected({0, 0, 10, 10});
    QuadLayer* b = Selected({40, 30, 60, 40});
    QuadLayer* locked = Selected({-30, 5, -10, 100});
    locked->Lock(true);
    Align(kEnlargeAll);
    ExpectBox(a, {-30, 0, 60, 100});
    ExpectBox(b, {-30, 0, 60, 100});
    ExpectBox(locked, {-30, 5, -10, 100});

    QuadLayer* c = Selected({200, 200, 210, 220});
    locked->Lock(false);
    locked->SetObjectMode(YKObjectLayer::kModeNotSelected, true);
    Align(kEnlargeHorizontal);
    // Left edges meet and widths match; the heights stay.
    ExpectBox(c, {-30, 200, 210, 220});
    ExpectBox(a, {-30, 0, 210, 100});
}

TEST_F(AlignTest, PackSetsBoxesEdgeToEdgeInTheOrderOfTheirNearEdges) {
    QuadLayer* ten = Selected({50, 5, 60, 15});
    QuadLayer* twenty = Selected({0, 0, 20, 10});
    QuadLayer* thirty = Selected({100, 7, 130, 17});
    QuadLayer* unselected =
        PutQuad(mLayer, mDocument.host.GetUniqueID(), 0xff00ff00, {-50, 0, -40, 9});
    Align(kPackHorizontal);
    ExpectBox(twenty, {0, 0, 20, 10});
    ExpectBox(ten, {20, 5, 30, 15});
    ExpectBox(thirty, {30, 7, 60, 17});
    ExpectBox(unselected, {-50, 0, -40, 9});

    // Vertical packing goes by the tops; the pack bit wins over the others.
    Align(kPackVertical | kAlignRight);
    ExpectBox(twenty, {0, 0, 20, 10});
    ExpectBox(ten, {20, 10, 30, 20});
    ExpectBox(thirty, {30, 20, 60, 30});
}

TEST_F(AlignTest, ObjectsOfOtherUserLayersAreLeftAlone) {
    QuadLayer* here = Selected({0, 0, 10, 10});
    YKUserLayer* elsewhere = mDocument.AddUserLayer();
    QuadLayer* there =
        PutQuad(elsewhere, mDocument.host.GetUniqueID(), 0xff00ff00, {100, 100, 110, 110});
    there->SetObjectMode(YKObjectLayer::kModeSelected, true);
    Align(kAlignLeft | kAlignTop);
    ExpectBox(here, {0, 0, 10, 10});
    ExpectBox(there, {100, 100, 110, 110});
}

}  // namespace
