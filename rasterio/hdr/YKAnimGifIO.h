#pragma once

// YKAnimGifIO: GIF files as animations, every image composed into a full-screen frame.
// Reading only, like YKSimpleGifIO.

#include "YKRasterAnimIO.h"

class YKAnimGifIO : public YKRasterAnimIO {
public:
    const char* MenuName() const override { return "Animated GIF"; }
    const char* Extension() const override { return ".gif"; }
    const char* MimeType() const override { return "image/gif"; }
    uint32 Capabilities() const override { return kReadsAnimations; }
    uint32 InterfaceFlags() const override { return 63; }

    bool Accept(const char* path, YKMessage* info) const override;
    bool Read(const char* path, YKRasterList& list, int32 first, int32 last, YKMessage* info,
              bool native, std::string* error) const override;
};
