#pragma once

// YKSimpleGifIO: GIF files as still images: the first image of the file. Reading only; GIF
// export goes through the colour reduction and is not offered by this format yet.

#include "YKRasterStillIO.h"

class YKSimpleGifIO : public YKRasterStillIO {
public:
    // True when `path` starts with "GIF87a" or "GIF89a".
    static bool IsGif(const char* path);

    const char* MenuName() const override { return "GIF"; }
    const char* Extension() const override { return ".gif"; }
    const char* MimeType() const override { return "image/gif"; }
    uint32 Capabilities() const override { return kReadsStills; }
    uint32 DefaultInterfaceFlags() const override { return 47; }
    uint32 InterfaceFlags() const override { return 63; }

    bool Accept(const char* path) const override { return IsGif(path); }
    std::unique_ptr<YKRaster> Read(const char* path, YKMessage* info, bool native,
                                   std::string* error) const override;
};
