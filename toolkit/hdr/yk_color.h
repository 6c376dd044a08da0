#pragma once

#include "yk_types.h"

// The platform's plain colour record.
struct rgb_color {
    uint8 red;
    uint8 green;
    uint8 blue;
    uint8 alpha;
};

// An 8-bit RGBA colour with its CMYK equivalent kept beside it (for the colour pickers' CMYK
// mode). Alpha 255 is opaque, 0 transparent. The eight bytes are public and in this order
// because animated colours interpolate them one by one.
struct yk_color {
    uint8 red = 0;
    uint8 green = 0;
    uint8 blue = 0;
    uint8 alpha = 0;
    uint8 cyan = 0;
    uint8 magenta = 0;
    uint8 yellow = 0;
    uint8 black = 255;

    // Transparent black.
    constexpr yk_color() = default;
    yk_color(uint8 r, uint8 g, uint8 b, uint8 a = 255);
    explicit yk_color(const rgb_color& c);
    // From a 32-bit pixel: alpha in bits 24-31, red 16-23, green 8-15, blue 0-7.
    explicit yk_color(uint32 argbPixel);

    void SetRGBA(uint8 r, uint8 g, uint8 b, uint8 a);
    void SetRGBA(const rgb_color& c);
    // Sets the CMYK part and alpha, and derives red, green and blue from them.
    void SetCMYKA(uint8 c, uint8 m, uint8 y, uint8 k, uint8 a);
    // Recomputes the CMYK part from red, green and blue.
    void RGB2CMYK();

    rgb_color RGBColor() const;
    uint32 ARGBPixel() const;
    void SetARGBPixel(uint32 argbPixel);

    // Colours compare by their visible value: red, green, blue and alpha.
    bool operator==(const yk_color& other) const;
    bool operator!=(const yk_color& other) const { return !(*this == other); }
};

static_assert(sizeof(yk_color) == 8, "yk_color is eight bytes");
