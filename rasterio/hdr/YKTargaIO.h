#pragma once

// YKTargaIO: Targa files in the registry, read and written through YKTarga.

#include "YKRasterStillIO.h"

class YKTargaIO : public YKRasterStillIO {
public:
    const char* MenuName() const override { return "Targa"; }
    const char* Extension() const override { return ".tga"; }
    const char* MimeType() const override { return "image/x-tga"; }
    uint32 Capabilities() const override { return kReadsStills | kWritesStills; }
    uint32 InterfaceFlags() const override { return 31; }
    std::vector<const char*> OptionFields() const override {
        return {"ra_back_col", "ra_hasbackcol", "targa_save_alpha", "targa_rle_compress"};
    }

    // Targa files have no signature: a header of an image the reader decodes is taken as one.
    bool Accept(const char* path) const override;
    std::unique_ptr<YKRaster> Read(const char* path, YKMessage* info, bool native,
                                   std::string* error) const override;
    // Export: with "ra_hasbackcol", transparency is composed over "ra_back_col" (default opaque
    // white; made opaque unless alpha is saved); "targa_save_alpha" writes 32 bits instead of
    // 24, "targa_rle_compress" run-length packets.
    bool Write(const char* path, const YKRaster& raster, const YKMessage* options,
               YKRasterProgress* progress, std::string* error) const override;
};
