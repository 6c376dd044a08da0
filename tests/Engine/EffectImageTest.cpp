// Each layer effect on a small turned box over mid grey, against reference images under
// tests/data/effects/ (made by this code, looked at once; the blur kernel is computed in single
// precision, so 1 level of tolerance allows for another maths library).

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ReferenceImage.h"
#include "TestDocument.h"
#include "yk_composition.h"

namespace {

constexpr YKRect<int32> kCanvas{0, 0, 79, 59};
constexpr int32 kTolerance = 1;

struct EffectCase {
    const char* name;
    std::function<void(YKEffectLayer*)> setUp;
};

class EffectImageTest : public ::testing::TestWithParam<EffectCase> {};

TEST_P(EffectImageTest, MatchesItsReference) {
    TestDocument doc;
    YKUserLayer* user = doc.AddUserLayer();
    auto* quad = new QuadLayer(doc.host.GetUniqueID(), 0xFF2A6FD6u);
    user->AddChild(quad, false);
    quad->ModifyBoundingBox({-18, -10}, {18, -10}, {18, 10}, {-18, 10});
    quad->MoveBoundingBoxBy({40, 30}, false);
    quad->ModifyRotation(0.3);
    quad->SetObjectMode(YKObjectLayer::kModeNotSelected, true);
    GetParam().setUp(quad);
    quad->SetEffectEnable(true);

    YKBitmap canvas;
    for (int32 y = kCanvas.top; y <= kCanvas.bottom; ++y) {
        canvas.SetPixelAt(y, kCanvas.left, kCanvas.right + 1, 0xFF808080u, YK_COPY);
    }
    quad->ComposeLayer(&canvas, kCanvas);
    const std::string name = std::string("effects/") + GetParam().name;
    EXPECT_EQ(CompareWithReference(name, ImageOf(canvas, kCanvas), kTolerance), "");
}

constexpr int32 kBlack = static_cast<int32>(0xFF000000u);
constexpr int32 kYellow = static_cast<int32>(0xFFFFE040u);

const EffectCase kCases[] = {
    {"outer_shadow",
     [](YKEffectLayer* l) {
         l->SetOuterShadowParam(4, 4, 4, 256, kBlack);
         l->SetProcessMask(YKEffectLayer::kOuterShadow);
     }},
    {"inner_shadow",
     [](YKEffectLayer* l) {
         l->SetInnerShadowParam(3, 3, 3, 256, kBlack);
         l->SetProcessMask(YKEffectLayer::kInnerShadow);
     }},
    {"outer_glow",
     [](YKEffectLayer* l) {
         l->SetOuterGlowParam(6, 512, kYellow);
         l->SetProcessMask(YKEffectLayer::kOuterGlow);
     }},
    {"inner_glow",
     [](YKEffectLayer* l) {
         l->SetInnerGlowParam(5, 512, kYellow);
         l->SetProcessMask(YKEffectLayer::kInnerGlow);
     }},
    {"emboss_over",
     [](YKEffectLayer* l) {
         l->SetEmbossParam(3, 4, 4, 256, static_cast<int32>(0xFFFFFFFFu), kBlack, 0);
         l->SetProcessMask(YKEffectLayer::kEmboss);
     }},
    {"emboss_under",
     [](YKEffectLayer* l) {
         l->SetEmbossParam(3, 4, 4, 256, static_cast<int32>(0xFFFFFFFFu), kBlack, 1);
         l->SetProcessMask(YKEffectLayer::kEmboss);
     }},
    {"emboss_inside",
     [](YKEffectLayer* l) {
         l->SetEmbossParam(3, 4, 4, 256, static_cast<int32>(0xFFFFFFFFu), kBlack, 2);
         l->SetProcessMask(YKEffectLayer::kEmboss);
     }},
    {"outline",
     [](YKEffectLayer* l) {
         l->SetOutlineParam(2, kYellow);
         l->SetProcessMask(YKEffectLayer::kOutline);
     }},
    {"shadow_glow_outline",
     [](YKEffectLayer* l) {
         l->SetOuterShadowParam(4, 4, 4, 256, kBlack);
         l->SetOuterGlowParam(6, 512, kYellow);
         l->SetInnerShadowParam(3, 3, 3, 256, kBlack);
         l->SetOutlineParam(1, static_cast<int32>(0xFFFFFFFFu));
         l->SetProcessMask(YKEffectLayer::kOuterShadow | YKEffectLayer::kOuterGlow |
                           YKEffectLayer::kInnerShadow | YKEffectLayer::kOutline);
     }},
};

INSTANTIATE_TEST_SUITE_P(Effects, EffectImageTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// With a radius of 1 the blur leaves a mask as it is, so every strength below is exact.
TEST(EffectRulesTest, InnerEffectsScaleByTheContentAlphaBeforeClamping) {
    struct Case {
        const char* name;
        std::function<void(YKEffectLayer*)> setUp;
        int32 x;
        uint32 alpha;  // on a content of alpha 128
    };
    const Case cases[] = {
        // Mask 0: (255 x 255 x 512) >> 16 = 508, x 128 / 255 = 254.
        {"inner shadow moved off the content",
         [](YKEffectLayer* l) {
             l->SetInnerShadowParam(1, 30, 0, 512, kBlack);
             l->SetProcessMask(YKEffectLayer::kInnerShadow);
         },
         40, 254},
        // Mask 128: (255 x 127 x 1024) >> 16 = 506, x 128 / 255 = 253.
        {"inner glow",
         [](YKEffectLayer* l) {
             l->SetInnerGlowParam(1, 1024, kBlack);
             l->SetProcessMask(YKEffectLayer::kInnerGlow);
         },
         40, 253},
        // Relief 128 at the left edge: (128 x 255 x 1024) >> 16 = 510, x 128 / 255 = 256.
        {"emboss inside",
         [](YKEffectLayer* l) {
             l->SetEmbossParam(1, 2, 0, 1024, static_cast<int32>(0xFFFFFFFFu), kBlack, 2);
             l->SetProcessMask(YKEffectLayer::kEmboss);
         },
         30, 255},
    };
    for (const Case& c : cases) {
        TestDocument doc;
        QuadLayer* quad =
            PutQuad(doc.AddUserLayer(), doc.host.GetUniqueID(), 0x80FF0000u, {30, 20, 50, 40});
        c.setUp(quad);
        quad->SetEffectEnable(true);
        YKBitmap after = quad->AfterEffectBitmap();
        uint32 pixel = 0;
        after.GetLineAt(30, c.x, c.x, false, &pixel);
        EXPECT_EQ(pixel >> 24, c.alpha) << c.name;
    }
}

TEST(EffectRulesTest, EmbossModeThreeAndBlurAloneDrawNothing) {
    TestDocument doc;
    YKUserLayer* user = doc.AddUserLayer();
    auto* quad = new QuadLayer(doc.host.GetUniqueID(), 0xFF2A6FD6u);
    user->AddChild(quad, false);
    quad->SetObjectMode(YKObjectLayer::kModeNotSelected, true);
    quad->SetEmbossParam(3, 4, 4, 256, static_cast<int32>(0xFFFFFFFFu), kBlack, 3);
    quad->SetProcessMask(YKEffectLayer::kEmboss | YKEffectLayer::kGaussBlur);
    quad->SetEffectEnable(true);
    EXPECT_TRUE(quad->BeforeEffectBitmap().IsEmpty());
    EXPECT_TRUE(quad->AfterEffectBitmap().IsEmpty());
    quad->SetProcessMask(YKEffectLayer::kGaussBlur);
    EXPECT_EQ(quad->EffectRadius(), 0);
}

}  // namespace
