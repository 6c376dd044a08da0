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
