// Archives of vector objects: every attribute survives a round trip (fields and pixels), and
// hostile archives are refused or repaired.

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "VectorTestSupport.h"
#include "YKBitmapRoster.h"
#include "YKDash.h"
#include "YKEnvelopKinds.h"
#include "YKGradientContainer.h"
#include "YKMessage.h"
#include "YKRaster.h"
#include "YKVectorEntityFactory.h"
#include "YKVectorFreeHand.h"
#include "YKVectorPolyline.h"
#include "YKVectorRectangle.h"

namespace {

using Point = YKPoint<double>;

std::unique_ptr<YKVectorEntity> Reload(const YKVectorEntity& entity, YKEnvelopManager* manager) {
    YKMessage archive;
    entity.ArchiveIn(&archive);
    return std::unique_ptr<YKVectorEntity>(
        YKVectorEntityFactory::Instantiate(&archive, entity.ID(), manager));
}

class VectorArchiveTest : public ::testing::Test {
protected:
    VectorArchiveTest() { YKDash::InitPredefDash(); }

    // A checkered 4 x 4 pattern held by the roster under `name`.
    static void HoldPattern(const char* name) {
        auto raster = std::make_unique<YKRaster>(YKRect<int32>{0, 0, 3, 3});
        auto* pixels = reinterpret_cast<uint32*>(raster->Bits());
        for (int32 y = 0; y < 4; ++y) {
            for (int32 x = 0; x < 4; ++x) {
                pixels[y * raster->BytesPerRow() / 4 + x] =
                    (x + y) % 2 != 0 ? 0xFF2040C0u : 0xFFF0E010u;
            }
        }
        YKBitmapRoster::Default().AddBitmap(std::move(raster), name);
    }

    // A polyline with every attribute set away from its default, animated between frames 1
    // and 10.
    std::unique_ptr<YKVectorPolyline> Decorated() {
        auto line = std::make_unique<YKVectorPolyline>(Point{10, 10}, 21, &manager);
        for (const Point p : {Point{70, 14}, Point{60, 60}, Point{14, 50}, Point{14, 50}}) {
            line->nextPoint(p, false);
            line->addPoint(p, false);
        }
        line->endCreationWithTol(1);
        YKGradientContainer gradient;
        gradient.SetGradientType(GRADIENT_RADIAL);
        gradient.SetSxSy(0.5, 0.5);
        gradient.SetExEy(1, 0.5);
        line->setFillAndColor({0, 0, 0, 255}, kColorFlagGradient, &gradient, 0, false, "");
        line->setStrokeAndColor({200, 30, 40, 255}, kColorFlagColor, nullptr, 0, false, "");
        line->setWidth(3);
        line->setDash(YKDash::PredefDash(3));
        line->setCapJoin(6, 9, 2);
        line->setMiterLimit(7);
        line->setGlobalRotation(0.3, {40, 35});
        line->resetBounds();
        line->Stroke()->width->SetValue(9.0, 10);
        line->Stroke()->color->SetValue(yk_color{0, 90, 200, 255}, 10);
        return line;
    }

    YKEnvelopManager manager;
};

TEST_F(VectorArchiveTest, EveryAttributeSurvivesARoundTrip) {
    auto line = Decorated();
    auto loaded = Reload(*line, &manager);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(
        std::tuple(loaded->Type(), loaded->Angle(), loaded->pointList(),
                   loaded->segmentList().size()),
        std::tuple(line->Type(), line->Angle(), line->pointList(), line->segmentList().size()));
    YKVectorAttributes a;
    YKVectorAttributes b;
    line->getAttributes(&a);
    loaded->getAttributes(&b);
    EXPECT_EQ(std::tie(b.width, b.strokeColor, b.fillColorFlag, b.firstCap, b.lastCap, b.join,
                       b.miterLimit),
              std::tie(a.width, a.strokeColor, a.fillColorFlag, a.firstCap, a.lastCap, a.join,
                       a.miterLimit));
    ASSERT_TRUE(b.fillGradient != nullptr && b.dash != nullptr);
    EXPECT_EQ(*b.fillGradient, *a.fillGradient);
    EXPECT_EQ(*b.dash, *YKDash::PredefDash(3));
    // The key frames came along: the loaded object draws the same on both frames.
    for (int32 frame : {1, 10}) {
        manager.SetCurrentFrame(frame);
        EXPECT_EQ(RenderEntity(*loaded, {0, 0, 90, 90}).pixels,
                  RenderEntity(*line, {0, 0, 90, 90}).pixels)
            << "frame " << frame;
    }
    const PixelImage last = RenderEntity(*line, {0, 0, 90, 90});
    manager.SetCurrentFrame(1);
    EXPECT_NE(RenderEntity(*line, {0, 0, 90, 90}).pixels, last.pixels);
}

TEST_F(VectorArchiveTest, PatternsTravelWithTheObjectAndCopiesDrawTheSame) {
    HoldPattern("archive-test-tile");
    auto rect = std::make_unique<YKVectorRectangle>(Point{5, 5}, 4, &manager);
    rect->nextPoint({40, 30}, false);
    rect->endCreationWithTol(1);
    rect->setFillAndColor({0, 0, 0, 255}, kColorFlagPattern, nullptr, 255, true,
                          "archive-test-tile");
    const PixelImage drawn = RenderEntity(*rect, {0, 0, 50, 50});
    YKBitmapRoster::Default().ResetForArchiving();
    YKMessage archive;
    rect->ArchiveIn(&archive);
    ASSERT_TRUE(archive.HasMessage("fill_pattern_buffer"));
    // Loaded where the roster no longer holds the pattern, the archived one is used.
    ASSERT_TRUE(YKBitmapRoster::Default().DeleteBitmap("archive-test-tile"));
    std::unique_ptr<YKVectorEntity> loaded(
        YKVectorEntityFactory::Instantiate(&archive, 4, &manager));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(RenderEntity(*loaded, {0, 0, 50, 50}).pixels, drawn.pixels);
    // The copy holds the pattern too: it outlives the object that brought it in.
    std::unique_ptr<YKVectorEntity> copy(loaded->copy());
    loaded.reset();
    EXPECT_EQ(RenderEntity(*copy, {0, 0, 50, 50}).pixels, drawn.pixels);
    copy.reset();
    EXPECT_EQ(YKBitmapRoster::Default().Bitmap("archive-test-tile"), nullptr);
}

TEST_F(VectorArchiveTest, UnfillableObjectsKeepNoFill) {
    auto open = Draw(&manager, {{0, 0}, {20, 0}, {20, 20}}, 1);
    ASSERT_NE(open, nullptr);
    YKMessage archive;
    open->ArchiveIn(&archive);
    EXPECT_FALSE(archive.HasMessage("fill_color"));
    auto loaded = Reload(*open, &manager);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->FillColorEnvelop(), nullptr);
}

TEST_F(VectorArchiveTest, ACustomDashIsKept) {
    auto line = Decorated();
    YKList<double> tab;
    tab.AddItem(7);
    tab.AddItem(2);
    const YKDash custom(&tab);
    line->setDash(&custom);
    auto loaded = Reload(*line, &manager);
    ASSERT_NE(loaded, nullptr);
    ASSERT_NE(loaded->Stroke()->dash, nullptr);
    EXPECT_EQ(*loaded->Stroke()->dash, custom);
}

TEST_F(VectorArchiveTest, HostileArchivesAreRefusedOrRepaired) {
    auto line = Decorated();
    YKMessage good;
    line->ArchiveIn(&good);

    const auto build = [&](YKMessage archive) {
        return std::unique_ptr<YKVectorEntity>(
            YKVectorEntityFactory::Instantiate(&archive, 5, &manager));
    };
    YKMessage unknown = good;
    unknown.ReplaceInt32("object_type", 5);
    EXPECT_EQ(build(unknown), nullptr);
    YKMessage untyped = good;
    untyped.RemoveName("object_type");
    EXPECT_EQ(build(untyped), nullptr);
    YKMessage outside = good;
    outside.ReplaceInt32("seg_endPt", 1, 4000);
    EXPECT_EQ(build(outside), nullptr);
    YKMessage negative = good;
    negative.ReplaceInt32("seg_begPt", 0, -1);
    EXPECT_EQ(build(negative), nullptr);
    // Counts larger than what the message holds read what is there.
    YKMessage inflated = good;
    inflated.ReplaceInt32("pt_nbr", 1 << 30);
    inflated.ReplaceInt32("seg_nbr", 1 << 30);
    auto repaired = build(inflated);
    ASSERT_NE(repaired, nullptr);
    EXPECT_EQ(repaired->pointList().size(), line->pointList().size());
    // Envelopes that are missing or hold no key frame get their defaults.
    YKMessage bare = good;
    bare.RemoveName("seg_width");
    bare.RemoveName("seg_color");
    const YKMessage empty;
    bare.ReplaceMessage("fill_color", &empty);
    auto defaulted = build(bare);
    ASSERT_NE(defaulted, nullptr);
    EXPECT_EQ(defaulted->StrokeWidth(), 0);
    EXPECT_EQ(defaulted->FillColorEnvelop()->Value().red, 255);
    EXPECT_GT(CoveredPixels(RenderEntity(*defaulted, {0, 0, 90, 90})), 0);
}

}  // namespace
