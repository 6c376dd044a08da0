// Pixelate, emboss and noise against ImageMagick on a photo-like picture.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "ImageMagickPeer.h"
#include "YKEmbossKernel.h"
#include "YKNoiseKernel.h"
#include "YKPixelateKernel.h"

namespace {

class RestyleInteropTest : public ::testing::Test {
protected:
    const KernelImage mOpaque = PhotoLike(240, 160, false);
    const KernelImage mTranslucent = PhotoLike(240, 160, true);
};

}  // namespace

TEST_F(RestyleInteropTest, PixelateIsScalingDownAndUpByTheCellSize) {
    // -scale averages exactly the pixels of each cell (alpha-weighted) when the size divides the
    // picture, and scaling up by a whole factor repeats each pixel; -filter box -resize does not
    // keep to the cells when it does not. IM lands up to a level lower where we round to nearest
    // (ours is exact to rounding: see the unit test), never higher: measured mean 0.19 to 0.41.
    for (const int32 size : {2, 5, 8, 16, 40}) {
        YKPixelateKernel kernel(size);
        const std::string down = std::to_string(240 / size) + "x" + std::to_string(160 / size);
        for (const KernelImage* image : {&mOpaque, &mTranslucent}) {
            const bool alpha = image == &mTranslucent;
            const auto peer = ThroughConvert(*image, "-scale " + down + "! -scale 240x160!", alpha);
            ASSERT_TRUE(peer);
            const ImageDifference d = ComparePremultiplied(Filtered(kernel, *image, 2), *peer);
            EXPECT_LE(d.max, 1) << size << (alpha ? " alpha" : "");
            EXPECT_LE(d.mean, 0.45) << size << (alpha ? " alpha" : "");
        }
    }
}

TEST_F(RestyleInteropTest, EmbossIsItsKernelOnMidGrey) {
    // IM's convolution turns the kernel half a turn, so it gets our weights backwards; its bias
    // adds our 128. Its Q16 sum rounds to 8 bits apart from ours: a level at most.
    for (const auto& [strength, angle] : {std::pair{1.0f, 135.0f}, {2.5f, 20.0f}, {0.4f, 270.0f}}) {
        YKEmbossKernel kernel(strength, angle);
        const auto weights = kernel.Weights();
        std::string matrix = "3x3:";
        for (auto w = weights.rbegin(); w != weights.rend(); ++w) {
            char text[32];
            std::snprintf(text, sizeof text, " %.9g", *w);
            matrix += text;
        }
        const auto peer = ThroughConvert(
            mOpaque, "-bias 50.1960784% -morphology Convolve '" + matrix + "'", false);
        ASSERT_TRUE(peer);
        const ImageDifference d = Compare(Filtered(kernel, mOpaque, 2), *peer);
        EXPECT_LE(d.max, 1) << matrix;
        EXPECT_LE(d.mean, 0.5) << matrix;
    }
}

namespace {

// Mean and standard deviation of the red channel's difference from mid-grey.
std::pair<double, double> NoiseStatistics(const KernelImage& image) {
    double sum = 0, squares = 0;
    for (const uint32 pixel : image.pixels) {
        const double red = double(pixel >> 16 & 0xFF) - 128;
        sum += red;
        squares += red * red;
    }
    const double n = double(image.pixels.size()), mean = sum / n;
    return {mean, std::sqrt(squares / n - mean * mean)};
}

}  // namespace

TEST_F(RestyleInteropTest, UniformNoiseHasImageMagicksStatistics) {
    // IM's uniform noise spans attenuate / 64 of the range: a deviation of attenuate x 255 /
    // (64 sqrt 12) levels, ours in percent. Statistics, not pixels: the draws differ. IM's mean
    // sits half a level low (it truncates to 8 bits), the deviations agree within 3% (measured
    // 2.4% at attenuate 2, where rounding to whole levels weighs, and 0.1% at 8). IM's Gaussian
    // noise grows with the level, ours does not: not compared.
    const KernelImage grey(256, 256, 0xFF808080u);
    for (const double attenuate : {2.0, 8.0}) {
        const float amount = float(100 * attenuate / (64 * std::sqrt(12.0)));
        YKNoiseKernel kernel(amount, YKNoiseKernel::kUniform, false, 5);
        const auto peer = ThroughConvert(
            grey, "-attenuate " + std::to_string(attenuate) + " +noise Uniform", false);
        ASSERT_TRUE(peer);
        const auto [ourMean, ourDeviation] = NoiseStatistics(Filtered(kernel, grey, 2));
        const auto [peerMean, peerDeviation] = NoiseStatistics(*peer);
        EXPECT_NEAR(ourMean, peerMean, 0.7) << attenuate;
        EXPECT_NEAR(ourDeviation, peerDeviation, 0.03 * peerDeviation) << attenuate;
    }
}
