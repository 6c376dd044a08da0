// Emboss: the source premultiplied (pass 0), then the slope as a weighted sum of the eight
// shifted neighbour rows (pass 1).

#include "YKEmbossKernel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

YKEmbossKernel::YKEmbossKernel(float strength, float angle) {
    const double radians = std::fmod(double(angle), 360.0) * std::numbers::pi / 180;
    const double lightX = std::cos(radians), lightY = -std::sin(radians);
    // A neighbour towards the light weighs against the pixel's brightness, one away from it for:
    // rising away from the light, the surface faces it.
    double positive = 0;
    for (int32 dy = -1; dy <= 1; ++dy) {
        for (int32 dx = -1; dx <= 1; ++dx) {
            const double weight = -(dx * lightX + dy * lightY);
            positive += std::max(weight, 0.0);
            if (dx != 0 || dy != 0) {
                mTaps.push_back({dx, dy, static_cast<float>(weight)});
            }
        }
    }
    // A full step from 0 to 255 across the light swings 127.5 levels either way at strength 1;
    // the sums run over channels 255 times their level.
    const double scale = std::clamp(strength, 0.0f, kMaxStrength) / (2 * positive * 255);
    for (yk_row_tap& tap : mTaps) {
        tap.weight = static_cast<float>(tap.weight * scale);
    }
}

std::array<float, 9> YKEmbossKernel::Weights() const {
    std::array<float, 9> weights{};
    for (const yk_row_tap& tap : mTaps) {
        weights[(tap.dy + 1) * 3 + tap.dx + 1] = tap.weight * 255;
    }
    return weights;
}

void YKEmbossKernel::StoreRow(int32 y, float* sum) {
    const uint32* original = Source().Row(y + 1) + 1;
    uint32* out = Destination().Row(y);
    for (int32 x = 0; x < Destination().width; ++x) {
        uint32 pixel = original[x] & 0xFF000000u;
        for (int32 c = 0; c < 3; ++c) {
            const float level = std::clamp(128.5f + sum[4 * x + c], 0.0f, 255.0f);
            pixel |= static_cast<uint32>(level) << (8 * c);
        }
        out[x] = pixel;
    }
}
