#pragma once

// Straight 32-bit pixels to and from four premultiplied channels in the raster byte order
// (blue, green, red, alpha): colour c becomes c * a and alpha a becomes 255 * a, so all four
// share one scale (0..65025) and a weighted sum of neighbours never picks up the colour of a
// transparent pixel.

#include <algorithm>

#include "yk_types.h"

constexpr int32 kPremultipliedOne = 255 * 255;

inline void PremultiplyRow(const uint32* pixels, int32 count, int32* channels) {
    for (int32 x = 0; x < count; ++x) {
        const uint32 pixel = pixels[x];
        const int32 alpha = static_cast<int32>(pixel >> 24);
        for (int32 c = 0; c < 3; ++c) {
            channels[4 * x + c] = static_cast<int32>((pixel >> (8 * c)) & 0xFF) * alpha;
        }
        channels[4 * x + 3] = 255 * alpha;
    }
}

// Back to straight pixels, rounding; channels may carry any value in 0..65025 (colour above
// alpha is clamped).
inline void StraightenRow(const int32* channels, int32 count, uint32* pixels) {
    for (int32 x = 0; x < count; ++x) {
        const int32* in = channels + 4 * x;
        const float alpha = static_cast<float>(in[3]);
        // One reciprocal per pixel rather than a division per channel.
        const float scale = in[3] > 0 ? 255.0f / alpha : 0.0f;
        uint32 pixel = static_cast<uint32>(alpha * (1.0f / 255.0f) + 0.5f) << 24;
        for (int32 c = 0; c < 3; ++c) {
            const float value = std::min(static_cast<float>(in[c]) * scale + 0.5f, 255.0f);
            pixel |= static_cast<uint32>(value) << (8 * c);
        }
        pixels[x] = pixel;
    }
}
