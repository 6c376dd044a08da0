#pragma once

// YKAlphaBlend: blends of two straight 32-bit pixels, the top one over the bottom one, with and
// without an opacity (level, 0..255) applied to the top one.

#include "yk_types.h"

class YKAlphaBlend {
public:
    static uint32 Compose(uint32 top, uint32 bottom);
    static uint32 Overlay(uint32 top, uint32 bottom);
    static uint32 Compose(uint32 top, uint32 bottom, uint32 level);
    static uint32 Overlay(uint32 top, uint32 bottom, uint32 level);
};
