// Pixelate, emboss and noise: what each computes, checked against slow, obvious versions or
// the statistics it must have.

#include <gtest/gtest.h>

#include <cmath>

#include "KernelImage.h"
#include "YKEmbossKernel.h"
#include "YKNoiseKernel.h"
#include "YKPixelateKernel.h"

TEST(PixelateKernelTest, EachCellIsTheAlphaWeightedAverageOfWhatItCovers) {
    // Sizes that leave short cells along the right and bottom edges, and one larger than the
    // picture (a single cell); stripes of transparent magenta must not tint any cell.
    const KernelImage image = PhotoLike(53, 38, true, 3);
    for (const int32 size : {1, 3, 7, 16, 60}) {
        YKPixelateKernel kernel(size);
        const KernelImage out = Filtered(kernel, image, 3);
        for (int32 y = 0; y < image.height; ++y) {
            for (int32 x = 0; x < image.width; ++x) {
                double colour[3] = {}, alpha = 0, count = 0;
                for (int32 v = y / size * size; v < std::min(y / size * size + size, image.height);
                     ++v) {
                    for (int32 u = x / size * size;
                         u < std::min(x / size * size + size, image.width); ++u) {
                        const uint32 pixel = image.At(u, v);
                        const double a = pixel >> 24;
                        for (int32 c = 0; c < 3; ++c) {
                            colour[c] += a * ((pixel >> (8 * c)) & 0xFF);
                        }
                        alpha += a;
                        count += 1;
                    }
                }
                const uint32 got = out.At(x, y);
                ASSERT_NEAR(double(got >> 24), alpha / count, 0.5)
                    << size << " at " << x << "," << y;
                for (int32 c = 0; c < 3 && alpha > 0; ++c) {
                    ASSERT_NEAR(double((got >> (8 * c)) & 0xFF), colour[c] / alpha, 0.5)
                        << size << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(EmbossKernelTest, EdgesFacingTheLightBrighten) {
    // A white disc on black, lit from the top left, then from the bottom right: the rim on the
    // lit side brightens, the other darkens, flat ground and the disc's middle stay mid-grey.
    KernelImage image(40, 40, 0xFF000000u);
    for (int32 y = 0; y < 40; ++y) {
        for (int32 x = 0; x < 40; ++x) {
            if ((x - 20) * (x - 20) + (y - 20) * (y - 20) < 100) {
                image.At(x, y) = 0xFFFFFFFFu;
            }
        }
    }
    const auto level = [](const KernelImage& out, int32 x, int32 y) {
        return int32(out.At(x, y) >> 8 & 0xFF);
    };
    for (const float angle : {135.0f, -45.0f}) {
        YKEmbossKernel kernel(1.0f, angle);
        const KernelImage out = Filtered(kernel, image, 1);
        const int32 lit = angle > 0 ? 1 : -1;
        EXPECT_GT(lit * (level(out, 13, 13) - 128), 50) << angle;
        EXPECT_LT(lit * (level(out, 27, 27) - 128), -50) << angle;
        EXPECT_EQ(level(out, 3, 3), 128);
        EXPECT_EQ(level(out, 20, 20), 128);
    }
}

TEST(EmbossKernelTest, TransparentPixelsCountAsTheirAlphaNotTheirColour) {
    // The picture's transparent pixels repainted black: the same relief, and the same alpha.
    const KernelImage image = PhotoLike(60, 50, true, 9);
    KernelImage repainted = image;
    for (uint32& pixel : repainted.pixels) {
        if (pixel >> 24 == 0) {
            pixel = 0;
        }
    }
    YKEmbossKernel kernel(2.0f, 60.0f);
    const KernelImage out = Filtered(kernel, image, 1);
    EXPECT_EQ(Compare(out, Filtered(kernel, repainted, 1)).max, 0);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        ASSERT_EQ(out.pixels[i] >> 24, image.pixels[i] >> 24) << i;
    }
}

TEST(NoiseKernelTest, GaussianGrainHasTheNormalShapeAndTheChosenGrain) {
    // Mid-grey, so that nothing clips: the added noise has zero mean, the standard deviation
    // asked for, the normal distribution's share within one and two deviations; colour grain
    // draws each channel apart, monochrome grain one draw for all; another seed, other noise.
    const KernelImage grey(256, 256, 0xFF808080u);
    const double deviation = 0.08 * 255;
    for (const bool monochrome : {false, true}) {
        YKNoiseKernel kernel(8.0f, YKNoiseKernel::kGaussian, monochrome, 77);
        const KernelImage out = Filtered(kernel, grey, 2);
        double sum = 0, squares = 0, within1 = 0, within2 = 0, cross = 0;
        for (const uint32 pixel : out.pixels) {
            const double red = double(pixel >> 16 & 0xFF) - 128;
            const double green = double(pixel >> 8 & 0xFF) - 128;
            sum += red;
            squares += red * red;
            within1 += std::abs(red) <= deviation;
            within2 += std::abs(red) <= 2 * deviation;
            cross += red * green;
            if (monochrome) {
                ASSERT_EQ(pixel >> 16 & 0xFF, pixel & 0xFF);
            }
        }
        const double n = double(out.pixels.size()), mean = sum / n;
        const double variance = squares / n - mean * mean;
        EXPECT_NEAR(mean, 0, 0.2);
        EXPECT_NEAR(std::sqrt(variance), deviation, 0.02 * deviation);
        EXPECT_NEAR(within1 / n, 0.6827, 0.01);
        EXPECT_NEAR(within2 / n, 0.9545, 0.006);
        EXPECT_NEAR((cross / n) / variance, monochrome ? 1.0 : 0.0, 0.02);

        YKNoiseKernel reseeded(8.0f, YKNoiseKernel::kGaussian, monochrome, 78);
        EXPECT_GT(Compare(out, Filtered(reseeded, grey, 2)).mean, 5);
    }
}
