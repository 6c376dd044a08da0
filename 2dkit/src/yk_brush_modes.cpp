#include "yk_brush_modes.h"

const char* const yk_brush_mode_label[YK_BRUSH_MODE_COUNT] = {
    "Color",         "Erase",          "Burn Sun",
    "Burn Darkness", "Burn Sun&Color", "Burn Darkness&Color",
    "RGB Cycle Up",  "RGB Cycle Down", "Smear",
    "Blur",
};

const char* const yk_brush_shape_label[YK_BRUSH_SHAPE_COUNT] = {
    "Soft",
    "Ring",
    "Sphere",
};
