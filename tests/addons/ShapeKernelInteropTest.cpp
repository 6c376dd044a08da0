// Motion blur, pixelate, emboss and noise against ImageMagick on a photo-like picture, the source
// padded with its edge pixels as ImageMagick's default virtual pixels are.

#include <gtest/gtest.h>

#include <string>

#include "ImageMagickPeer.h"
#include "YKMotionBlurKernel.h"

namespace {

class ShapeKernelInteropTest : public ::testing::Test {
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

TEST_F(ShapeKernelInteropTest, MotionBlur) {
    // The same taps and weights as ImageMagick's half Gaussian: only rounding differs (IM's Q16
    // result rounded to 8 bits, and our cut of its tail beyond four sigmas). Colours compare as
    // they show, over their alpha.
    for (const auto& [distance, angle] :
         {std::pair{0.8f, 0.0f}, {3.0f, 30.0f}, {6.0f, 135.0f}, {12.0f, 250.0f}, {25.0f, 90.0f}}) {
        YKMotionBlurKernel kernel(distance, angle);
        const std::string options = "-motion-blur 0x" + Number(distance) + "+" + Number(angle);
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
