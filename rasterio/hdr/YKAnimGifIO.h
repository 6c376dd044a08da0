#pragma once

// YKAnimGifIO: GIF files as animations, every image composed into a full-screen frame. Writing
// gives every frame one shared palette and stores each frame as what changed since the one
// before.

#include "YKRasterAnimIO.h"

class YKAnimGifIO : public YKRasterAnimIO {
public:
    const char* MenuName() const override { return "Animated GIF"; }
    const char* Extension() const override { return ".gif"; }
    const char* MimeType() const override { return "image/gif"; }
    uint32 Capabilities() const override { return kReadsAnimations | kWritesAnimations; }
    uint32 InterfaceFlags() const override { return 63; }
    std::vector<const char*> OptionFields() const override {
        return {"ra_back_col",     "ra_interlace",     "ra_nb_colors",      "24to8_quant_id",
                "24to8_dithering", "24to8_netposcomp", "24to8_fix_palette", "24to8_isfixedpal",
                "gif_loop",        "gif_use_speed",    "gif_speed"};
    }

    bool Accept(const char* path, YKMessage* info) const override;
    bool Read(const char* path, YKRasterList& list, int32 first, int32 last, YKMessage* info,
              bool native, std::string* error) const override;
    // The options of the still GIF, and "gif_loop" (a loop block with that count, 0..65535;
    // absent: none), "gif_use_speed" with "gif_speed" (every frame's delay in hundredths).
    bool Write(const char* path, YKAnimationSource& source, const YKMessage* options,
               YKRasterProgress* progress, std::string* error) const override;
};
