// Pixelate, emboss and noise against slow, obvious versions of what they compute.

#include <gtest/gtest.h>

#include <cmath>

#include "KernelImage.h"
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
