#pragma once

// A photo-like picture for the point-operation tests: smooth gradients in all three channels,
// a few flat and soft-edged shapes, and noise, so every part of each channel's range and many
// hue/lightness mixes occur. Deterministic: the noise comes from a fixed-seed engine's raw bits.

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "YKFilterKernel.h"

using Pixels = std::vector<uint32>;
// Makes a fresh kernel for each run: a table of cases holds these.
using MakeKernel = std::function<std::unique_ptr<YKFilterKernel>()>;

template <typename Kernel, typename... Args>
MakeKernel Make(Args... args) {
    return [=] { return std::make_unique<Kernel>(args...); };
}

struct PointTestImage {
    int32 width = 0;
    int32 height = 0;
    std::vector<uint32> pixels;

    // Opaque unless `withAlpha`, which gives every alpha value 0..255 a share of the pixels.
    PointTestImage(int32 w, int32 h, bool withAlpha) : width(w), height(h), pixels(w * h) {
        std::mt19937 noise(20240611);
        for (int32 y = 0; y < h; ++y) {
            for (int32 x = 0; x < w; ++x) {
                const double u = static_cast<double>(x) / (w - 1);
                const double v = static_cast<double>(y) / (h - 1);
                double rgb[3] = {255 * u, 255 * v, 255 * (1 - u) * (0.5 + 0.5 * std::sin(7 * v))};
                // A soft disc and a hard-edged saturated square.
                const double disc = std::hypot(u - 0.3, v - 0.6) / 0.25;
                if (disc < 1) {
                    const double t = 1 - disc * disc;
                    rgb[0] += (250 - rgb[0]) * t;
                    rgb[1] += (240 - rgb[1]) * t;
                    rgb[2] += (40 - rgb[2]) * t;
                }
                if (u > 0.6 && u < 0.85 && v > 0.15 && v < 0.45) {
                    rgb[0] = 30, rgb[1] = 60, rgb[2] = 230;
                }
                const uint32 bits = noise();
                uint32 pixel = 0;
                for (int32 c = 0; c < 3; ++c) {
                    const double jitter = static_cast<double>((bits >> (8 * c)) & 0x1F) - 15.5;
                    const auto value = static_cast<uint32>(std::clamp(rgb[c] + jitter, 0.0, 255.0));
                    pixel |= value << (16 - 8 * c);
                }
                const uint32 alpha = withAlpha ? (bits >> 24) : 255;
                pixels[y * w + x] = alpha << 24 | pixel;
            }
        }
    }

    YKPixelPlane Plane() { return {pixels.data(), width, height, width}; }
};
