// Mapping pixels to palette indices, plain or with Floyd-Steinberg error diffusion.

#include "Quantizer.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "YKDebug.h"

namespace {

using Color = Quantizer::Cmap::Color;

// Calls put(x, y, index) for every pixel in row order. With `transparent` >= 0, pixels with
// alpha 0 take it; otherwise every pixel is mapped by its colour.
template <typename Put>
void MapPlain(Quantizer& quantizer, const Pixmap<uint32>& src, int32 transparent, Put put) {
    // Runs of one colour are common in drawings: one search per run.
    bool known = false;
    uint32 previous = 0;
    int32 index = 0;
    for (int32 y = 0; y < src.h; ++y) {
        const uint32* row = src.Row(y);
        for (int32 x = 0; x < src.w; ++x) {
            const uint32 p = row[x];
            if (transparent >= 0 && p >> 24 == 0) {
                put(x, y, transparent);
                continue;
            }
            if (!known || (p & 0xFFFFFF) != previous) {
                index = quantizer.QuantizePixel(uint8(p >> 16), uint8(p >> 8), uint8(p));
                previous = p & 0xFFFFFF;
                known = true;
            }
            put(x, y, index);
        }
    }
}

// Floyd-Steinberg on alternating row directions. Two rows of errors (red, green, blue, scaled
// by 16) with a spare cell at each end, so that the neighbours of the edge pixels need no test;
// a pixel's cell is cleared once read, which leaves the finished row clean for reuse as the next.
template <typename Put>
void MapDiffused(Quantizer& quantizer, const Pixmap<uint32>& src, int32 transparent, Put put) {
    const int32 stride = (src.w + 2) * 3;
    std::vector<int32> errors(2 * size_t(stride), 0);
    int32* current = errors.data();
    int32* next = current + stride;
    const Color* palette = quantizer.GetCmap().colors;
    for (int32 y = 0; y < src.h; ++y) {
        const uint32* row = src.Row(y);
        const int32 d = y % 2 == 0 ? 1 : -1;
        for (int32 n = 0, x = d > 0 ? 0 : src.w - 1; n < src.w; ++n, x += d) {
            const uint32 p = row[x];
            int32* cell = current + (x + 1) * 3;
            if (transparent >= 0 && p >> 24 == 0) {
                std::fill_n(cell, 3, 0);
                put(x, y, transparent);
                continue;
            }
            const int32 value[3] = {std::clamp(int32(p >> 16 & 255) + cell[0] / 16, 0, 255),
                                    std::clamp(int32(p >> 8 & 255) + cell[1] / 16, 0, 255),
                                    std::clamp(int32(p & 255) + cell[2] / 16, 0, 255)};
            const int32 index =
                quantizer.QuantizePixel(uint8(value[0]), uint8(value[1]), uint8(value[2]));
            std::fill_n(cell, 3, 0);
            const Color c = palette[uint8(index)];
            const int32 error[3] = {value[0] - c.red, value[1] - c.green, value[2] - c.blue};
            int32* ahead = cell + 3 * d;
            int32* below = next + (x + 1) * 3;
            for (int32 k = 0; k < 3; ++k) {
                ahead[k] += 7 * error[k];
                below[k - 3 * d] += 3 * error[k];
                below[k] += 5 * error[k];
                below[k + 3 * d] += error[k];
            }
            put(x, y, index);
        }
        std::swap(current, next);
    }
}

template <typename Put>
void Map(Quantizer& quantizer, const Pixmap<uint32>& src, Quantizer::DitherMethod method,
         int32 transparent, Put put) {
    if (method == Quantizer::DITHER_FLOYD_STEINBERG) {
        MapDiffused(quantizer, src, transparent, put);
    } else {
        MapPlain(quantizer, src, transparent, put);
    }
}

}  // namespace

Quantizer::Quantizer(int32 colors, int32 width, int32 height, int32 images)
    : mNumColors(colors), mWidth(width), mHeight(height), mNumImages(images) {
    if (colors < 2 || colors > _QUANTIZER_MAX_COLORS) {
        yk_debug::AssertionFailed(__FILE__, __LINE__,
                                  "num_colors>=2&&num_colors<=_QUANTIZER_MAX_COLORS");
    }
}

void Quantizer::SetCmap(const Cmap&) {
    yk_debug::AssertionFailed(__FILE__, __LINE__, "0");
}

void Quantizer::Submit(const Pixmap<uint32>&, bool) {
    yk_debug::AssertionFailed(__FILE__, __LINE__, "0");
}

void Quantizer::Quantize(const Pixmap<uint32>& src, const Pixmap<uint8>& dst, DitherMethod method) {
    YK_ASSERT(dst.w >= src.w && dst.h >= src.h);
    // Without a transparent entry a clear pixel can only be mapped by its colour.
    Map(*this, src, method, mCmap.transparent,
        [&](int32 x, int32 y, int32 index) { dst.Row(y)[x] = uint8(index); });
}

void Quantizer::Quantize(const Pixmap<uint32>& image, DitherMethod method) {
    Map(*this, image, method, -1, [&](int32 x, int32 y, int32 index) {
        uint32& p = image.Row(y)[x];
        const Color c = mCmap.colors[uint8(index)];
        p = (p & 0xFF000000u) | uint32(c.red) << 16 | uint32(c.green) << 8 | c.blue;
    });
}

void Quantizer::DumpCmap() const {
    for (int32 i = 0; i < mCmap.count; ++i) {
        const Cmap::Color c = mCmap.colors[i];
        std::fprintf(stderr, "[%3d]=%02X %02X %02X\n", i, c.red, c.green, c.blue);
    }
}
