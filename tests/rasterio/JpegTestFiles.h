#pragma once

// Shared by the JPEG tests: photo-like rasters, JPEG bytes of any colour space made with
// libjpeg's own encoder, and the peak signal-to-noise ratio of two images.

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

// After <cstdio>: libjpeg's header uses FILE and size_t without including their headers.
#include <jpeglib.h>

#include "YKRaster.h"

namespace jpeg_test {

using Bytes = std::vector<uint8>;

// Smooth gradients with a few sharp edges, as a photo has.
inline std::unique_ptr<YKRaster> PhotoRaster(int32 width, int32 height) {
    auto raster = std::make_unique<YKRaster>(YKRect<int32>{0, 0, width - 1, height - 1});
    for (int32 y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32*>(raster->Bits() + int64{y} * raster->BytesPerRow());
        for (int32 x = 0; x < width; ++x) {
            const double r = 128 + 100 * std::sin(x * 0.013 + y * 0.007);
            const double g = 128 + 90 * std::cos(std::hypot(x - width / 3, y - height / 2) * 0.02);
            const double b = (x / 40 + y / 40) % 2 ? 200 - y * 100.0 / height : 60;
            row[x] = 0xFF000000 | uint32(r) << 16 | uint32(g) << 8 | uint32(b);
        }
    }
    return raster;
}

// PSNR in dB over the colour channels of two images of the same size (alpha aside).
inline double Psnr(const std::vector<uint32>& a, const std::vector<uint32>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        for (const int shift : {0, 8, 16}) {
            const double d = double(a[i] >> shift & 255) - double(b[i] >> shift & 255);
            sum += d * d;
        }
    }
    const double mse = sum / (3.0 * a.size());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// A JPEG of `samples` (`components` bytes a pixel, row after row) in `space`, stored as
// `stored` (e.g. YCCK for CMYK samples), with or without an Adobe marker.
inline Bytes Encode(int32 width, int32 height, int components, J_COLOR_SPACE space,
                    J_COLOR_SPACE stored, bool adobe, const Bytes& samples) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, stored);
    cinfo.write_Adobe_marker = adobe;
    jpeg_set_quality(&cinfo, 100, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        auto* row = const_cast<uint8*>(&samples[cinfo.next_scanline * width * components]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes bytes(out, out + size);
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return bytes;
}

}  // namespace jpeg_test
