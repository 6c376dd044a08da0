// Cropping bitmap objects to the selection: the kept pixels stay in place, and undo and redo
// restore and reapply them.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "RecordingServices.h"
#include "ReferenceImage.h"
#include "YKBitmap.h"
#include "YKBitmapLayer.h"
#include "YKDocument.h"
#include "YKRaster.h"
#include "YKUndoManager.h"
#include "YKUserLayer.h"
#include "YKViewerLayer.h"

namespace {

using Rect = YKRect<int32>;

std::vector<uint32> Shown(YKViewerLayer* viewer) {
    return ImageOf(*std::unique_ptr<YKRaster>(viewer->ExportRaster(0))).pixels;
}

TEST(CropTest, CropKeepsTheSelectedPixelsInPlaceAndUndoesAndRedoes) {
    RecordingServices services;
    YKDocument doc("Crop", {0, 0, 59, 39}, yk_color(0, 0, 0, 0), &services);
    YKViewerLayer* viewer = doc.ViewerLayer();
    // A 20 x 10 image of distinct opaque pixels, shown from (10, 10).
    auto* image = new YKRaster(Rect{0, 0, 19, 9});
    auto* bits = reinterpret_cast<uint32*>(image->Bits());
    for (int32 i = 0; i < 200; ++i) {
        bits[i] = 0xFF000000u | static_cast<uint32>(i * 997);
    }
    auto* layer = new YKBitmapLayer(doc.GetUniqueID(), image, "photo", {10, 10});
    viewer->ChildAt(0)->AddChild(layer, true);
    layer->SetObjectMode(YKObjectLayer::kModeSelected, true);
    const std::vector<uint32> before = Shown(viewer);

    // A selection that misses the image crops nothing.
    viewer->AddSelection(viewer->CreateRectangleSelection({40, 30, 50, 35}).get());
    EXPECT_FALSE(viewer->CropSelectedObject(0));
    EXPECT_EQ(doc.UndoManager()->UndoStackSize(), 0);

    // Columns 15..24 from row 12 down, with column 15 half selected.
    viewer->EraseSelection();
    viewer->AddSelection(viewer->CreateRectangleSelection({15, 12, 24, 30}).get());
    YKBitmap half;
    for (int32 y = 0; y < 40; ++y) {
        half.SetPixelAt(y, 15, 1, 0x80000000u, 17);
    }
    viewer->RemoveSelection(&half);
    ASSERT_TRUE(viewer->CropSelectedObject(0));
    EXPECT_STREQ(doc.UndoManager()->UndoNameAt(0), "Crop photo");
    EXPECT_EQ(layer->Image()->Width(), 10);
    EXPECT_EQ(layer->Image()->Height(), 8);
    const std::vector<uint32> after = Shown(viewer);
    for (int32 y = 0; y < 40; ++y) {
        for (int32 x = 0; x < 60; ++x) {
            const size_t at = static_cast<size_t>(y * 60 + x);
            SCOPED_TRACE(testing::Message() << x << "," << y);
            if (x == 15 && y >= 12 && y < 20) {
                EXPECT_EQ(after[at], (before[at] & 0x00FFFFFFu) | 0x7F000000u);
            } else if (x > 15 && x < 25 && y >= 12) {
                EXPECT_EQ(after[at], before[at]);
            } else {
                EXPECT_EQ(after[at] >> 24, 0u);
            }
        }
    }

    doc.UndoManager()->UndoLast();
    EXPECT_EQ(Shown(viewer), before);
    EXPECT_EQ(layer->Image()->Width(), 20);
    doc.UndoManager()->RedoLast();
    EXPECT_EQ(Shown(viewer), after);
}

}  // namespace
