#pragma once

// YKApngIO: animated PNG files, written by our own chunk writer over zlib as 8-bit RGBA. After
// the first, each frame holds only the rectangle that changed, blended so that it shows exactly.

#include "YKRasterAnimIO.h"

class YKApngIO : public YKRasterAnimIO {
public:
    const char* MenuName() const override { return "APNG"; }
    const char* Extension() const override { return ".png;.apng"; }
    const char* MimeType() const override { return "image/apng"; }
    uint32 Capabilities() const override { return kWritesAnimations; }
    std::vector<const char*> OptionFields() const override {
        return {"ra_back_col", "ra_hasbackcol", "gif_loop", "gif_use_speed", "gif_speed"};
    }

    // "gif_loop", "gif_use_speed" with "gif_speed" as in an animated GIF; with "ra_hasbackcol"
    // every frame is composed over "ra_back_col".
    bool Write(const char* path, YKAnimationSource& source, const YKMessage* options,
               YKRasterProgress* progress, std::string* error) const override;
};
