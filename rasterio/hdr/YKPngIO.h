#pragma once

// YKPngIO: PNG files through libpng. Every colour type and bit depth is read into a 32-bit
// raster (16-bit samples keep their high byte, palettes and tRNS become alpha); rasters are
// written as 8-bit RGBA, or for an export as grey with alpha or as a palette.
//
// Files are hostile: the declared size is checked against the raster limit and against what
// the file's length can hold before any pixel store is made, ancillary chunks other than tRNS
// are skipped unread, and libpng errors come back as error texts.

#include <cstddef>
#include <memory>
#include <string>

#include "YKRasterStillIO.h"

class YKPngIO : public YKRasterStillIO {
public:
    // Values of the export option "png_color_type".
    enum ColorType : int32 {
        kGreyAlpha = 0,
        kPalette = 1,
        kRGBA = 2,
    };

    // A new raster, or null with the reason in `error` (may be null).
    static YKRaster* Read(const char* path, std::string* error);
    static YKRaster* ReadMemory(const uint8* data, size_t size, std::string* error);
    // Writes the pixels as they are, alpha included. The file is replaced only once it is
    // complete: a failed write leaves what was at `path` untouched.
    static bool Write(const YKRaster& raster, const char* path, std::string* error);
    // True when `bytes` start with the PNG signature.
    static bool IsPng(const uint8* bytes, size_t size);

    const char* MenuName() const override { return "PNG"; }
    const char* Extension() const override { return ".png"; }
    const char* MimeType() const override { return "image/png"; }
    uint32 Capabilities() const override { return kReadsStills | kWritesStills; }
    std::vector<const char*> OptionFields() const override {
        return {"ra_back_col",  "ra_interlace",   "png_color_type",
                "ra_nb_colors", "24to8_quant_id", "24to8_dithering"};
    }
    uint32 InterfaceFlags() const override { return 31; }

    bool Accept(const char* path) const override;
    std::unique_ptr<YKRaster> Read(const char* path, YKMessage* info, bool native,
                                   std::string* error) const override;
    // Export: "ra_back_col" (default opaque white) goes behind transparency, "ra_interlace"
    // writes Adam7, "png_color_type" picks the colour type; a palette takes "ra_nb_colors"
    // colours from the adaptive quantizer "24to8_quant_id" (dithered with "24to8_dithering").
    bool Write(const char* path, const YKRaster& raster, const YKMessage* options,
               YKRasterProgress* progress, std::string* error) const override;
};
