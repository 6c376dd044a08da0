#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "RecordingRootLayer.h"
#include "YKEffectLayer.h"
#include "YKMessage.h"

namespace {

using Map = std::vector<uint8>;
constexpr int32 kBlack = YKEffectLayer::kOpaqueBlack;
constexpr int32 kWhite = YKEffectLayer::kOpaqueWhite;
// Map sizes for the differential tests: single pixels, single rows and columns, wider maps.
const std::vector<std::pair<int32, int32>> kSizes = {{1, 1}, {1, 23}, {31, 1}, {7, 5}, {40, 17}};

Map RandomMap(int32 width, int32 height, std::mt19937* random, int32 zeroPercent) {
    Map map(static_cast<std::size_t>(width) * height);
    for (uint8& v : map) {
        v = static_cast<int32>((*random)() % 100) < zeroPercent ? 0 : (*random)() % 256;
    }
    return map;
}

// One blurred value: the kernel centred on `pos`, weights that fall off the line left out.
uint8 SlowSmooth(const std::function<int32(int32)>& at, int32 length, int32 pos,
                 const YKEffectLayer& layer) {
    const int32 half = layer.KernelLength() / 2;
    int64 weights = 0;
    int64 values = 0;
    for (int32 j = -half; j <= half; ++j) {
        if (pos + j >= 0 && pos + j < length) {
            weights += layer.Kernel()[j + half];
            values += layer.Kernel()[j + half] * at(pos + j);
        }
    }
    return static_cast<uint8>(values != 0 ? values / weights : 0);
}

Map SlowBlur(const Map& map, int32 width, int32 height, const YKEffectLayer& layer) {
    Map rows(map.size());
    Map out(map.size());
    for (int32 y = 0; y < height; ++y) {
        for (int32 x = 0; x < width; ++x) {
            rows[y * width + x] =
                SlowSmooth([&](int32 p) { return map[y * width + p]; }, width, x, layer);
        }
    }
    for (int32 y = 0; y < height; ++y) {
        for (int32 x = 0; x < width; ++x) {
            out[y * width + x] =
                SlowSmooth([&](int32 p) { return rows[p * width + x]; }, height, y, layer);
        }
    }
    return out;
}

Map SlowOutline(const Map& map, int32 width, int32 height, int32 r) {
    Map out(map.size(), 0);
    for (int32 y = 0; y < height; ++y) {
        for (int32 x = 0; x < width; ++x) {
            const uint8 v = map[y * width + x];
            for (int32 yy = std::max(0, y - r); v > 0 && yy <= std::min(height - 1, y + r); ++yy) {
                for (int32 xx = std::max(0, x - r); xx <= std::min(width - 1, x + r); ++xx) {
                    uint8& o = out[yy * width + xx];
                    o = static_cast<uint8>(std::min(255, o + v));
                }
            }
        }
    }
    return out;
}

TEST(EffectLayerTest, ArchiveRoundTripsEveryField) {
    YKEffectLayer layer(12);
    YKMessage archive;
    // Every field changed, then through a flattened archive and back.
    layer.SetGaussBlurParam(1.5f);
    layer.SetOuterShadowParam(5.5f, -6, 7, 300, 0x11223344);
    layer.SetInnerShadowParam(2.25f, 8, -9, 128, 0x55667788);
    layer.SetOuterGlowParam(3.75f, 640, 0x01020304);
    layer.SetInnerGlowParam(9.0f, 100, kBlack);
    layer.SetEmbossParam(7.5f, 10, -11, 200, 0x0A0B0C0D, 0x0E0F1011, 2);
    layer.SetOutlineParam(5, 0x7F00FF00);
    layer.SetProcessMask(YKEffectLayer::kOuterShadow | YKEffectLayer::kEmboss);
    layer.SetEffectEnable(true);
    layer.Archive(&archive, false);
    YKMessage flat;
    const std::string bytes = archive.Flatten();
    ASSERT_TRUE(flat.Unflatten(bytes.data(), static_cast<ssize_t>(bytes.size())));
    YKEffectLayer copy(&flat);
    YKMessage again;
    copy.Archive(&again, false);
    EXPECT_EQ(again.Flatten(), bytes);
    EXPECT_EQ(copy.EffectRadius(), 8 + 11);  // the emboss reaches furthest
    EXPECT_EQ(std::tuple(copy.OuterShadowOffsetX(), copy.InnerShadowOffsetY(), copy.OuterGlowBlur(),
                         copy.EmbossLowColor(), copy.EmbossType(), copy.OutlineRadius()),
              std::tuple(-6, -9, 3.75f, 0x0E0F1011, 2, 5));
}

TEST(EffectLayerTest, PartialArchiveKeepsDefaultsAndIgnoresWrongTypes) {
    YKMessage archive;
    archive.AddInt32("_pr_flags", YKEffectLayer::kOuterShadow | YKEffectLayer::kOuterGlow);
    archive.AddFloat("_os_radius", 9.5f);
    archive.AddInt32("_og_radius", 40);    // not a float: ignored
    archive.AddFloat("_ou_radius", 8.0f);  // not an int32: ignored
    archive.AddBool("_is_effect_enabled", true);
    YKEffectLayer layer(&archive);
    EXPECT_EQ(std::tuple(layer.OuterShadowBlur(), layer.OuterShadowOffsetX(), layer.OuterGlowBlur(),
                         layer.OutlineRadius(), layer.EmbossHighColor(), layer.EffectRadius()),
              std::tuple(9.5f, 4, 6.0f, 2, kWhite, 10 + 4));
}

TEST(EffectLayerTest, TotalRadiusOverFlagCombinations) {
    YKEffectLayer layer(1);
    layer.SetProcessMask(YKEffectLayer::kOuterShadow);
    EXPECT_EQ(layer.EffectRadius(), 0);  // effects are off
    layer.SetEffectEnable(true);
    EXPECT_EQ(layer.EffectRadius(), 8);
    layer.SetOuterShadowParam(2.1f, -1, -5, 256, kBlack);
    EXPECT_EQ(layer.EffectRadius(), 3 + 5);

    layer.SetProcessMask(YKEffectLayer::kInnerGlow | YKEffectLayer::kEmboss);
    layer.SetInnerGlowParam(40.2f, 256, kWhite);
    EXPECT_EQ(layer.EffectRadius(), 41);
    layer.SetEmbossParam(-3.0f, std::numeric_limits<int32>::min(), 0, 256, kWhite, kBlack, 0);
    EXPECT_EQ(layer.EffectRadius(), std::numeric_limits<int32>::max());
}

TEST(EffectLayerTest, FiltersOffAndOnSwitchEffectsAndInvalidate) {
    RecordingRootLayer parent;
    auto* layer = new YKEffectLayer(2);
    parent.AddChild(layer, false);
    EXPECT_FALSE(layer->SetFiltersOn());  // no process flags
    EXPECT_FALSE(layer->SetFiltersOff(true));
    layer->SetProcessMask(YKEffectLayer::kOuterGlow);
    EXPECT_TRUE(layer->SetFiltersOn());
    EXPECT_TRUE(layer->IsEffectEnabled());
    EXPECT_EQ(layer->EffectRadius(), 6);
    EXPECT_TRUE(layer->SetFiltersOff(true));
    EXPECT_FALSE(layer->IsEffectEnabled());
    EXPECT_EQ(layer->EffectRadius(), 0);
    ASSERT_EQ(parent.invalidations.size(), 2u);
    EXPECT_TRUE(parent.invalidations[1].flag);
    EXPECT_EQ(parent.invalidations[1].source, layer);
}

TEST(EffectLayerTest, KernelIsACosineWindowComputedOncePerDiameter) {
    YKEffectLayer layer(1);
    layer.SetRadius(2.9f);
    ASSERT_EQ(layer.KernelLength(), 5);
    EXPECT_EQ(layer.Radius(), 2.0f);
    EXPECT_EQ(std::vector<uint8>(layer.Kernel(), layer.Kernel() + 5),
              (std::vector<uint8>{0, 180, 255, 180, 0}));

    for (float r : {0.5f, 1.0f, 4.0f, 17.3f, 255.0f, 1000.0f}) {
        layer.SetRadius(r);
        const int32 n = layer.KernelLength();
        ASSERT_EQ(n, 2 * std::min(255, static_cast<int32>(r)) + 1) << r;
        const uint8* k = layer.Kernel();
        EXPECT_EQ(k[n / 2], 255) << r;
        for (int32 i = 0; i < n / 2; ++i) {
            EXPECT_EQ(k[i], k[n - 1 - i]) << r;
            EXPECT_LE(k[i], k[i + 1]) << r;
        }
        if (n > 1) {
            EXPECT_EQ(k[0], 0) << r;
        }
    }

    layer.SetRadius(4.0f);
    const_cast<uint8*>(layer.Kernel())[3] = 7;
    layer.SetRadius(4.6f);  // the same diameter: the kernel is not recomputed
    EXPECT_EQ(layer.Kernel()[3], 7);
    layer.SetRadius(5.0f);
    layer.SetRadius(4.0f);
    EXPECT_NE(layer.Kernel()[3], 7);
}

// Runs of random length, mostly 0 or 255 as in the masks of shapes, some of any value.
Map RunMap(int32 width, int32 height, std::mt19937* random) {
    Map map(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < map.size();) {
        const std::size_t run = 1 + (*random)() % 90;
        const uint32 kind = (*random)() % 4;
        const uint8 value = kind == 0 ? 0 : kind == 1 ? 255 : static_cast<uint8>((*random)());
        for (std::size_t j = 0; j < run && i < map.size(); ++j, ++i) {
            map[i] = value;
        }
    }
    return map;
}

TEST(EffectLayerTest, Blur8MatchesTheDirectSumsAndKeepsConstantsAtEdges) {
    std::mt19937 random(5);
    std::vector<std::pair<int32, int32>> sizes = kSizes;
    sizes.insert(sizes.end(), {{300, 6}, {4, 270}, {600, 2}});
    for (float r : {0.0f, 1.0f, 2.5f, 6.0f, 30.0f, 64.0f, 131.0f, 255.0f}) {
        YKEffectLayer layer(1);
        layer.SetRadius(r);
        for (auto [w, h] : sizes) {
            for (const Map& map : {RandomMap(w, h, &random, 50), RunMap(w, h, &random)}) {
                Map blurred = map;
                layer.Blur8(blurred.data(), w, h);
                EXPECT_EQ(blurred, SlowBlur(map, w, h, layer)) << w << "x" << h << " r " << r;
            }
            Map constant(static_cast<std::size_t>(w) * h, 200);
            layer.Blur8(constant.data(), w, h);
            EXPECT_EQ(constant, Map(constant.size(), 200)) << w << "x" << h << " r " << r;
        }
    }
}

TEST(EffectLayerTest, OutlineMatchesTheSaturatingSquareSpread) {
    std::mt19937 random(9);
    for (int32 r : {0, 1, 3, 50}) {
        YKEffectLayer layer(1);
        layer.SetOutlineParam(r, kBlack);
        for (auto [w, h] : kSizes) {
            const Map map = RandomMap(w, h, &random, 85);
            Map spread = map;
            layer.Outline(spread.data(), w, h);
            EXPECT_EQ(spread, SlowOutline(map, w, h, r)) << w << "x" << h << " r " << r;
        }
    }
}

TEST(EffectLayerTest, MapOperationsIgnoreEmptySizesAndMissingKernels) {
    YKEffectLayer layer(1);
    Map map = {10, 20, 30, 40};
    layer.Blur8(map.data(), 2, 2);  // no radius set yet
    layer.SetRadius(3.0f);
    for (auto [w, h] : {std::pair(0, 4), std::pair(4, -1), std::pair(-2, 2)}) {
        layer.Blur8(map.data(), w, h);
        layer.Outline(map.data(), w, h);
    }
    layer.Blur8(nullptr, 2, 2);
    layer.Outline(nullptr, 2, 2);
    EXPECT_EQ(map, (Map{10, 20, 30, 40}));
}

}  // namespace
