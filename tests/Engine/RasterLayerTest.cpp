// The vector-object layer: rendering its object, placement, frames, effects and archives.

#include <gtest/gtest.h>

#include <memory>

#include "PixelAt.h"
#include "ReferenceImage.h"
#include "TestDocument.h"
#include "YKEnvelopKinds.h"
#include "YKLayerFactory.h"
#include "YKRasterLayer.h"
#include "YKVectorPolyline.h"
#include "YKVectorRectangle.h"
#include "YKVectorText.h"
#include "yk_font_match.h"

namespace {

using Point = YKPoint<double>;

class RasterLayerTest : public ::testing::Test {
protected:
    // A filled red rectangle from (10, 10) to (50, 30) with a 2-unit blue stroke.
    YKRasterLayer* AddRectangle() {
        const int32 id = doc.host.GetUniqueID();
        auto* rect = new YKVectorRectangle({10, 10}, id, &doc.manager());
        rect->nextPoint({50, 30}, false);
        rect->endCreationWithTol(1);
        rect->setFillAndColor({255, 0, 0, 255}, kColorFlagColor, nullptr, 0, false, "");
        rect->setStrokeAndColor({0, 0, 255, 255}, kColorFlagColor, nullptr, 0, false, "");
        rect->setWidth(2);
        auto* layer = new YKRasterLayer(id, "rect", YKRasterLayer::kRectangle);
        layer->SetEntity(rect);
        user->AddChild(layer, false);
        layer->EndCreation();
        return layer;
    }
    // "Layer" at (10, 40) in the fallback face, 12 units high.
    YKRasterLayer* AddText() {
        const int32 id = doc.host.GetUniqueID();
        auto* text = new YKVectorText({10, 40}, id, &doc.manager());
        YKVectorAttributes a;
        text->getAttributes(&a);
        a.fontDescription = yk_fallback_font_path() + " DejaVu Sans Book";
        text->setAttributes(&a);
        text->setString("Layer");
        EXPECT_EQ(text->endTextEdit(), text);
        auto* layer = new YKRasterLayer(id, "text", YKRasterLayer::kText);
        layer->SetEntity(text);
        user->AddChild(layer, false);
        layer->EndCreation();
        return layer;
    }
    PixelImage Composed(YKRect<int32> rect = {0, 0, 99, 69}) {
        YKBitmap target;
        for (int32 i = 0; i < user->CountChildren(); ++i) {
            user->ChildAt(i)->ComposeLayer(&target, rect);
        }
        return ImageOf(target, rect);
    }

    TestDocument doc;
    YKUserLayer* user = doc.AddUserLayer();
};

TEST_F(RasterLayerTest, RendersItsObjectAndTakesItsBoxAsPlacement) {
    YKRasterLayer* layer = AddRectangle();
    const PixelImage image = Composed();
    EXPECT_EQ(PixelAt(image, 30, 20), 0xFFFF0000u);  // fill
    EXPECT_EQ(PixelAt(image, 30, 10), 0xFF0000FFu);  // stroke on the top side
    EXPECT_EQ(PixelAt(image, 70, 20) >> 24, 0u);
    const YKObjectLayer::Placement placement = layer->CurrentPlacement();
    EXPECT_EQ(placement.position, (Point{10, 10}));
    EXPECT_EQ(placement.rightBottom, (Point{40, 20}));
    EXPECT_STREQ(layer->Type(), "Rectangle");
    EXPECT_STREQ(YKRasterLayer(1, "x", 12).Type(), "None");
}

TEST_F(RasterLayerTest, AMoveShiftsTheRenderingAndAResizeRedrawsIt) {
    YKRasterLayer* layer = AddRectangle();
    const PixelImage before = Composed();
    layer->MoveBoundingBoxBy({20, 5}, false);
    const PixelImage moved = Composed();
    EXPECT_EQ(PixelAt(moved, 50, 25), PixelAt(before, 30, 20));
    EXPECT_EQ(PixelAt(moved, 50, 15), PixelAt(before, 30, 10));
    EXPECT_EQ(layer->Entity()->pointList()[0], (Point{30, 15}));
    // Doubling the width redraws a wider rectangle with the same stroke.
    layer->ModifyBoundingBox({0, 0}, {80, 0}, {80, 20}, {0, 20});
    YKRect<double> box;
    layer->Entity()->getBox(&box);
    EXPECT_EQ(box.Width(), 80);
    EXPECT_EQ(PixelAt(Composed(), 95, 25), 0xFFFF0000u);
}

TEST_F(RasterLayerTest, KeyFramedColourAndPositionFollowTheFrame) {
    YKRasterLayer* layer = AddRectangle();
    layer->Entity()->FillColorEnvelop()->SetValue(yk_color{0, 255, 0, 255}, 11);
    layer->PositionEnvelop()->SetValue(Point{40, 30}, 11);
    doc.GoTo(11);
    EXPECT_EQ(PixelAt(Composed(), 60, 40), 0xFF00FF00u);
    EXPECT_EQ(PixelAt(Composed(), 20, 20) >> 24, 0u);
    doc.GoTo(1);
    EXPECT_EQ(PixelAt(Composed(), 20, 20), 0xFFFF0000u);
}

TEST_F(RasterLayerTest, EffectsWaitForTheEndOfTheDrawing) {
    const int32 id = doc.host.GetUniqueID();
    auto* line = new YKVectorPolyline({10, 10}, id, &doc.manager());
    line->nextPoint({60, 40}, false);
    line->setWidth(4);
    auto* layer = new YKRasterLayer(id, "line", YKRasterLayer::kLine);
    layer->SetOuterShadowParam(2, 3, 3, 256, YKEffectLayer::kOpaqueBlack);
    layer->SetProcessMask(YKEffectLayer::kOuterShadow);
    layer->SetEffectEnable(true);
    layer->SetEntity(line);
    user->AddChild(layer, false);
    EXPECT_FALSE(layer->BeforeEffectBitmap().Frame().IsValid());
    layer->EndCreation();
    EXPECT_TRUE(layer->BeforeEffectBitmap().Frame().IsValid());
}

TEST_F(RasterLayerTest, ArchivesRebuildTheSameLayerOrNoObject) {
    AddRectangle();
    const PixelImage image = Composed();
    YKMessage archive;
    user->ChildAt(0)->Archive(&archive, true);
    const char* className = nullptr;
    ASSERT_TRUE(archive.FindString("Class", &className));
    EXPECT_STREQ(className, "Rectangle") << "the rectangle tool's name, which the loader knows";
    user->RemoveChild(0, false);
    // (the removed layer is deleted below through the replacement)
    YKLayer* rebuilt = YKLayerFactory::Default().Build(&archive, &doc.manager());
    ASSERT_NE(rebuilt, nullptr);
    user->AddChild(rebuilt, false);
    EXPECT_EQ(Composed().pixels, image.pixels);

    // Files written so far name the object's class instead.
    archive.ReplaceString("Class", "YKVectorRectangle");
    std::unique_ptr<YKLayer> older(YKLayerFactory::Default().Build(&archive, &doc.manager()));
    ASSERT_NE(older, nullptr);
    EXPECT_TRUE(static_cast<YKRasterLayer*>(older.get())->IsValid());
    EXPECT_STREQ(static_cast<YKRasterLayer*>(older.get())->Type(), "Rectangle");

    archive.RemoveName("object_type");
    std::unique_ptr<YKLayer> empty(YKLayerFactory::Default().Build(&archive, &doc.manager()));
    ASSERT_NE(empty, nullptr);
    EXPECT_FALSE(static_cast<YKRasterLayer*>(empty.get())->IsValid());
}

TEST_F(RasterLayerTest, ATextLayerRendersAndReloads) {
    YKRasterLayer* layer = AddText();
    const PixelImage image = Composed();
    int32 inked = 0;
    for (uint32 pixel : image.pixels) {
        inked += (pixel >> 24) != 0 ? 1 : 0;
    }
    EXPECT_GT(inked, 50);

    YKMessage archive;
    layer->Archive(&archive, true);
    user->RemoveChild(0, false);
    // (the removed layer is deleted below through the replacement)
    YKLayer* rebuilt = YKLayerFactory::Default().Build(&archive, &doc.manager());
    ASSERT_NE(rebuilt, nullptr);
    ASSERT_TRUE(static_cast<YKRasterLayer*>(rebuilt)->IsValid());
    user->AddChild(rebuilt, false);
    EXPECT_EQ(Composed().pixels, image.pixels);
    YKMessage again;
    rebuilt->Archive(&again, true);
    const char* saved = nullptr;
    ASSERT_TRUE(again.FindString("text_buffer", &saved));
    EXPECT_STREQ(saved, "Layer");
}

// The box at another frame is no reason to scale a text: its sizes are key-framed values, and a
// switch that fitted them to the box would write its rounding back into them.
TEST_F(RasterLayerTest, FrameSwitchesLeaveATextsKeyFramedSizesAlone) {
    YKRasterLayer* layer = AddText();
    auto* text = static_cast<YKVectorText*>(layer->Entity());
    YKEnvelopDouble* size = text->textAttributes().sizeH.get();
    size->SetValue(24.0, 11);
    layer->PositionEnvelop()->SetValue(Point{40, 30}, 11);
    for (const int32 frame : {11, 1, 11, 1}) {
        doc.GoTo(frame);
    }
    EXPECT_EQ(size->CountKeyFrames(), 2);
    EXPECT_EQ(size->Value(1), 12.0);
    EXPECT_EQ(size->Value(11), 24.0);
    YKRect<double> small;
    text->getBox(&small);
    doc.GoTo(11);
    YKRect<double> large;
    text->getBox(&large);
    EXPECT_NEAR(large.Width(), 2 * small.Width(), 1);
}

}  // namespace
