// The blur kernels' own rules: a true Gaussian's step response, no colour from transparent
// pixels, and the same bytes on any band split.

#include <gtest/gtest.h>

#include <cmath>

#include "KernelImage.h"
#include "YKGaussianBlurKernel.h"

TEST(GaussianBlurKernelTest, StepFollowsTheGaussianOverEachPixel) {
    // A black-white step along x: each output is the Gaussian's distribution function at the
    // distance from the step to the pixel's edge (a Gaussian taken over each pixel's area).
    // Four boxes fall short of the Gaussian's shape below a sigma of 1.
    for (const float sigma : {0.6f, 2.0f, 6.5f, 31.0f}) {
        KernelImage image(160, 3, 0xFF000000u);
        for (int32 y = 0; y < image.height; ++y) {
            for (int32 x = image.width / 2; x < image.width; ++x) {
                image.At(x, y) = 0xFFFFFFFFu;
            }
        }
        YKGaussianBlurKernel kernel(sigma);
        const KernelImage out = Filtered(kernel, image, 1);
        const double spread = std::sqrt(2.0) * sigma;
        for (int32 x = 0; x < image.width; ++x) {
            const double expected = 127.5 * (1 + std::erf((x + 0.5 - image.width / 2) / spread));
            EXPECT_NEAR(double(out.At(x, 1) & 0xFF), expected, sigma < 1 ? 8.0 : 2.5)
                << "sigma " << sigma << " x " << x;
        }
    }
}

TEST(GaussianBlurKernelTest, TransparentColourNeverShows) {
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
    for (const float sigma : {0.5f, 3.0f, 25.0f}) {
        YKGaussianBlurKernel kernel(sigma);
        const KernelImage out = Filtered(kernel, image, 2);
        for (const uint32 pixel : out.pixels) {
            const int32 alpha = int32(pixel >> 24);
            const int32 tolerance = alpha >= 32 ? 1 : alpha > 0 ? 8 : 255;
            EXPECT_NEAR(int32(pixel >> 16 & 0xFF), 0x50, tolerance) << std::hex << pixel;
            EXPECT_NEAR(int32(pixel >> 8 & 0xFF), 0x70, tolerance) << std::hex << pixel;
            EXPECT_NEAR(int32(pixel & 0xFF), 0x90, tolerance) << std::hex << pixel;
        }
    }
}
