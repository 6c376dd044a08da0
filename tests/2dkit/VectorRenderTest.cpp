// Every kind of vector object drawn in the three display modes, against a reference sheet, and
// reloaded archives and copies that draw the same as their originals.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "VectorTestSupport.h"
#include "YKDash.h"
#include "YKGradientContainer.h"
#include "YKMessage.h"
#include "YKVectorEntityFactory.h"
#include "YKVectorPolyline.h"

namespace {

using Point = YKPoint<double>;
constexpr int32 kCell = 80;

class VectorRenderTest : public ::testing::Test {
protected:
    VectorRenderTest() { YKDash::InitPredefDash(); }

    // Drawn as the tools draw: a press at the first point, then each point moved to and
    // clicked, the pointer resting on the last one.
    std::unique_ptr<YKVectorEntity> Drawn(int32 type, std::vector<Point> points) {
        std::unique_ptr<YKVectorEntity> entity(
            YKVectorEntityFactory::Create(type, points[0], 1, &manager));
        for (size_t i = 1; i < points.size(); ++i) {
            entity->nextPoint(points[i], false);
            if (i + 1 < points.size() || type == YKVectorEntity::kTypePolyline ||
                type == YKVectorEntity::kTypeFreeHand) {
                entity->addPoint(points[i], false);
            }
        }
        EXPECT_NE(entity->endCreationWithTol(1), nullptr) << "type " << type;
        return entity;
    }
    // A path of two cubic pieces, as a document stores it.
    std::unique_ptr<YKVectorEntity> Bezier() {
        const Point points[] = {{8, 60}, {8, 10}, {40, 40}, {30, 70}, {50, 10}, {72, 20}, {72, 70}};
        YKMessage archive;
        archive.AddInt32("object_type", YKVectorEntity::kTypeBezier);
        archive.AddInt32("pt_nbr", 7);
        for (const Point p : points) {
            archive.AddDouble("pt_x", p.x);
            archive.AddDouble("pt_y", p.y);
        }
        archive.AddInt32("seg_nbr", 6);
        for (int32 i = 0; i < 6; ++i) {
            archive.AddInt32("seg_begPt", i);
            archive.AddInt32("seg_endPt", i + 1);
        }
        return std::unique_ptr<YKVectorEntity>(
            YKVectorEntityFactory::Instantiate(&archive, 1, &manager));
    }
    // Each kind once, with a stroke of its own and, where it can have one, a fill.
    std::vector<std::unique_ptr<YKVectorEntity>> AllKinds() {
        std::vector<std::unique_ptr<YKVectorEntity>> kinds;
        kinds.push_back(
            Drawn(YKVectorEntity::kTypePolyline, {{8, 10}, {40, 70}, {72, 12}, {60, 60}}));
        std::vector<Point> wave;
        for (int32 i = 0; i <= 32; ++i) {
            wave.push_back({8 + i * 2.0, 40 + 25 * std::sin(i / 5.0)});
        }
        kinds.push_back(Drawn(YKVectorEntity::kTypeFreeHand, wave));
        for (int32 type : {YKVectorEntity::kTypeRectangle, YKVectorEntity::kTypeRoundRect,
                           YKVectorEntity::kTypeEllipse, YKVectorEntity::kTypeArc}) {
            kinds.push_back(Drawn(type, {{10, 12}, {70, 66}}));
        }
        kinds.push_back(Bezier());
        YKGradientContainer gradient;
        gradient.SetSxSy(0, 0);
        gradient.SetExEy(1, 1);
        for (size_t i = 0; i < kinds.size(); ++i) {
            YKVectorAttributes a;
            kinds[i]->getAttributes(&a);
            a.width = 2 + static_cast<double>(i % 3);
            a.strokeColor = {static_cast<uint8>(40 * i), 40, static_cast<uint8>(200 - 20 * i), 255};
            a.fillColorFlag = i % 2 == 0 ? kColorFlagColor : kColorFlagGradient;
            a.fillColor = {250, 200, 60, 255};
            a.fillGradient = &gradient;
            a.dash = i == 5 ? YKDash::PredefDash(2) : nullptr;
            a.firstCap = 6;
            a.lastCap = 9;
            a.join = 1;
            a.rx = 14;
            a.ry = 10;
            kinds[i]->setAttributes(&a);
        }
        return kinds;
    }

    YKEnvelopManager manager;
};

TEST_F(VectorRenderTest, EveryKindInEveryDisplayMode) {
    auto kinds = AllKinds();
    const int32 columns = static_cast<int32>(kinds.size());
    PixelImage sheet;
    sheet.width = columns * kCell;
    sheet.height = 3 * kCell;
    sheet.pixels.assign(static_cast<size_t>(sheet.width) * sheet.height, 0);
    for (int32 column = 0; column < columns; ++column) {
        for (int32 display = 0; display < 3; ++display) {
            kinds[column]->SetDisplay(display);
            const PixelImage cell = RenderEntity(*kinds[column], {0, 0, kCell - 1, kCell - 1});
            for (int32 y = 0; y < kCell; ++y) {
                for (int32 x = 0; x < kCell; ++x) {
                    sheet.pixels[(display * kCell + y) * sheet.width + column * kCell + x] =
                        cell.pixels[y * kCell + x];
                }
            }
        }
    }
    EXPECT_EQ(CompareWithReference("vector/kinds_by_display", sheet, 1), "");
}

// Loaded from its archive or copied, every kind draws as the original; the copy keeps its own
// state when the original changes.
TEST_F(VectorRenderTest, EveryKindDrawsTheSameAfterItsArchiveAndAsACopy) {
    const YKRect<int32> frame{0, 0, kCell - 1, kCell - 1};
    for (auto& original : AllKinds()) {
        original->setGlobalRotation(0.2, {40, 40});
        original->resetBounds();
        YKMessage archive;
        original->ArchiveIn(&archive);
        std::unique_ptr<YKVectorEntity> loaded(
            YKVectorEntityFactory::Instantiate(&archive, 1, &manager));
        std::unique_ptr<YKVectorEntity> copy(original->copy());
        ASSERT_NE(loaded, nullptr) << "type " << original->Type();
        EXPECT_EQ(std::pair(loaded->Type(), copy->Type()),
                  std::pair(original->Type(), original->Type()));
        const PixelImage drawn = RenderEntity(*original, frame);
        EXPECT_EQ(RenderEntity(*loaded, frame).pixels, drawn.pixels) << "type " << original->Type();
        EXPECT_EQ(RenderEntity(*copy, frame).pixels, drawn.pixels) << "type " << original->Type();
        original->setWidth(9);
        original->rawTranslation({5, 0});
        EXPECT_EQ(RenderEntity(*copy, frame).pixels, drawn.pixels) << "type " << original->Type();
    }
}

}  // namespace
