#pragma once

// YKJpegIO: JPEG files through libjpeg. Any colour space libjpeg decodes (grey, YCbCr, RGB,
// CMYK and YCCK, Adobe's inverted CMYK included) is read into opaque 32-bit pixels; rasters are
// written as YCbCr, baseline or progressive.
//
// Files are hostile: the declared size is checked against the raster limit before any pixel
// store is made, libjpeg's own memory and the number of scans are bounded, and damaged data
// read past is reported as a warning in the info.

#include <cstddef>
#include <memory>
#include <string>

#include "YKRasterStillIO.h"

class YKJpegIO : public YKRasterStillIO {
public:
    // Quality when "jpeg_quality" is absent.
    static constexpr int32 kDefaultQuality = 100;

    // A new raster, or null with the reason in `error` (may be null). `info` (may be null)
    // receives "ra_warning" when damaged data was read past.
    static std::unique_ptr<YKRaster> ReadMemory(const uint8* data, size_t size, YKMessage* info,
                                                std::string* error);

    const char* MenuName() const override { return "JPEG"; }
    const char* Extension() const override { return ".jpg;.jpeg"; }
    const char* MimeType() const override { return "image/jpg"; }
    uint32 Capabilities() const override { return kReadsStills | kWritesStills; }
    std::vector<const char*> OptionFields() const override {
        return {"ra_back_col", "ra_interlace", "jpeg_quality"};
    }

    // True when libjpeg reads a whole header from the file.
    bool Accept(const char* path) const override;
    std::unique_ptr<YKRaster> Read(const char* path, YKMessage* info, bool native,
                                   std::string* error) const override;
    // Export: "ra_back_col" (default white; always made opaque) goes behind transparency,
    // "jpeg_quality" is clamped to 0..100, "ra_interlace" writes a progressive file. The file is
    // replaced only once it is complete.
    bool Write(const char* path, const YKRaster& raster, const YKMessage* options,
               YKRasterProgress* progress, std::string* error) const override;
};
