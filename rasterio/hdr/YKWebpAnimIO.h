#pragma once

// YKWebpAnimIO: animated WebP files, written through libwebp's animation encoder, which stores
// each frame as what changed since the one before. Alpha is kept.

#include "YKRasterAnimIO.h"

class YKWebpAnimIO : public YKRasterAnimIO {
public:
    const char* MenuName() const override { return "Animated WebP"; }
    const char* Extension() const override { return ".webp"; }
    const char* MimeType() const override { return "image/webp"; }
    uint32 Capabilities() const override { return kWritesAnimations; }
    std::vector<const char*> OptionFields() const override {
        return {"ra_back_col", "ra_hasbackcol", "gif_loop",    "gif_use_speed",
                "gif_speed",   "webp_lossless", "webp_quality"};
    }

    // "webp_lossless" (default true), else lossy at "webp_quality" 0..100 (default 80);
    // "gif_loop", "gif_use_speed" with "gif_speed" as in an animated GIF; with "ra_hasbackcol"
    // every frame is composed over "ra_back_col".
    bool Write(const char* path, YKAnimationSource& source, const YKMessage* options,
               YKRasterProgress* progress, std::string* error) const override;
};
