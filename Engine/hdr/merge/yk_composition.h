#pragma once

// The merge methods: how a source pixel is composited onto a destination pixel at an opacity
// (level, 0..255). Pixels are 32-bit straight colour: alpha in bits 24-31, red 16-23, green
// 8-15, blue 0-7. Each method exists in three forms that give the same result per pixel: one
// pixel, a run of destination pixels under one source colour, and two arrays.

#include "yk_types.h"

enum yk_composition_mode : int32 {
    YK_NORMAL = 0,
    YK_MULTIPLY = 1,
    YK_SCREEN = 2,
    YK_ERASE = 3,
    YK_ADD = 4,
    YK_SUBTRACT = 5,
    YK_DARKEST = 6,
    YK_LIGHTEST = 7,
    YK_DIFFERENCE = 8,
    YK_AVERAGE = 9,
    YK_INVERT = 10,
    YK_DISSOLVE = 11,
    YK_REPLACE_HUE = 12,
    YK_REPLACE_SATURATION = 13,
    YK_REPLACE_LUMINOSITY = 14,
    YK_REPLACE_COLOR = 15,
    YK_XOR_MASK = 16,
    YK_COPY = 17,
    YK_OVER = 18,
    YK_FILTER = 19,
    YK_OVERLAY = 20,
};

constexpr int32 YK_COMPOSITION_MODE_COUNT = 21;

// The display names, indexed by yk_composition_mode.
extern const char* const yk_composition_label[YK_COMPOSITION_MODE_COUNT];

// The whole result pixel.
using yk_pixel_func = uint32 (*)(uint32 d, uint32 s, uint32 level);
// `count` destination pixels, each composited with `color`.
using yk_color_func = void (*)(uint32* d, uint32 color, uint32 level, int32 count);
// `count` destination pixels, each composited with the source pixel at the same index.
using yk_array_func = void (*)(uint32* d, const uint32* s, uint32 level, int32 count);

extern const yk_pixel_func hash_pixel_func[YK_COMPOSITION_MODE_COUNT];
extern const yk_color_func hash_color_func[YK_COMPOSITION_MODE_COUNT];
extern const yk_array_func hash_array_func[YK_COMPOSITION_MODE_COUNT];

// A mode outside 0..20 is treated as "Normal".
inline yk_array_func yk_array_func_for(int32 mode) {
    return hash_array_func[mode >= 0 && mode < YK_COMPOSITION_MODE_COUNT ? mode : YK_NORMAL];
}
inline yk_color_func yk_color_func_for(int32 mode) {
    return hash_color_func[mode >= 0 && mode < YK_COMPOSITION_MODE_COUNT ? mode : YK_NORMAL];
}
inline yk_pixel_func yk_pixel_func_for(int32 mode) {
    return hash_pixel_func[mode >= 0 && mode < YK_COMPOSITION_MODE_COUNT ? mode : YK_NORMAL];
}

// x / 255 for x up to 65025 (over that range it is exactly the truncated quotient).
constexpr uint32 round255(uint32 x) {
    return ((x >> 8) + x + 1) >> 8;
}
// An alpha at an opacity.
constexpr uint32 yk_scale(uint32 a, uint32 level) {
    return level == 255 ? a : round255(a * level < 65025 ? a * level : 65025);
}

// x / divisor truncated toward zero, for |x| up to 65025 and divisor 1..255. Single-precision
// division gives the exact quotient there (its error stays below the 1/255 gap to the next
// integer) and, unlike integer division, vectorises.
constexpr int32 yk_divide(int32 x, int32 divisor) {
    return static_cast<int32>(static_cast<float>(x) / static_cast<float>(divisor));
}

#define YK_DECLARE_MERGE(suffix)                                                \
    uint32 yk_pixel_##suffix(uint32 d, uint32 s, uint32 level);                 \
    void yk_color_##suffix(uint32* d, uint32 color, uint32 level, int32 count); \
    void yk_array_##suffix(uint32* d, const uint32* s, uint32 level, int32 count);

YK_DECLARE_MERGE(alpha_compose)
YK_DECLARE_MERGE(alpha_overlay)
YK_DECLARE_MERGE(dissolve)
YK_DECLARE_MERGE(copy)
YK_DECLARE_MERGE(over)
YK_DECLARE_MERGE(erase)
YK_DECLARE_MERGE(filter)
YK_DECLARE_MERGE(add)
YK_DECLARE_MERGE(substract)
YK_DECLARE_MERGE(darkest)
YK_DECLARE_MERGE(lightest)
YK_DECLARE_MERGE(multiply)
YK_DECLARE_MERGE(screen)
YK_DECLARE_MERGE(difference)
YK_DECLARE_MERGE(average)
YK_DECLARE_MERGE(invert)
YK_DECLARE_MERGE(replace_hue)
YK_DECLARE_MERGE(replace_saturation)
YK_DECLARE_MERGE(replace_luminosity)
YK_DECLARE_MERGE(replace_color)
YK_DECLARE_MERGE(xormask)

#undef YK_DECLARE_MERGE
