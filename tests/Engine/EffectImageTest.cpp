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
    int32 mask;
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
    quad->SetProcessMask(GetParam().mask);
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

constexpr int32 kWhite = static_cast<int32>(0xFFFFFFFFu);
using L = YKEffectLayer;

const EffectCase kCases[] = {
    {"outer_shadow", L::kOuterShadow, [](L* l) { l->SetOuterShadowParam(4, 4, 4, 256, kBlack); }},
    {"inner_shadow", L::kInnerShadow, [](L* l) { l->SetInnerShadowParam(3, 3, 3, 256, kBlack); }},
    {"outer_glow", L::kOuterGlow, [](L* l) { l->SetOuterGlowParam(6, 512, kYellow); }},
    {"inner_glow", L::kInnerGlow, [](L* l) { l->SetInnerGlowParam(5, 512, kYellow); }},
    {"emboss_over", L::kEmboss, [](L* l) { l->SetEmbossParam(3, 4, 4, 256, kWhite, kBlack, 0); }},
    {"emboss_under", L::kEmboss, [](L* l) { l->SetEmbossParam(3, 4, 4, 256, kWhite, kBlack, 1); }},
    {"emboss_inside", L::kEmboss, [](L* l) { l->SetEmbossParam(3, 4, 4, 256, kWhite, kBlack, 2); }},
    {"outline", L::kOutline, [](L* l) { l->SetOutlineParam(2, kYellow); }},
    {"shadow_glow_outline", L::kOuterShadow | L::kOuterGlow | L::kInnerShadow | L::kOutline,
     [](L* l) {
         l->SetOuterShadowParam(4, 4, 4, 256, kBlack);
         l->SetOuterGlowParam(6, 512, kYellow);
         l->SetInnerShadowParam(3, 3, 3, 256, kBlack);
         l->SetOutlineParam(1, kWhite);
     }},
};

INSTANTIATE_TEST_SUITE_P(Effects, EffectImageTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// With a radius of 1 the blur leaves a mask as it is, so every strength below is exact.
TEST(EffectRulesTest, InnerEffectsScaleByTheContentAlphaBeforeClamping) {
    struct Case {
        EffectCase effect;
        int32 x;
        uint32 alpha;  // on a content of alpha 128
    };
    const Case cases[] = {
        // Mask 0: (255 x 255 x 512) >> 16 = 508, x 128 / 255 = 254.
        {{"inner shadow moved off the content", L::kInnerShadow,
          [](L* l) { l->SetInnerShadowParam(1, 30, 0, 512, kBlack); }},
         40,
         254},
        // Mask 128: (255 x 127 x 1024) >> 16 = 506, x 128 / 255 = 253.
        {{"inner glow", L::kInnerGlow, [](L* l) { l->SetInnerGlowParam(1, 1024, kBlack); }},
         40,
         253},
        // Relief 128 at the left edge: (128 x 255 x 1024) >> 16 = 510, x 128 / 255 = 256.
        {{"emboss inside", L::kEmboss,
          [](L* l) { l->SetEmbossParam(1, 2, 0, 1024, kWhite, kBlack, 2); }},
         30,
         255},
    };
    for (const Case& c : cases) {
        TestDocument doc;
        QuadLayer* quad =
            PutQuad(doc.AddUserLayer(), doc.host.GetUniqueID(), 0x80FF0000u, {30, 20, 50, 40});
        c.effect.setUp(quad);
        quad->SetProcessMask(c.effect.mask);
        quad->SetEffectEnable(true);
        YKBitmap after = quad->AfterEffectBitmap();
        uint32 pixel = 0;
        after.GetLineAt(30, c.x, c.x, false, &pixel);
        EXPECT_EQ(pixel >> 24, c.alpha) << c.effect.name;
    }
}

TEST(EffectRulesTest, EmbossModeThreeAndBlurAloneDrawNothing) {
    TestDocument doc;
    YKUserLayer* user = doc.AddUserLayer();
    auto* quad = new QuadLayer(doc.host.GetUniqueID(), 0xFF2A6FD6u);
    user->AddChild(quad, false);
    quad->SetObjectMode(YKObjectLayer::kModeNotSelected, true);
    quad->SetEmbossParam(3, 4, 4, 256, kWhite, kBlack, 3);
    quad->SetProcessMask(YKEffectLayer::kEmboss | YKEffectLayer::kGaussBlur);
    quad->SetEffectEnable(true);
    EXPECT_TRUE(quad->BeforeEffectBitmap().IsEmpty());
    EXPECT_TRUE(quad->AfterEffectBitmap().IsEmpty());
    quad->SetProcessMask(YKEffectLayer::kGaussBlur);
    EXPECT_EQ(quad->EffectRadius(), 0);
}

}  // namespace
