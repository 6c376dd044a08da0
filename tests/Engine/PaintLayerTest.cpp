#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "ReferenceImage.h"
#include "TestDocument.h"
#include "YKLayerFactory.h"
#include "YKPaintLayer.h"
#include "YKRaster.h"

namespace {

std::vector<uint32> Pixels(YKLayer* layer, YKRect<int32> rect) {
    YKBitmap destination;
    layer->ComposeLayer(&destination, rect);
    return ImageOf(destination, rect).pixels;
}

class PaintLayerTest : public ::testing::Test {
protected:
    YKPaintLayer* AddPaint() {
        auto* paint = new YKPaintLayer(doc.host.GetUniqueID(), "paint");
        paint->Renderer().SetHardness(0.5);
        paint->Renderer().CreatePencil(9);
        user->AddChild(paint, false);
        return paint;
    }
    // The layer's pixel at (x, y).
    static uint32 PixelAt(YKPaintLayer* paint, int32 x, int32 y) {
        return Pixels(paint, {x, y, x, y})[0];
    }

    TestDocument doc;
    YKUserLayer* user = doc.AddUserLayer();
};

TEST_F(PaintLayerTest, MousePaintingProgramPointsRedrawAndArchiveGiveTheSamePixels) {
    YKPaintLayer* painted = AddPaint();
    painted->MouseDown({10.2, 10.4}, 1, 1, 7);
    painted->MouseHold({10.4, 9.6}, 1, 7);  // the same whole point: no new stroke point
    painted->MouseHold({20, 14}, 1, 7);
    painted->MouseHold({30.6, 12}, 1, 7);
    painted->MouseHold({std::nan(""), 12}, 1, 7);  // paints nothing
    ASSERT_EQ(painted->StrokePoints().CountItems(), 3);
    const YKRect<int32> frame = painted->Frame();
    EXPECT_EQ(frame, (YKRect<int32>{6, 6, 36, 19}));
    const std::vector<uint32> pixels = Pixels(painted, frame);

    // The brush's red, opaque where dabs pile up, along the whole stroke and nowhere else.
    for (const YKPoint<int32> at : {YKPoint<int32>{10, 10}, {15, 12}, {25, 13}, {31, 12}}) {
        const uint32 pixel = PixelAt(painted, at.x, at.y);
        EXPECT_EQ(pixel & 0x00FFFFFFu, 0x00FF0000u) << at.x;
        EXPECT_GT(pixel >> 24, 200u) << at.x;
    }
    EXPECT_EQ(PixelAt(painted, 30, 6), 0u);

    YKPaintLayer* program = AddPaint();
    for (const YKPoint<double> point : {YKPoint<double>{10, 10}, {20, 14}, {31, 12}}) {
        EXPECT_TRUE(program->AddStrokePoint(point));
    }
    program->Redraw();
    EXPECT_EQ(Pixels(program, frame), pixels);
    painted->Redraw();
    EXPECT_EQ(Pixels(painted, frame), pixels);

    // The release ends the creation and puts the corners around the strokes; painting stops.
    EXPECT_TRUE(painted->MouseUp({30.6, 12}, 7));
    EXPECT_EQ(painted->ObjectMode(-1), YKObjectLayer::kModeNotSelected);
    EXPECT_TRUE(painted->IsValid());
    EXPECT_EQ(painted->CurrentPlacement().leftTop, (YKPoint<double>{4.5, 4.5}));
    EXPECT_FALSE(painted->MouseHold({50, 50}, 1, 7));
    EXPECT_EQ(Pixels(painted, frame), pixels);

    YKMessage archive;
    painted->Archive(&archive, false);
    YKLayer* loaded = YKLayerFactory::Default().Build(&archive, &doc.manager());
    ASSERT_NE(loaded, nullptr);
    user->AddChild(loaded, false);
    EXPECT_EQ(Pixels(loaded, frame), pixels);

    // A move by whole units shifts the strokes unchanged.
    painted->MoveBoundingBoxBy({5, -3}, false);
    YKRect<int32> moved = frame;
    moved.OffsetBy(5, -3);
    EXPECT_EQ(painted->Frame(), moved);
    EXPECT_EQ(Pixels(painted, moved), pixels);

    // The brush travels in the attribute messages; a new one paints the strokes again.
    YKMessage ask('gOPT');
    YKMessage brush;
    painted->MessageReceived(&ask);
    ASSERT_TRUE(ask.FindMessage("_brush", &brush));
    YKPencilBrushRenderer blue(&brush);
    blue.SetColor(yk_color(0, 0, 255));
    YKMessage set('sOPT');
    brush.MakeEmpty();
    blue.Archive(&brush);
    set.AddMessage("_brush", &brush);
    painted->MessageReceived(&set);
    EXPECT_EQ(PixelAt(painted, 25, 10) & 0x00FFFFFFu, 0x000000FFu);
    EXPECT_NE(std::find(doc.host.codes.begin(), doc.host.codes.end(), 'lUTN'),
              doc.host.codes.end());
}

TEST_F(PaintLayerTest, BadArchivesLoadWhatIsUsableAndPaintWithTheDefaultBrush) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    YKMessage archive;
    archive.AddString("Class", "YKPaintLayer");
    archive.AddInt32("YKPL:Render", 3);  // the wrong type: the default brush
    for (const YKPoint<double> point : {YKPoint<double>{4, 4}, {nan, 2}, {1e12, 0}, {9, 4}}) {
        archive.AddPoint("YKPL:Point", point);
    }
    auto* loaded = new YKPaintLayer(&archive);
    ASSERT_EQ(loaded->StrokePoints().CountItems(), 2);
    EXPECT_EQ(loaded->StrokePoints().ItemAt(1), (YKPoint<double>{9, 4}));
    user->AddChild(loaded, false);
    EXPECT_EQ(PixelAt(loaded, 6, 4) & 0x00FFFFFFu, 0x00FF0000u);
}

}  // namespace
