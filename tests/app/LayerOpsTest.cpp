#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "PixelAt.h"
#include "QuadLayer.h"
#include "RecordingServices.h"
#include "YKBitmap.h"
#include "YKClipboard.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKLayerFactory.h"
#include "YKObjectLayer.h"
#include "YKRaster.h"
#include "YKUserLayer.h"
#include "YKViewerLayer.h"
#include "yk_composition.h"

namespace {

using Rect = YKRect<int32>;
constexpr Rect kCanvas{-50, -40, 49, 39};
constexpr uint32 kRed = 0x90FF0000u;
constexpr uint32 kBlue = 0x900000FFu;

// What an undo must bring back: the tree's ids in walk order and the view's pixels.
struct State {
    std::vector<int32> ids;
    std::vector<uint32> pixels;
    bool operator==(const State&) const = default;
};

class LayerOpsTest : public testing::Test {
protected:
    void SetUp() override {
        YKLayerFactory::Default().Register(
            QuadLayer::kArchiveClass,
            [](const YKMessage* archive, YKEnvelopManager*) { return new QuadLayer(archive); });
        YKClipboard::Current()->SetEntries(YKClipboard::kVectorClipType, {});
    }
    void TearDown() override { YKLayerFactory::Default().Unregister(QuadLayer::kArchiveClass); }

    std::unique_ptr<YKDocument> NewDocument(yk_color background = yk_color(0, 0, 0, 0)) {
        return std::make_unique<YKDocument>("Ops", kCanvas, background, &services);
    }
    // A 20 x 20 square with its top left corner at (x, y).
    QuadLayer* AddSquare(YKDocument& document, YKLayer* layer, uint32 color, double x, double y) {
        return PutQuad(layer, document.GetUniqueID(), color, {x, y, x + 20, y + 20});
    }
    State Now() {
        State state;
        for (YKLayer* layer = viewer->IterateHirarchyToNext(viewer); layer != nullptr;
             layer = layer->IterateHirarchyToNext(viewer)) {
            state.ids.push_back(layer->ID());
        }
        state.pixels = ImageOf(*std::unique_ptr<YKRaster>(viewer->ExportRaster(0))).pixels;
        return state;
    }
    // Undoes then redoes the last action, which led from `before` to the present.
    void ExpectUndoRedo(const State& before, int line) {
        SCOPED_TRACE(line);
        const State after = Now();
        doc->UndoManager()->UndoLast();
        EXPECT_EQ(Now(), before);
        doc->UndoManager()->RedoLast();
        EXPECT_EQ(Now(), after);
    }

    RecordingServices services;
    std::unique_ptr<YKDocument> doc = NewDocument();
    YKViewerLayer* viewer = doc->ViewerLayer();
    YKUserLayer* first = static_cast<YKUserLayer*>(viewer->ChildAt(0));
};

TEST_F(LayerOpsTest, NewDuplicateAndDeleteLayerUndoToTheSameTreeAndPixels) {
    AddSquare(*doc, first, kRed, -20, -20);
    YKUserLayer* second = viewer->NewLayer(first, 0);
    EXPECT_STREQ(second->Name(), "Layer 2");
    EXPECT_EQ(viewer->IndexOfChild(second), 1);
    EXPECT_EQ(viewer->CurrentUserLayer(), second);
    EXPECT_TRUE(second->IsUserLayerSelected(0));
    EXPECT_FALSE(first->IsUserLayerSelected(0));
    AddSquare(*doc, second, kBlue, -10, -10);

    const State plain = Now();
    YKUserLayer* copy = viewer->DuplicateLayer(second, 0);
    EXPECT_EQ(copy->GetFullName(), "Layer 2 copy");
    ExpectUndoRedo(plain, __LINE__);
    const State once = Now();
    EXPECT_EQ(viewer->DuplicateLayer(second, 0)->GetFullName(), "Layer 2 copy 2");
    ExpectUndoRedo(once, __LINE__);
    const State twice = Now();
    EXPECT_EQ(std::set<int32>(twice.ids.begin(), twice.ids.end()).size(), twice.ids.size());

    EXPECT_TRUE(viewer->DeleteLayer(second, 0));
    EXPECT_EQ(viewer->CurrentUserLayer(), first);
    ExpectUndoRedo(twice, __LINE__);
    const auto single = NewDocument();
    EXPECT_FALSE(single->ViewerLayer()->DeleteLayer(single->ViewerLayer()->ChildAt(0), 0));
}

TEST_F(LayerOpsTest, MovesTakeTheLayerOutBeforeCountingTheGap) {
    YKUserLayer* b = viewer->NewLayer(first, 0);
    YKUserLayer* c = viewer->NewLayer(b, 0);
    const auto order = [this] {
        return std::vector<YKLayer*>{viewer->ChildAt(0), viewer->ChildAt(1), viewer->ChildAt(2)};
    };
    EXPECT_TRUE(viewer->MoveLayer(0, 2));
    EXPECT_EQ(order(), (std::vector<YKLayer*>{b, first, c}));
    EXPECT_TRUE(viewer->MoveLayer(2, 0));
    EXPECT_EQ(order(), (std::vector<YKLayer*>{c, b, first}));
    EXPECT_FALSE(viewer->MoveLayer(3, 0));
    EXPECT_FALSE(viewer->MoveLayer(0, 4));
    EXPECT_EQ(viewer->CurrentUserLayer(), c);

    QuadLayer* red = AddSquare(*doc, c, kRed, 0, 0);
    AddSquare(*doc, c, kBlue, 10, 10);
    const State before = Now();
    EXPECT_TRUE(viewer->MoveObject(c, 1, 0));
    EXPECT_EQ(c->ChildAt(1), red);
    EXPECT_NE(Now().pixels, before.pixels);
}

TEST_F(LayerOpsTest, ObjectOperationsSelectDuplicateAndDeleteAsUndoableActions) {
    QuadLayer* red = AddSquare(*doc, first, kRed, -20, -20);
    QuadLayer* blue = AddSquare(*doc, first, kBlue, 0, 0);
    viewer->SelectAll(0, nullptr);
    EXPECT_EQ(viewer->SelectedObjects(0), (std::vector<YKLayer*>{red, blue}));
    EXPECT_EQ(blue->ObjectMode(1), YKObjectLayer::kModeNotSelected);
    viewer->DeselectAll(0);
    EXPECT_TRUE(viewer->SelectedObjects(0).empty());

    const State plain = Now();
    auto* copy = static_cast<QuadLayer*>(viewer->DuplicateObject(red));
    EXPECT_EQ(first->IndexOfChild(copy), 2);
    EXPECT_EQ(copy->GetFullName(), "quad copy");
    EXPECT_EQ(viewer->SelectedObjects(0), (std::vector<YKLayer*>{copy}));
    ExpectUndoRedo(plain, __LINE__);

    const State duplicated = Now();
    viewer->SelectAll(0, first);
    EXPECT_TRUE(viewer->DeleteSelectedObject(0));
    ExpectUndoRedo(duplicated, __LINE__);
}

TEST_F(LayerOpsTest, PasteFromAnotherDocumentGivesNewIDsAndUndoesAsOneAction) {
    EXPECT_FALSE(viewer->Paste(0, std::nullopt));
    const auto source = NewDocument();
    YKViewerLayer* other = source->ViewerLayer();
    AddSquare(*source, other->ChildAt(0), kRed, 0, 0);
    AddSquare(*source, other->ChildAt(0), kBlue, 30, 0);
    other->SelectAll(0, nullptr);
    ASSERT_TRUE(other->Cut(0));
    EXPECT_EQ(other->ChildAt(0)->CountChildren(), 0);

    AddSquare(*doc, first, kRed, -40, -40);
    const State before = Now();
    ASSERT_TRUE(viewer->Paste(0, YKPoint<double>{-10, 10}));
    const std::vector<YKLayer*> pasted = viewer->SelectedObjects(0);
    ASSERT_EQ(pasted.size(), 2u);
    for (YKLayer* layer : pasted) {
        EXPECT_EQ(std::count(before.ids.begin(), before.ids.end(), layer->ID()), 0);
    }
    const YKRect<double> box = static_cast<YKObjectLayer*>(pasted[0])->BoundingBox() |
                               static_cast<YKObjectLayer*>(pasted[1])->BoundingBox();
    EXPECT_EQ(box, (YKRect<double>{-35, 0, 15, 20}));
    ExpectUndoRedo(before, __LINE__);
}

TEST_F(LayerOpsTest, RenderFrameComposesTheCanvasOverTheBackgroundAndFollowsItsSize) {
    doc = NewDocument(yk_color(255, 255, 255, 255));
    viewer = doc->ViewerLayer();
    AddSquare(*doc, viewer->ChildAt(0), 0xFFFF0000u, -50, -40);
    std::string error;
    EXPECT_EQ(doc->RenderFrame(0, &error), nullptr);
    EXPECT_EQ(error, "Frame 0 is outside 1 to 1");
    std::unique_ptr<YKRaster> raster(doc->RenderFrame(1, &error));
    ASSERT_NE(raster, nullptr);
    EXPECT_EQ(raster->Frame(), kCanvas);
    EXPECT_EQ(PixelAt(*raster, -50, -40), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(*raster, -30, -20), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(*raster, 49, 39), 0xFFFFFFFFu);

    const Rect grown{-60, -40, 59, 39};
    doc->SetFrame(grown, 2);
    EXPECT_EQ(viewer->Bitmap(0)->Frame(), grown);
    raster.reset(doc->RenderFrame(1));
    EXPECT_EQ(raster->Frame(), grown);
}

TEST_F(LayerOpsTest, FlattenAndMergeKeepThePictureAndUndoToWhatTheyReplaced) {
    QuadLayer* square = AddSquare(*doc, first, kRed, -20, -20);
    YKUserLayer* second = viewer->NewLayer(first, 0);
    AddSquare(*doc, second, kBlue, -10, -10);
    YKUserLayer* third = viewer->NewLayer(second, 0);
    AddSquare(*doc, third, kRed, 0, -5);
    const State start = Now();
    const auto lastName = [this] {
        return std::string(doc->UndoManager()->UndoNameAt(doc->UndoManager()->UndoStackSize() - 1));
    };

    YKLayer* flatSquare = viewer->FlattenObject(square);
    EXPECT_TRUE(flatSquare->InheritsFrom("YKBitmapLayer"));
    EXPECT_EQ(first->ChildAt(0), flatSquare);
    EXPECT_EQ(Now().pixels, start.pixels);
    ExpectUndoRedo(start, __LINE__);
    doc->UndoManager()->UndoLast();

    EXPECT_EQ(viewer->FlattenLayerUp(third), nullptr);
    YKUserLayer* flat = viewer->FlattenLayerDown(third);
    EXPECT_STREQ(flat->Name(), "flattened layer");
    EXPECT_EQ(viewer->IndexOfChild(flat), 1);
    EXPECT_EQ(Now().pixels, start.pixels);
    EXPECT_EQ(lastName(), "Flatten Down");
    ExpectUndoRedo(start, __LINE__);
    doc->UndoManager()->UndoLast();

    YKUserLayer* merged = viewer->MergeImage();
    EXPECT_STREQ(merged->Name(), "Layer 1");
    const State mergedState = Now();
    EXPECT_EQ(mergedState.pixels, start.pixels);
    // The same objects, with their ids, in one layer.
    EXPECT_EQ(std::set<int32>(mergedState.ids.begin() + 1, mergedState.ids.end()),
              std::set<int32>({start.ids[1], start.ids[3], start.ids[5]}));
    EXPECT_EQ(lastName(), "Merge Image");
    ExpectUndoRedo(start, __LINE__);
    doc->UndoManager()->UndoLast();

    third->HideUserLayer(0);
    const State hidden = Now();
    EXPECT_STREQ(viewer->FlattenVisible()->Name(), "Flattened Image");
    EXPECT_EQ(viewer->ChildAt(1), third);
    EXPECT_EQ(Now().pixels, hidden.pixels);
    ExpectUndoRedo(hidden, __LINE__);
}

}  // namespace
