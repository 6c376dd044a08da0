#pragma once

// Pictures for the kernel tests: a photo-like one (gradients, hard-edged shapes, fine noise),
// the edge-repeating margin a kernel reads, and a kernel run over a whole picture.

#include <string>
#include <vector>

#include "YKFilterKernel.h"

struct KernelImage {
    int32 width = 0;
    int32 height = 0;
    std::vector<uint32> pixels;  // straight alpha, raster byte order

    KernelImage() = default;
    KernelImage(int32 w, int32 h, uint32 fill = 0)
        : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint32& At(int32 x, int32 y) { return pixels[size_t(y) * width + x]; }
    uint32 At(int32 x, int32 y) const { return pixels[size_t(y) * width + x]; }
    YKPixelPlane Plane() { return {pixels.data(), width, height, width}; }
};

// Gradients under discs and bars with noise; with `withAlpha` the alpha varies too (fully
// transparent corners, soft ramps, opaque shapes) and transparent pixels carry garish colours.
KernelImage PhotoLike(int32 width, int32 height, bool withAlpha, uint32 seed = 1);

// `image` with `margin` pixels on every side, each a copy of the nearest edge pixel.
KernelImage EdgePadded(const KernelImage& image, int32 margin);

// Runs `kernel` over `image` (padded by the kernel's reach) on `threads` threads.
KernelImage Filtered(YKFilterKernel& kernel, const KernelImage& image, int32 threads);

// Largest per-channel difference and the mean absolute difference over all channels.
struct ImageDifference {
    int32 max = 0;
    double mean = 0;
};
ImageDifference Compare(const KernelImage& a, const KernelImage& b);
// The same over colours as they show (each multiplied by its alpha / 255) and alpha: the colour
// of a transparent pixel does not count, a faint one's counts as little as it shows.
ImageDifference ComparePremultiplied(const KernelImage& a, const KernelImage& b);
