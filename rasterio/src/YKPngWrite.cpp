// PNG writing: 8-bit RGBA rows straight from the raster, or grey with alpha, or a palette.

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "Pixmap.h"
#include "Quantizer.h"
#include "YKMessage.h"
#include "YKPngIO.h"
#include "YKRaster.h"
#include "YKRasterFilters.h"
#include "YKRasterProgress.h"
#include "YKReplacedFile.h"
#include "yk_io_error_internal.h"
#include "yk_png_internal.h"
#include "yk_write_steps_internal.h"

namespace {

// What libpng is handed. RGBA rows are the raster's own (blue, green, red, alpha bytes); the
// other types have their bytes in `pixels`.
struct Image {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    bool interlace = false;
    std::vector<png_bytep> rows;
    std::vector<png_byte> pixels;
    std::vector<png_color> palette;
    std::vector<png_byte> alphas;  // tRNS: the alpha of the first palette entries
};

void WriteOutput(png_structp png, png_bytep data, size_t length) {
    if (std::fwrite(data, 1, length, static_cast<std::FILE*>(png_get_io_ptr(png))) != length) {
        png_error(png, std::strerror(errno));
    }
}

void FlushOutput(png_structp png) {
    std::fflush(static_cast<std::FILE*>(png_get_io_ptr(png)));
}

// Plain locals only (setjmp).
bool WriteRows(png_structp png, png_infop info, const Image& image) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_IHDR(png, info, image.width, image.height, 8, image.colorType,
                 image.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!image.palette.empty()) {
        png_set_PLTE(png, info, image.palette.data(), static_cast<int>(image.palette.size()));
    }
    if (!image.alphas.empty()) {
        png_set_tRNS(png, info, image.alphas.data(), static_cast<int>(image.alphas.size()),
                     nullptr);
    }
    png_write_info(png, info);
    if (image.colorType == PNG_COLOR_TYPE_RGB_ALPHA) {
        png_set_bgr(png);
    }
    // A large image reaches the file as it is made rather than all at the end.
    if (uint64{image.width} * image.height > 262144) {
        png_set_flush(png, std::max<int>(10, 131072 / static_cast<int>(image.width)));
    }
    png_write_image(png, const_cast<png_bytepp>(image.rows.data()));
    png_write_end(png, nullptr);
    return true;
}

bool WriteImage(const Image& image, const char* path, std::string* error) {
    YKReplacedFile file(path);
    if (file.Stream() == nullptr) {
        yk_set_error(error, std::string("cannot write the PNG file: ") + file.Error());
        return false;
    }
    yk_png::ErrorSink sink;
    yk_png::Handle handle(true, &sink);
    if (!handle.IsValid()) {
        yk_set_error(error, "out of memory");
        return false;
    }
    png_set_write_fn(handle.png, file.Stream(), WriteOutput, FlushOutput);
    if (!WriteRows(handle.png, handle.info, image)) {
        yk_set_error(error, std::string("cannot write the PNG file: ") + yk_png::ErrorText(sink));
        return false;
    }
    if (!file.Commit()) {
        yk_set_error(error, std::string("cannot write the PNG file: ") + file.Error());
        return false;
    }
    return true;
}

bool Writable(const YKRaster& raster, std::string* error) {
    if (raster.Bits() == nullptr || raster.BytesPerPixel() != 4) {
        yk_set_error(error, "nothing to write: the raster has no 32-bit pixels");
        return false;
    }
    return true;
}

uint32 PixelAt(const YKRaster& raster, int32 x, int32 y) {
    return reinterpret_cast<const uint32*>(raster.Bits() + int64{y} * raster.BytesPerRow())[x];
}

// An image of `colorType` with `bytesPerPixel` bytes of its own per pixel.
Image OwnImage(const YKRaster& raster, int colorType, int32 bytesPerPixel) {
    Image image;
    image.width = static_cast<png_uint_32>(raster.Width());
    image.height = static_cast<png_uint_32>(raster.Height());
    image.colorType = colorType;
    const size_t rowBytes = size_t{image.width} * bytesPerPixel;
    image.pixels.resize(rowBytes * image.height);
    for (png_uint_32 y = 0; y < image.height; ++y) {
        image.rows.push_back(image.pixels.data() + y * rowBytes);
    }
    return image;
}

Image RgbaImage(const YKRaster& raster) {
    Image image;
    image.width = static_cast<png_uint_32>(raster.Width());
    image.height = static_cast<png_uint_32>(raster.Height());
    for (png_uint_32 y = 0; y < image.height; ++y) {
        image.rows.push_back(raster.Bits() + int64{y} * raster.BytesPerRow());
    }
    return image;
}

// Luma of the colour (ITU-R 601 weights) beside the alpha.
Image GreyImage(const YKRaster& raster) {
    Image image = OwnImage(raster, PNG_COLOR_TYPE_GRAY_ALPHA, 2);
    for (int32 y = 0; y < raster.Height(); ++y) {
        for (int32 x = 0; x < raster.Width(); ++x) {
            const uint32 p = PixelAt(raster, x, y);
            const uint32 luma =
                (299 * (p >> 16 & 255) + 587 * (p >> 8 & 255) + 114 * (p & 255) + 500) / 1000;
            image.rows[y][2 * x] = static_cast<png_byte>(luma);
            image.rows[y][2 * x + 1] = static_cast<png_byte>(p >> 24);
        }
    }
    return image;
}

// Indices into a palette learnt by an adaptive quantizer; transparency is one tRNS entry.
Image PaletteImage(const YKRaster& raster, const YKMessage* options) {
    int32 colors = _QUANTIZER_MAX_COLORS;
    int32 kindId = 0;
    bool dither = false;
    if (options != nullptr) {
        options->FindInt32("ra_nb_colors", &colors);
        options->FindInt32("24to8_quant_id", &kindId);
        options->FindBool("24to8_dithering", &dither);
    }
    const YKRasterFilters* filters = YKRasterFilters::Instantiate();
    const QuantizerInfo* kind = filters->QuantizerInfoForId(kindId);
    if (kind == nullptr || !kind->DoesAdaptative()) {
        kind = filters->QuantizerInfoForId(0);
    }
    const std::unique_ptr<Quantizer> quantizer = kind->CreateQuantizer(
        std::clamp(colors, 2, _QUANTIZER_MAX_COLORS), raster.Width(), raster.Height(), 1);
    const Pixmap<uint32> source{raster.Width(), raster.Height(), raster.BytesPerRow(),
                                reinterpret_cast<uint32*>(raster.Bits())};
    quantizer->Submit(source, false);
    quantizer->Reduce();
    Image image = OwnImage(raster, PNG_COLOR_TYPE_PALETTE, 1);
    quantizer->Quantize(source,
                        {raster.Width(), raster.Height(), raster.Width(), image.pixels.data()},
                        dither ? Quantizer::DITHER_FLOYD_STEINBERG : Quantizer::DITHER_NONE);
    const Quantizer::Cmap& cmap = quantizer->GetCmap();
    for (int32 i = 0; i < std::max(cmap.count, 1); ++i) {
        image.palette.push_back({cmap.colors[i].red, cmap.colors[i].green, cmap.colors[i].blue});
    }
    if (cmap.transparent >= 0) {
        image.alphas.assign(static_cast<size_t>(cmap.transparent) + 1, 255);
        image.alphas.back() = 0;
    }
    return image;
}

}  // namespace

bool YKPngIO::Write(const YKRaster& raster, const char* path, std::string* error) {
    return Writable(raster, error) && WriteImage(RgbaImage(raster), path, error);
}

bool YKPngIO::Write(const char* path, const YKRaster& raster, const YKMessage* options,
                    YKRasterProgress* progress, std::string* error) const {
    if (!Writable(raster, error)) {
        return false;
    }
    int32 back = -1;  // opaque white
    bool interlace = false;
    int32 colorType = kRGBA;
    if (options != nullptr) {
        options->FindInt32("ra_back_col", &back);
        options->FindBool("ra_interlace", &interlace);
        options->FindInt32("png_color_type", &colorType);
    }
    yk_write_steps steps(progress, 2);
    if (!steps.Begin(1, "Adjusting Transparency…")) {
        yk_set_error(error, "cancelled");
        return false;
    }
    const std::unique_ptr<YKRaster> adjusted = raster.DuplicateRaster(YK_RASTER_OWN);
    if (!Writable(*adjusted, error)) {
        return steps.End(false);
    }
    AdjustTransparency(*adjusted, static_cast<uint32>(back), false);
    if (!steps.Begin(2, "Writing Image…")) {
        yk_set_error(error, "cancelled");
        return false;
    }
    Image image = colorType == kGreyAlpha ? GreyImage(*adjusted)
                  : colorType == kPalette ? PaletteImage(*adjusted, options)
                                          : RgbaImage(*adjusted);
    image.interlace = interlace;
    return steps.End(WriteImage(image, path, error));
}
