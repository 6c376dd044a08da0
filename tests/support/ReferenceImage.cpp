#include "ReferenceImage.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "YKBitmap.h"
#include "YKRaster.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

uint32 Channel(uint32 pixel, int shift) {
    return (pixel >> shift) & 0xFFu;
}

}  // namespace

bool WritePng(const std::string& path, const PixelImage& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    // Our pixels are B, G, R, A in memory.
    png.format = PNG_FORMAT_BGRA;
    return png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(), 0, nullptr) != 0;
}

bool ReadPng(const std::string& path, PixelImage* image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, path.c_str()) == 0) {
        return false;
    }
    png.format = PNG_FORMAT_BGRA;
    image->width = static_cast<int32>(png.width);
    image->height = static_cast<int32>(png.height);
    image->pixels.assign(static_cast<std::size_t>(png.width) * png.height, 0);
    return png_image_finish_read(&png, nullptr, image->pixels.data(), 0, nullptr) != 0;
}

PixelImage ImageOf(YKBitmap& bitmap, YKRect<int32> rect) {
    PixelImage image;
    image.width = rect.right - rect.left + 1;
    image.height = rect.bottom - rect.top + 1;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    for (int32 y = 0; y < image.height; ++y) {
        bitmap.GetLineAt(rect.top + y, rect.left, rect.right, false,
                         image.pixels.data() + static_cast<std::size_t>(y) * image.width);
    }
    return image;
}

PixelImage ImageOf(const YKRaster& raster) {
    PixelImage image;
    image.width = raster.Width();
    image.height = raster.Height();
    for (int32 y = 0; y < image.height; ++y) {
        const auto* row = reinterpret_cast<const uint32*>(raster.Bits() + y * raster.BytesPerRow());
        image.pixels.insert(image.pixels.end(), row, row + image.width);
    }
    return image;
}

std::string CompareWithReference(const std::string& name, const PixelImage& image,
                                 int32 tolerance) {
    const std::string reference = std::string(GRAVIK_TEST_DATA) + "/" + name + ".png";
    const char* update = std::getenv("GRAVIK_UPDATE_REFERENCES");
    if (update != nullptr && std::string(update) == "1") {
        return WritePng(reference, image) ? "" : "cannot write " + reference;
    }
    PixelImage expected;
    if (!ReadPng(reference, &expected)) {
        return "no reference image " + reference;
    }
    if (expected.width != image.width || expected.height != image.height) {
        return "size differs from " + reference;
    }
    PixelImage difference = image;
    int32 worst = 0;
    int64 differing = 0;
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        int32 pixelWorst = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const int32 d = std::abs(static_cast<int32>(Channel(image.pixels[i], shift)) -
                                     static_cast<int32>(Channel(expected.pixels[i], shift)));
            pixelWorst = std::max(pixelWorst, d);
        }
        worst = std::max(worst, pixelWorst);
        differing += pixelWorst > tolerance ? 1 : 0;
        difference.pixels[i] = 0xFF000000u | (pixelWorst > tolerance ? 0xFF0000u : 0) |
                               static_cast<uint32>(std::min(255, pixelWorst * 16));
    }
    if (differing == 0) {
        return "";
    }
    std::string base = name;
    for (char& c : base) {
        c = c == '/' ? '_' : c;
    }
    WritePng(base + "-actual.png", image);
    WritePng(base + "-difference.png", difference);
    return std::to_string(differing) + " pixels differ from " + reference + " (worst by " +
           std::to_string(worst) + "); see " + base + "-actual.png";
}
