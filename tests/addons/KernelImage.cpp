// Test pictures for the kernels.

#include "KernelImage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "YKKernelRunner.h"

namespace {

uint32 Pack(int32 r, int32 g, int32 b, int32 a) {
    const auto clamp = [](int32 v) { return uint32(std::clamp(v, 0, 255)); };
    return clamp(a) << 24 | clamp(r) << 16 | clamp(g) << 8 | clamp(b);
}

}  // namespace

KernelImage PhotoLike(int32 width, int32 height, bool withAlpha, uint32 seed) {
    KernelImage image(width, height);
    uint32 state = seed * 2654435761u + 1;
    const auto noise = [&state] {
        state = state * 1664525u + 1013904223u;
        return int32(state >> 28) - 8;
    };
    for (int32 y = 0; y < height; ++y) {
        for (int32 x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            int32 r = int32(255 * u), g = int32(255 * v),
                  b = int32(128 + 100 * std::sin(9 * u + 5 * v));
            int32 a = 255;
            const double dx = u - 0.35, dy = v - 0.45;
            if (dx * dx + dy * dy < 0.04) {  // a bright disc
                r = 250, g = 240, b = 40;
            }
            if (x % 97 < 9 || (y / 7) % 11 == 3) {  // thin dark bars, both ways
                r /= 4, g /= 4, b /= 3;
            }
            if (x > width * 2 / 3 && y > height / 2 && ((x / 6) + (y / 6)) % 2 == 0) {  // checks
                r = g = b = 255;
            }
            r += noise(), g += noise(), b += noise();
            if (withAlpha) {
                a = std::clamp(int32(400 * u * v - 30), 0, 255);
                if (x < width / 5) {
                    a = (y / 9) % 2 ? 255 : 0;  // stripes of opaque and transparent
                }
                if (a == 0) {
                    r = 255, g = 0, b = 255;  // must never show through a blur
                }
            }
            image.At(x, y) = Pack(r, g, b, a);
        }
    }
    return image;
}

KernelImage EdgePadded(const KernelImage& image, int32 margin) {
    KernelImage padded(image.width + 2 * margin, image.height + 2 * margin);
    for (int32 y = 0; y < padded.height; ++y) {
        const int32 sy = std::clamp(y - margin, 0, image.height - 1);
        for (int32 x = 0; x < padded.width; ++x) {
            padded.At(x, y) = image.At(std::clamp(x - margin, 0, image.width - 1), sy);
        }
    }
    return padded;
}

KernelImage Filtered(YKFilterKernel& kernel, const KernelImage& image, int32 threads) {
    KernelImage source = EdgePadded(image, kernel.Reach());
    KernelImage result(image.width, image.height);
    YKKernelRunner::Run(kernel, source.Plane(), result.Plane(), threads);
    return result;
}

namespace {

uint32 Premultiplied(uint32 pixel) {
    const uint32 alpha = pixel >> 24;
    uint32 out = pixel & 0xFF000000u;
    for (int32 shift = 0; shift < 24; shift += 8) {
        out |= (((pixel >> shift) & 0xFF) * alpha + 127) / 255 << shift;
    }
    return out;
}

}  // namespace

ImageDifference ComparePremultiplied(const KernelImage& a, const KernelImage& b) {
    KernelImage shownA = a, shownB = b;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        shownA.pixels[i] = Premultiplied(a.pixels[i]);
        shownB.pixels[i] = Premultiplied(b.pixels[i]);
    }
    return Compare(shownA, shownB);
}

ImageDifference Compare(const KernelImage& a, const KernelImage& b) {
    ImageDifference difference;
    double total = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        for (int32 shift = 0; shift < 32; shift += 8) {
            const int32 d = std::abs(int32((a.pixels[i] >> shift) & 0xFF) -
                                     int32((b.pixels[i] >> shift) & 0xFF));
            difference.max = std::max(difference.max, d);
            total += d;
        }
    }
    difference.mean = a.pixels.empty() ? 0 : total / (4.0 * double(a.pixels.size()));
    return difference;
}
