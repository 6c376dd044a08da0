#pragma once

// Shared by the PNG tests: random rasters, and PNG bytes of any colour type made with libpng's
// writer from samples of a given depth.

#include <png.h>

#include <memory>
#include <random>
#include <vector>

#include "YKRaster.h"

namespace png_test {

using Bytes = std::vector<uint8>;
using Pixels = std::vector<uint32>;

// Every alpha from 0 to 255 comes up, and colour under alpha 0 is not 0.
inline std::unique_ptr<YKRaster> RandomRaster(int32 width, int32 height, uint32 seed) {
    auto raster = std::make_unique<YKRaster>(YKRect<int32>{0, 0, width - 1, height - 1});
    std::mt19937 random(seed);
    auto* pixels = reinterpret_cast<uint32*>(raster->Bits());
    for (int32 i = 0; i < width * height; ++i) {
        pixels[i] = random() % 4 == 0 ? (random() & 0xFFFFFF) : random();
    }
    return raster;
}

// A PNG file's content: `samples` holds the channels of each pixel in file order.
struct Encoding {
    int colorType;
    int depth;
    bool interlace;
    uint32 width;
    uint32 height;
    std::vector<uint16> samples = {};
    std::vector<png_color> palette = {};
    std::vector<png_byte> paletteAlphas = {};
    bool hasTrns = false;
    png_color_16 trns = {};
};

inline Bytes Encode(const Encoding& e) {
    Bytes bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &bytes,
        [](png_structp p, png_bytep data, size_t n) {
            static_cast<Bytes*>(png_get_io_ptr(p))
                ->insert(static_cast<Bytes*>(png_get_io_ptr(p))->end(), data, data + n);
        },
        nullptr);
    png_set_IHDR(png, info, e.width, e.height, e.depth, e.colorType, e.interlace, 0, 0);
    if (!e.palette.empty()) {
        png_set_PLTE(png, info, e.palette.data(), static_cast<int>(e.palette.size()));
    }
    if (!e.paletteAlphas.empty() || e.hasTrns) {
        png_set_tRNS(png, info, e.paletteAlphas.data(), static_cast<int>(e.paletteAlphas.size()),
                     &e.trns);
    }
    png_write_info(png, info);
    const size_t perRow = e.samples.size() / e.height;
    const size_t rowBytes = (perRow * e.depth + 7) / 8;
    std::vector<png_byte> packed(rowBytes * e.height);
    for (size_t i = 0; i < e.samples.size(); ++i) {  // most significant bit first
        for (int bit = 0; bit < e.depth; ++bit) {
            const size_t at = i / perRow * rowBytes * 8 + i % perRow * e.depth + bit;
            packed[at / 8] |= ((e.samples[i] >> (e.depth - 1 - bit)) & 1) << (7 - at % 8);
        }
    }
    std::vector<png_bytep> rows;
    for (uint32 y = 0; y < e.height; ++y) {
        rows.push_back(&packed[y * rowBytes]);
    }
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

}  // namespace png_test
