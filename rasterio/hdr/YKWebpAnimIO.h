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
    uint32 InterfaceFlags() const override { return 47; }
    std::vector<const char*> OptionFields() const override {
        return {"ra_back_col",     "ra_hasbackcol",     "ra_nb_colors",     "24to8_quant_id",
                "24to8_dithering", "24to8_fix_palette", "24to8_isfixedpal", "gif_loop",
                "gif_use_speed",   "gif_speed",         "webp_lossless",    "webp_quality",
                "webp_palette"};
    }

    // "webp_lossless" (default true), else lossy at "webp_quality" 0..100 (default 80);
    // "gif_loop", "gif_use_speed" with "gif_speed" as in an animated GIF; with "ra_hasbackcol"
    // every frame is composed over "ra_back_col". With "webp_palette" (default false) the
    // frames first go through one palette made as an animated GIF's from the same colour
    // options, which makes far smaller lossless files; pixels are then opaque or clear, as in
    // a GIF (clear only without a background).
    bool Write(const char* path, YKAnimationSource& source, const YKMessage* options,
               YKRasterProgress* progress, std::string* error) const override;
};
