#pragma once

// Images, palettes and brute-force searches shared by the quantizer tests.

#include <algorithm>
#include <random>
#include <vector>

#include "Pixmap.h"
#include "Quantizer.h"

using Cmap = Quantizer::Cmap;
using Color = Cmap::Color;

constexpr uint32 Argb(uint32 a, uint32 r, uint32 g, uint32 b) {
    return a << 24 | r << 16 | g << 8 | b;
}

// Owns pixels with `pad` spare pixels at the end of each row, so that row strides show.
template <typename T>
struct Image {
    Image(int32 width, int32 height, int32 pad = 0)
        : stride(width + pad), pixels(size_t(stride) * height) {
        view = {width, height, int32(stride * sizeof(T)), pixels.data()};
    }
    Image(const Image& other) : stride(other.stride), pixels(other.pixels), view(other.view) {
        view.bits = pixels.data();
    }
    Image& operator=(const Image&) = delete;
    T& At(int32 x, int32 y) const { return view.Row(y)[x]; }
    int32 stride;
    std::vector<T> pixels;
    Pixmap<T> view;
};

using Pixels = Image<uint32>;
using Indices = Image<uint8>;

inline Pixels Filled(int32 width, int32 height, uint32 pixel, int32 pad = 0) {
    Pixels image(width, height, pad);
    for (int32 y = 0; y < height; ++y) {
        for (int32 x = 0; x < width; ++x) {
            image.At(x, y) = pixel;
        }
    }
    return image;
}

// Opaque noise; every `clearEvery`-th pixel (when not 0) has alpha 0.
inline Pixels Noise(int32 width, int32 height, uint32 seed, int32 clearEvery = 0, int32 pad = 0) {
    std::mt19937 random(seed);
    Pixels image(width, height, pad);
    for (int32 y = 0, n = 0; y < height; ++y) {
        for (int32 x = 0; x < width; ++x, ++n) {
            const uint32 alpha = clearEvery != 0 && n % clearEvery == 0 ? 0 : 255;
            image.At(x, y) = alpha << 24 | (random() & 0xFFFFFF);
        }
    }
    return image;
}

// `count` random entries, in clusters when `spread` is small.
inline Cmap RandomCmap(int32 count, uint32 seed, int32 spread = 256) {
    std::mt19937 random(seed);
    Cmap cmap;
    cmap.count = count;
    Color centre{};
    for (int32 i = 0; i < count; ++i) {
        if (i % 8 == 0) {
            centre = {uint8(random()), uint8(random()), uint8(random())};
        }
        const auto near = [&](uint8 c) { return uint8(int32(c) + int32(random() % spread)); };
        cmap.colors[i] = {near(centre.red), near(centre.green), near(centre.blue)};
    }
    return cmap;
}

inline int32 Distance(int32 r, int32 g, int32 b, Color c) {
    return Quantizer::RGBDistance(r, g, b, c);
}

// The smallest squared distance from (r, g, b) to an entry other than the transparent one.
inline int32 NearestDistance(const Cmap& cmap, int32 r, int32 g, int32 b) {
    int32 best = 1 << 30;
    for (int32 i = 0; i < cmap.count; ++i) {
        if (i != cmap.transparent) {
            best = std::min(best, Distance(r, g, b, cmap.colors[i]));
        }
    }
    return best;
}
