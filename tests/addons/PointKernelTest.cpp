// The rules every point operation keeps (the same rows whatever the band split, in place or
// not; alpha untouched), parameters that must give the input back, out-of-range parameters
// clamped, and what full desaturation means.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "PointTestImage.h"
#include "YKBrightnessContrastKernel.h"
#include "YKColorizeKernel.h"
#include "YKDesaturateKernel.h"
#include "YKHueSaturationKernel.h"
#include "YKInvertKernel.h"
#include "YKKernelRunner.h"
#include "YKNoiseKernel.h"
#include "YKPosterizeKernel.h"

namespace {

Pixels Apply(const MakeKernel& make, Pixels pixels, int32 width, int32 threads = 2) {
    Pixels out(pixels.size());
    const int32 height = static_cast<int32>(pixels.size()) / width;
    const auto kernel = make();
    YKKernelRunner::Run(*kernel, {pixels.data(), width, height, width},
                        {out.data(), width, height, width}, threads);
    return out;
}

// One colour in sixteen, spread over the whole cube by an odd multiplier (so none repeats):
// 1024 x 1024 pixels.
Pixels ManyColours() {
    Pixels pixels(1 << 20);
    for (uint32 i = 0; i < pixels.size(); ++i) {
        pixels[i] = 0xFF000000u | ((i * 2654435761u) & 0xFFFFFFu);
    }
    return pixels;
}

struct KernelCase {
    std::string name;
    MakeKernel make;
};

// Parameters away from identity, so that each kernel really changes the picture.
std::vector<KernelCase> Kernels() {
    return {
        {"Invert", Make<YKInvertKernel>()},
        {"Desaturate", Make<YKDesaturateKernel>(70.0)},
        {"BrightnessContrast", Make<YKBrightnessContrastKernel>(-20.0, 45.0)},
        {"Posterize", Make<YKPosterizeKernel>(5)},
        {"HueSaturation", Make<YKHueSaturationKernel>(120.0, 140.0, -75.0)},
        {"Colorize", Make<YKColorizeKernel>(yk_color(40, 160, 220), 80.0)},
        {"Noise", Make<YKNoiseKernel>(20.0f, YKNoiseKernel::kGaussian, false, 3u)},
    };
}

class PointKernelTest : public ::testing::TestWithParam<KernelCase> {};

TEST_P(PointKernelTest, SameRowsOnAnyBandSplitAndInPlace) {
    PointTestImage image(97, 61, true);
    const Pixels once = Apply(GetParam().make, image.pixels, image.width, 1);
    ASSERT_NE(once, image.pixels);
    for (const int32 threads : {2, 3, 8}) {
        EXPECT_EQ(Apply(GetParam().make, image.pixels, image.width, threads), once) << threads;
    }
    const auto kernel = GetParam().make();
    YKKernelRunner::Run(*kernel, image.Plane(), image.Plane(), 3);
    EXPECT_EQ(image.pixels, once);
}

TEST_P(PointKernelTest, AlphaStaysAsItWas) {
    PointTestImage image(64, 64, true);
    const Pixels out = Apply(GetParam().make, image.pixels, image.width);
    for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_EQ(out[i] >> 24, image.pixels[i] >> 24) << "pixel " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, PointKernelTest, ::testing::ValuesIn(Kernels()),
                         [](const auto& info) { return info.param.name; });

TEST(PointKernelParametersTest, NeutralParametersGiveEveryColourBack) {
    const Pixels all = ManyColours();
    const KernelCase neutral[] = {
        {"brightness/contrast 0, 0", Make<YKBrightnessContrastKernel>(0.0, 0.0)},
        {"hue/saturation 100 %, 100 %, 0", Make<YKHueSaturationKernel>(100.0, 100.0, 0.0)},
        {"desaturate 0", Make<YKDesaturateKernel>(0.0)},
        {"colourise at 0", Make<YKColorizeKernel>(yk_color(255, 0, 0), 0.0)},
    };
    for (const KernelCase& kernel : neutral) {
        EXPECT_EQ(Apply(kernel.make, all, 1024), all) << kernel.name;
    }
    EXPECT_EQ(Apply(Make<YKInvertKernel>(), Apply(Make<YKInvertKernel>(), all, 1024), 1024), all);
}

TEST(PointKernelParametersTest, OutOfRangeParametersAreClamped) {
    const PointTestImage image(64, 48, false);
    const std::pair<MakeKernel, MakeKernel> pairs[] = {
        {Make<YKPosterizeKernel>(-3), Make<YKPosterizeKernel>(2)},
        {Make<YKPosterizeKernel>(1000), Make<YKPosterizeKernel>(255)},
        {Make<YKBrightnessContrastKernel>(-500.0, 300.0),
         Make<YKBrightnessContrastKernel>(-100.0, 100.0)},
        {Make<YKHueSaturationKernel>(-5.0, 900.0, 720.0),
         Make<YKHueSaturationKernel>(0.0, 200.0, 180.0)},
        {Make<YKHueSaturationKernel>(1e9, -1.0, -1e9),
         Make<YKHueSaturationKernel>(200.0, 0.0, -180.0)},
        {Make<YKDesaturateKernel>(150.0), Make<YKDesaturateKernel>(100.0)},
        {Make<YKColorizeKernel>(yk_color(9, 99, 199), -20.0), Make<YKDesaturateKernel>(0.0)},
    };
    for (size_t i = 0; i < std::size(pairs); ++i) {
        EXPECT_EQ(Apply(pairs[i].first, image.pixels, image.width),
                  Apply(pairs[i].second, image.pixels, image.width))
            << "pair " << i;
    }
}

// Full desaturation is the grey of the luma, and colourising with a grey is the same thing.
TEST(PointKernelParametersTest, DesaturateGivesTheLumaGrey) {
    const PointTestImage image(80, 60, false);
    const Pixels grey = Apply(Make<YKDesaturateKernel>(100.0), image.pixels, image.width);
    for (size_t i = 0; i < grey.size(); ++i) {
        const uint32 luma = static_cast<uint32>(YKLumaTintKernel::Luma(image.pixels[i]));
        ASSERT_EQ(grey[i], 0xFF000000u | luma * 0x010101u) << "pixel " << i;
    }
    EXPECT_EQ(Apply(Make<YKColorizeKernel>(yk_color(90, 90, 90), 100.0), image.pixels, 80), grey);
    EXPECT_EQ(YKLumaTintKernel::Luma(0xFFFFFFFFu), 255);
    EXPECT_EQ(YKLumaTintKernel::Luma(0x00FF0000u), 76);  // 0.299 * 255 = 76.2
}

}  // namespace
