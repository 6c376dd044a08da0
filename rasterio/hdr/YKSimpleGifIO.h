#pragma once

// YKSimpleGifIO: GIF files as still images: the first image of the file. Writing reduces the
// raster to one palette and, over a transparent background, keeps only the part that shows.

#include "YKRasterStillIO.h"

class YKSimpleGifIO : public YKRasterStillIO {
public:
    // True when `path` starts with "GIF87a" or "GIF89a".
    static bool IsGif(const char* path);

    const char* MenuName() const override { return "GIF"; }
    const char* Extension() const override { return ".gif"; }
    const char* MimeType() const override { return "image/gif"; }
    uint32 Capabilities() const override { return kReadsStills | kWritesStills; }
    uint32 DefaultInterfaceFlags() const override { return 47; }
    uint32 InterfaceFlags() const override { return 63; }
    std::vector<const char*> OptionFields() const override {
        return {"ra_back_col",     "ra_interlace",     "ra_nb_colors",      "24to8_quant_id",
                "24to8_dithering", "24to8_netposcomp", "24to8_fix_palette", "24to8_isfixedpal"};
    }

    bool Accept(const char* path) const override { return IsGif(path); }
    std::unique_ptr<YKRaster> Read(const char* path, YKMessage* info, bool native,
                                   std::string* error) const override;
    // Options: "ra_back_col", "ra_interlace", "ra_nb_colors" (2..256; below 1 is refused),
    // "24to8_quant_id", "24to8_dithering", "24to8_isfixedpal", "24to8_fix_palette",
    // "24to8_netposcomp". Nothing is left at `path` unless the whole file was written.
    bool Write(const char* path, const YKRaster& raster, const YKMessage* options,
               YKRasterProgress* progress, std::string* error) const override;
};
