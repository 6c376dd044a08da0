#pragma once

// How a pencil dab changes the pixels under it, and the profile of its mask.

#include "yk_types.h"

enum yk_brush_mode : int32 {
    YK_BRUSH_COLOR = 0,
    YK_BRUSH_ERASE = 1,
    YK_BRUSH_BURN_SUN = 2,
    YK_BRUSH_BURN_DARKNESS = 3,
    YK_BRUSH_BURN_SUN_COLOR = 4,
    YK_BRUSH_BURN_DARKNESS_COLOR = 5,
    YK_BRUSH_RGB_CYCLE_UP = 6,
    YK_BRUSH_RGB_CYCLE_DOWN = 7,
    // Left to the paint layer: a dab in these modes changes no pixel.
    YK_BRUSH_SMEAR = 8,
    YK_BRUSH_BLUR = 9,
};

constexpr int32 YK_BRUSH_MODE_COUNT = 10;

enum yk_brush_shape : int32 {
    // Falls off from the centre; hardness 1 makes a flat disc.
    YK_BRUSH_SOFT = 0,
    // A ring at half the radius; the harder, the thinner.
    YK_BRUSH_RING = 1,
    // The soft profile inverted: clear at the centre, dense toward the rim.
    YK_BRUSH_SPHERE = 2,
};

constexpr int32 YK_BRUSH_SHAPE_COUNT = 3;

// The names the brush panel shows, indexed by the enumerations.
extern const char* const yk_brush_mode_label[YK_BRUSH_MODE_COUNT];
extern const char* const yk_brush_shape_label[YK_BRUSH_SHAPE_COUNT];
