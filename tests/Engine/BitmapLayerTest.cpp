#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numbers>
#include <vector>

#include "ReferenceImage.h"
#include "TestDocument.h"
#include "YKBitmapLayer.h"
#include "YKLayerFactory.h"

namespace {

constexpr double kDegree = std::numbers::pi / 180;

// Opaque pixels that differ from each other, tagged by `tag` in the red channel.
YKRaster* MakeImage(int32 width, int32 height, uint32 tag) {
    auto* image = new YKRaster(YKRect<int32>{0, 0, width - 1, height - 1});
    auto* bits = reinterpret_cast<uint32*>(image->Bits());
    for (int32 i = 0; i < width * height; ++i) {
        bits[i] = 0xFF000000u | tag << 16 | ((i * 2654435761u) >> 16 & 0xFFFF);
    }
    return image;
}

class BitmapLayerTest : public ::testing::Test {
protected:
    template <typename... Args>
    YKBitmapLayer* Add(Args... args) {
        auto* layer = new YKBitmapLayer(doc.host.GetUniqueID(), args...);
        user->AddChild(layer, false);
        return layer;
    }
    // What the layer composes over its frame into an empty destination.
    static std::vector<uint32> Composed(YKLayer* layer) {
        YKBitmap destination;
        layer->ComposeLayer(&destination, layer->Frame());
        return ImageOf(destination, layer->Frame()).pixels;
    }

    TestDocument doc;
    YKUserLayer* user = doc.AddUserLayer();
};

TEST_F(BitmapLayerTest, StillImageIsShownUnscaledAndAPureMoveOnlyShiftsIt) {
    YKRaster* image = MakeImage(10, 6, 1);
    YKBitmapLayer* layer = Add(image, "still", YKPoint<double>{20, 30});
    const std::vector<uint32> original = ImageOf(*image).pixels;
    EXPECT_EQ(layer->Frame(), (YKRect<int32>{20, 30, 29, 35}));
    EXPECT_EQ(Composed(layer), original);

    // New pixels in the image show only when it is rendered again: a move reuses the rendering.
    std::fill_n(reinterpret_cast<uint32*>(image->Bits()), 60, 0xFF00FF00u);
    layer->MoveBoundingBoxBy({5, 7}, false);
    EXPECT_EQ(layer->Frame(), (YKRect<int32>{25, 37, 34, 42}));
    EXPECT_EQ(Composed(layer), original);

    layer->SetInterpolation(false);
    layer->ResizeBoundingBoxBy({8, 0});
    EXPECT_EQ(layer->Frame(), (YKRect<int32>{21, 37, 38, 42}));
    EXPECT_EQ(Composed(layer), std::vector<uint32>(18 * 6, 0xFF00FF00u));

    // Placements no image can have leave nothing to show instead of a huge allocation.
    layer->ModifyBoundingBox({-20000, -20000}, {20000, -20000}, {20000, 20000}, {-20000, 20000});
    EXPECT_FALSE(layer->Bitmap()->Frame().IsValid());
    layer->MoveBoundingBoxBy({1e300, 0}, false);
    EXPECT_FALSE(layer->Bitmap()->Frame().IsValid());
}

TEST_F(BitmapLayerTest, RotationIsUsedInWholeDegreesAndKeepsTheImageInsideItsCorners) {
    const auto turned = [this](double degrees) {
        YKBitmapLayer* layer = Add(MakeImage(40, 20, 2), "turned", YKPoint<double>{100, 100});
        layer->ModifyRotation(degrees * kDegree);
        return layer;
    };
    YKBitmapLayer* straight = turned(0);
    YKBitmapLayer* almost = turned(0.3);
    YKBitmapLayer* rounded = turned(0.6);
    YKBitmapLayer* one = turned(1);
    EXPECT_EQ(almost->Frame(), straight->Frame());
    EXPECT_EQ(Composed(almost), Composed(straight));
    EXPECT_NE(rounded->Frame(), straight->Frame());
    EXPECT_EQ(rounded->Frame(), one->Frame());
    EXPECT_EQ(Composed(rounded), Composed(one));

    // Turned one way or the other, the opaque pixels must lie in the object's own corners.
    YKBitmapLayer* steep = turned(30);
    const YKRect<int32> frame = steep->Frame();
    const std::vector<uint32> pixels = Composed(steep);
    int32 opaque = 0;
    int32 inside = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const double x = frame.left + int32(i % (frame.Width() + 1)) + 0.5;
        const double y = frame.top + int32(i / (frame.Width() + 1)) + 0.5;
        opaque += pixels[i] >> 24 == 255 ? 1 : 0;
        inside += pixels[i] >> 24 == 255 && steep->GetKnob({x, y}) == 1 ? 1 : 0;
    }
    EXPECT_GT(opaque, 500);
    EXPECT_GT(inside, opaque * 95 / 100);
}

TEST_F(BitmapLayerTest, SequenceAddedAtFrame3Of4ShowsOneImagePerFrameUpTo12) {
    doc.manager().SetMaxFrame(4, false);
    doc.GoTo(3);
    auto* images = new YKRasterList();
    for (uint32 i = 0; i < 10; ++i) {
        images->AddItem(MakeImage(8, 8, i));
    }
    YKBitmapLayer* layer = Add(images, "sequence", YKPoint<double>{0, 0});
    EXPECT_EQ(doc.manager().MaxFrame(), 12);
    YKEnvelopInt32* animation = layer->AnimationEnvelop();
    EXPECT_EQ(animation->Value(3), 0);
    EXPECT_EQ(animation->Value(7), 4);
    EXPECT_EQ(animation->Value(12), 9);
    EXPECT_EQ(Composed(layer), ImageOf(*images->ItemAt(0)).pixels);

    doc.GoTo(12);
    EXPECT_EQ(layer->CurrentIndex(), 9);
    EXPECT_EQ(Composed(layer), ImageOf(*images->ItemAt(9)).pixels);
    animation->SetValue(2, 5);
    doc.GoTo(5);
    EXPECT_EQ(Composed(layer), ImageOf(*images->ItemAt(2)).pixels);

    YKMessage set('sOPT');
    set.AddBool("_interpolation", false);
    layer->MessageReceived(&set);
    YKMessage ask('gOPT');
    layer->MessageReceived(&ask);
    int32 count = 0;
    bool interpolation = true;
    EXPECT_TRUE(ask.FindInt32("_count_images", &count) && count == 10);
    EXPECT_TRUE(ask.FindBool("_interpolation", &interpolation) && !interpolation);
    EXPECT_NE(std::find(doc.host.codes.begin(), doc.host.codes.end(), 'lUTN'),
              doc.host.codes.end());
}

TEST_F(BitmapLayerTest, ArchivesRebuildTheSamePixelsThroughTheFactory) {
    YKBitmapLayer* still = Add(MakeImage(12, 7, 3), "still", YKPoint<double>{5, 5});
    still->ModifyRotation(20 * kDegree);
    doc.GoTo(2);
    auto* images = new YKRasterList();
    for (uint32 i = 0; i < 3; ++i) {
        images->AddItem(MakeImage(6, 4, i));
    }
    YKBitmapLayer* sequence = Add(images, "sequence", YKPoint<double>{40, 0});
    doc.GoTo(3);
    for (YKBitmapLayer* layer : {still, sequence}) {
        YKMessage archive;
        layer->Archive(&archive, false);
        YKLayer* built = YKLayerFactory::Default().Build(&archive, &doc.manager());
        ASSERT_TRUE(built != nullptr && built->InheritsFrom("YKBitmapLayer"));
        user->AddChild(built, false);
        EXPECT_EQ(built->Frame(), layer->Frame());
        EXPECT_EQ(Composed(built), Composed(layer));
    }
    std::unique_ptr<YKLayer> copy(sequence->Replicate());
    EXPECT_EQ(static_cast<YKBitmapLayer*>(copy.get())->AnimationEnvelop()->Value(4), 2);
}

TEST_F(BitmapLayerTest, OlderRawImagesLoadAndBadImagesAreLeftOut) {
    std::unique_ptr<YKRaster> image(MakeImage(4, 3, 5));
    YKMessage archive;
    archive.AddString("Class", "YKBitmapLayer");
    archive.AddInt32("YKBL:Width", 4);
    archive.AddInt32("YKBL:Height", 3);
    archive.AddInt32("YKBL:Interpolation", 0);  // the wrong type: the default stays
    archive.AddData("YKBL:Raster", YK_RAW_TYPE, image->Bits(), 48);
    archive.AddData("YKBL:Raster", YK_RAW_TYPE, image->Bits(), 47);  // too short
    const YKMessage none;
    archive.AddMessage("YKBL:Animation", &none);  // the older key marks a sequence
    YKMessage huge;                               // a frame its few bytes cannot pay for
    huge.AddRect("YKRaster::_frame", {0, 0, 30000, 30000});
    huge.AddData("YKRaster::_data", YK_RAW_TYPE, image->Bits(), 48);
    archive.AddMessage("YKBL:RasterArchive", &huge);
    auto* old = new YKBitmapLayer(&archive);
    EXPECT_TRUE(old->Interpolation());
    ASSERT_TRUE(old->RasterList() != nullptr && old->CountImages() == 1);
    EXPECT_EQ(ImageOf(*old->Image()).pixels, ImageOf(*image).pixels);
    user->AddChild(old, false);
    EXPECT_TRUE(old->Bitmap()->Frame().IsValid());

    // A huge declared size and an empty sequence give layers without image.
    YKMessage oversized;
    oversized.AddString("Class", "YKBitmapLayer");
    oversized.AddInt32("YKBL:Width", 1 << 20);
    oversized.AddInt32("YKBL:Height", 1 << 20);
    oversized.AddData("YKBL:Raster", YK_RAW_TYPE, image->Bits(), 48);
    for (YKBitmapLayer* empty : {new YKBitmapLayer(&oversized),
                                 new YKBitmapLayer(7, new YKRasterList(), "none", {0, 0})}) {
        user->AddChild(empty, false);
        EXPECT_FALSE(empty->IsValid());
        EXPECT_FALSE(empty->Frame().IsValid());
    }
}

TEST_F(BitmapLayerTest, CopiedBitmapStaysInPlaceAndCanBecomeASequence) {
    YKBitmap source;
    for (int32 y = 50; y < 58; ++y) {
        source.SetPixelAt(y, 100, 16, 0xFF336699u + static_cast<uint32>(y), YK_COPY);
    }
    YKBitmapLayer* layer = Add(&source, "copy");
    EXPECT_EQ(layer->Frame(), source.Frame());
    EXPECT_EQ(Composed(layer), ImageOf(source, source.Frame()).pixels);

    // Given images later, the still becomes a sequence keyed from the current frame.
    auto* images = new YKRasterList();
    images->AddItem(MakeImage(3, 3, 7));
    images->AddItem(MakeImage(3, 3, 8));
    layer->SetRasterList(images);
    EXPECT_EQ(layer->CountImages(), 2);
    EXPECT_EQ(layer->AnimationEnvelop()->Value(2), 1);
}

}  // namespace
