// The Gaussian blur's own rule: a true Gaussian's step response.

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
