// The blur kernels against ImageMagick on a photo-like picture, the source padded with its
// edge pixels as ImageMagick's default virtual pixels are.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ImageMagickPeer.h"
#include "YKGaussianBlurKernel.h"
#include "YKMotionBlurKernel.h"
#include "YKUnsharpMaskKernel.h"

namespace {

class BlurInteropTest : public ::testing::Test {
protected:
    const KernelImage mOpaque = PhotoLike(240, 160, false);
    const KernelImage mTranslucent = PhotoLike(240, 160, true);
};

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

TEST_F(BlurInteropTest, GaussianBlur) {
    // IM's Q16 result loses up to a level on its way to 8 bits (its mean sits half a level below
    // ours); four boxes stay within 3 levels of a true Gaussian, 7 below sigma 1 where the boxes
    // are narrower than a pixel.
    for (const float sigma : {0.5f, 1.0f, 2.0f, 3.3f, 8.0f, 20.0f, 40.0f}) {
        YKGaussianBlurKernel kernel(sigma);
        const auto peer = ThroughConvert(mOpaque, "-blur 0x" + std::to_string(sigma), false);
        ASSERT_TRUE(peer);
        const ImageDifference d = Compare(Filtered(kernel, mOpaque, 2), *peer);
        EXPECT_LE(d.max, sigma < 1 ? 8 : 4) << "sigma " << sigma;
        EXPECT_LE(d.mean, 0.65) << "sigma " << sigma;
    }
}

TEST_F(BlurInteropTest, UnsharpMask) {
    // Our mix starts from the 8-bit blur and IM rounds toward the lower level: measured max 2
    // and 3, means about 0.3.
    for (const float amount : {0.7f, 2.0f}) {
        YKUnsharpMaskKernel kernel(2.0f, amount, 0);
        const auto peer =
            ThroughConvert(mOpaque, "-unsharp 0x2+" + std::to_string(amount) + "+0", false);
        ASSERT_TRUE(peer);
        const ImageDifference d = Compare(Filtered(kernel, mOpaque, 2), *peer);
        EXPECT_LE(d.max, 4) << "amount " << amount;
        EXPECT_LE(d.mean, 0.5) << "amount " << amount;
    }
}

TEST_F(BlurInteropTest, MotionBlur) {
    // The same taps and weights as ImageMagick's half Gaussian: only rounding differs (IM's Q16
    // result rounded to 8 bits, and our cut of its tail beyond four sigmas). Colours compare as
    // they show, over their alpha.
    for (const auto& [distance, angle] :
         {std::pair{0.8f, 0.0f}, {3.0f, 30.0f}, {6.0f, 135.0f}, {12.0f, 250.0f}, {25.0f, 90.0f}}) {
        YKMotionBlurKernel kernel(distance, angle);
        // IM turns its angles clockwise.
        const std::string options =
            "-motion-blur 0x" + Number(distance) + "+" + Number(std::fmod(360 - angle, 360));
        for (const KernelImage* image : {&mOpaque, &mTranslucent}) {
            const bool alpha = image == &mTranslucent;
            // IM blurs alpha (and weights colours by it) only when told to.
            const auto peer =
                ThroughConvert(*image, (alpha ? "-channel RGBA " : "") + options, alpha);
            ASSERT_TRUE(peer);
            const ImageDifference d = ComparePremultiplied(Filtered(kernel, *image, 2), *peer);
            EXPECT_LE(d.max, 1) << options << (alpha ? " alpha" : "");
            EXPECT_LE(d.mean, 0.4) << options << (alpha ? " alpha" : "");
        }
    }
}
