#pragma once

// The pixel layouts of the pixel stores. Only YK_RGBA_COLOR_SPACE is drawn, merged and
// exported; the others are carried with their sizes.

#include "yk_types.h"

enum yk_color_space : int32 {
    YK_GRAY1_COLOR_SPACE = 0,
    YK_GRAY8_COLOR_SPACE = 1,
    YK_RGB16_COLOR_SPACE = 2,
    // 32-bit straight (not premultiplied) pixels: alpha in bits 24-31, red 16-23, green 8-15,
    // blue 0-7, so the bytes in memory run blue, green, red, alpha.
    YK_RGBA_COLOR_SPACE = 3,
    YK_RGBA64_COLOR_SPACE = 4,
};

// Bytes per pixel of a colour space; values outside 0..4 count as 32-bit pixels.
constexpr int32 yk_bytes_per_pixel(int32 space) {
    switch (space) {
        case YK_GRAY1_COLOR_SPACE:
        case YK_GRAY8_COLOR_SPACE:
            return 1;
        case YK_RGB16_COLOR_SPACE:
            return 2;
        case YK_RGBA64_COLOR_SPACE:
            return 8;
        default:
            return 4;
    }
}
