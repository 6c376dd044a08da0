// Rules every kernel keeps: the same bytes whatever the band split (over a picture with alpha),
// and, for those that mix neighbours, no colour from transparent pixels.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "KernelImage.h"
#include "YKEmbossKernel.h"
#include "YKGaussianBlurKernel.h"
#include "YKMotionBlurKernel.h"
#include "YKPixelateKernel.h"
#include "YKUnsharpMaskKernel.h"

namespace {

struct KernelCase {
    const char* name;
    std::function<std::unique_ptr<YKFilterKernel>()> make;
};

std::string NameOf(const ::testing::TestParamInfo<KernelCase>& info) {
    return info.param.name;
}

// Kernels that mix neighbouring pixels' colours.
const KernelCase kMixing[] = {
    {"GaussianSmall", [] { return std::make_unique<YKGaussianBlurKernel>(0.7f); }},
    {"GaussianWide", [] { return std::make_unique<YKGaussianBlurKernel>(17.0f); }},
    {"Unsharp", [] { return std::make_unique<YKUnsharpMaskKernel>(3.0f, 1.5f, 0.02f); }},
    {"MotionShort", [] { return std::make_unique<YKMotionBlurKernel>(1.2f, 20.0f); }},
    {"MotionLong", [] { return std::make_unique<YKMotionBlurKernel>(9.0f, 200.0f); }},
    {"Pixelate", [] { return std::make_unique<YKPixelateKernel>(6); }},
};

// The others.
const KernelCase kOthers[] = {
    {"MotionNone", [] { return std::make_unique<YKMotionBlurKernel>(0.0f, 0.0f); }},
    {"Emboss", [] { return std::make_unique<YKEmbossKernel>(1.5f, 135.0f); }},
};

class KernelBandTest : public ::testing::TestWithParam<KernelCase> {};
class KernelMixTest : public ::testing::TestWithParam<KernelCase> {};

}  // namespace

TEST_P(KernelBandTest, SameBytesOnAnyBandSplit) {
    const KernelImage image = PhotoLike(131, 77, true, 5);
    const auto kernel = GetParam().make();
    const KernelImage single = Filtered(*kernel, image, 1);
    for (const int32 threads : {2, 3, 8}) {
        const KernelImage banded = Filtered(*kernel, image, threads);
        EXPECT_EQ(Compare(single, banded).max, 0) << threads << " threads";
    }
}

TEST_P(KernelMixTest, TransparentColourNeverShows) {
    // Opaque grey bars between fully transparent magenta ones: wherever anything shows, it is
    // the grey (to rounding, which grows as alpha shrinks).
    KernelImage image(64, 64, 0x00FF00FFu);
    for (int32 y = 0; y < 64; ++y) {
        for (int32 x = 0; x < 64; ++x) {
            if ((x / 8) % 2 == 0) {
                image.At(x, y) = 0xFF507090u;
            }
        }
    }
    const auto kernel = GetParam().make();
    const KernelImage out = Filtered(*kernel, image, 2);
    for (const uint32 pixel : out.pixels) {
        const int32 alpha = int32(pixel >> 24);
        const int32 tolerance = alpha >= 32 ? 1 : alpha > 0 ? 8 : 255;
        EXPECT_NEAR(int32(pixel >> 16 & 0xFF), 0x50, tolerance) << std::hex << pixel;
        EXPECT_NEAR(int32(pixel >> 8 & 0xFF), 0x70, tolerance) << std::hex << pixel;
        EXPECT_NEAR(int32(pixel & 0xFF), 0x90, tolerance) << std::hex << pixel;
    }
}

INSTANTIATE_TEST_SUITE_P(Mixing, KernelBandTest, ::testing::ValuesIn(kMixing), NameOf);
INSTANTIATE_TEST_SUITE_P(Others, KernelBandTest, ::testing::ValuesIn(kOthers), NameOf);
INSTANTIATE_TEST_SUITE_P(Mixing, KernelMixTest, ::testing::ValuesIn(kMixing), NameOf);
