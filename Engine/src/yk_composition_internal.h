#pragma once

// The per-pixel bodies of the merge methods. The pixel, colour-run and array forms are all made
// from these, so they agree pixel for pixel; the vector kernels reproduce them exactly.
//
// Sections: channel helpers, compose, mix and its colour functions, HSV, the other methods.

#include <algorithm>
#include <cstdlib>

#include "yk_composition.h"

namespace yk_merge {

// --- Channel helpers ---

constexpr uint32 kOpaque = 0xFF000000u;
constexpr uint32 kColour = 0x00FFFFFFu;

inline uint32 Alpha(uint32 p) {
    return p >> 24;
}
inline uint32 WithAlpha(uint32 p, uint32 a) {
    return (p & kColour) | a << 24;
}

// The red, green and blue bytes of f(d byte, s byte); alpha 0.
template <class F>
inline uint32 PerChannel(uint32 d, uint32 s, F f) {
    return f((d >> 16) & 255, (s >> 16) & 255) << 16 | f((d >> 8) & 255, (s >> 8) & 255) << 8 |
           f(d & 255, s & 255);
}

// --- Compose ---

// s's colour onto d with the source alpha already scaled to a.
inline uint32 ComposeScaled(uint32 d, uint32 s, uint32 a) {
    if (a == 0) {
        return d;
    }
    const uint32 dA = Alpha(d);
    if (a == 255 || dA == 0) {
        return WithAlpha(s, a);
    }
    if (dA == 255) {
        // Onto an opaque destination a shift stands in for the division by 255.
        return kOpaque | PerChannel(d, s, [a](uint32 dc, uint32 sc) {
                   return (sc * a + dc * (255 - a)) >> 8;
               });
    }
    const uint32 ws = a * 255;
    const uint32 wd = (255 - a) * dA;
    const uint32 sum = ws + wd;
    return round255(sum) << 24 |
           PerChannel(d, s, [=](uint32 dc, uint32 sc) { return (sc * ws + dc * wd) / (sum + 1); });
}

struct Compose {
    static constexpr bool kLevelZeroKeeps = true;
    static uint32 Pixel(uint32 d, uint32 s, uint32 level) {
        return ComposeScaled(d, s, yk_scale(Alpha(s), level));
    }
};

// --- Mix ---

// M::Colour(d, s) gives the mixed red, green and blue of two pixels.
template <class M>
struct Mix {
    static constexpr bool kLevelZeroKeeps = false;
    static uint32 Pixel(uint32 d, uint32 s, uint32 level) {
        const uint32 sA = Alpha(s);
        if (sA == 0) {
            return d;
        }
        const uint32 dA = Alpha(d);
        if (dA == 0) {
            return WithAlpha(s, yk_scale(sA, level));
        }
        // Where the destination is thin the mixed colour leans back towards the source.
        const uint32 c = PerChannel(M::Colour(d, s), s, [dA](uint32 mc, uint32 sc) {
            return round255(mc * dA + sc * (255 - dA));
        });
        return ComposeScaled(d, c, yk_scale(sA, level));
    }
};

// A mix whose colour is F applied to each channel on its own.
template <class F>
struct Separable {
    static uint32 Colour(uint32 d, uint32 s) { return PerChannel(d, s, F{}); }
};

struct MultiplyChannel {
    uint32 operator()(uint32 d, uint32 s) const { return round255(d * s); }
};
struct ScreenChannel {
    uint32 operator()(uint32 d, uint32 s) const { return round255(65025 - (255 - d) * (255 - s)); }
};
struct AddChannel {
    uint32 operator()(uint32 d, uint32 s) const { return std::min(255u, d + s); }
};
struct SubtractChannel {
    uint32 operator()(uint32 d, uint32 s) const { return d > s ? d - s : 0; }
};
struct DarkestChannel {
    uint32 operator()(uint32 d, uint32 s) const { return std::min(d, s); }
};
struct LightestChannel {
    uint32 operator()(uint32 d, uint32 s) const { return std::max(d, s); }
};
struct DifferenceChannel {
    uint32 operator()(uint32 d, uint32 s) const { return d > s ? d - s : s - d; }
};
struct AverageChannel {
    uint32 operator()(uint32 d, uint32 s) const { return (d + s) >> 1; }
};
struct InvertChannel {
    uint32 operator()(uint32 d, uint32) const { return 255 - d; }
};
struct XorChannel {
    uint32 operator()(uint32 d, uint32 s) const { return d ^ s; }
};

// --- HSV ---

// Hue 0..1529 in six sectors of 255; saturation and value 0..255.
struct Hsv {
    int32 h;
    int32 s;
    int32 v;
};

inline Hsv ToHsv(uint32 p) {
    const int32 r = (p >> 16) & 255;
    const int32 g = (p >> 8) & 255;
    const int32 b = p & 255;
    const int32 v = std::max({r, g, b});
    const int32 delta = v - std::min({r, g, b});
    if (delta == 0) {
        return {1275, 0, v};  // grey: hue -255, wrapped like any negative hue
    }
    int32 h;
    if (r == v) {
        h = yk_divide((g - b) * 255, delta);
    } else if (g == v) {
        h = yk_divide((b - r) * 255, delta) + 510;
    } else {
        h = yk_divide((r - g) * 255, delta) + 1020;
    }
    return {h < 0 ? h + 1530 : h, yk_divide(delta * 255, v), v};
}

inline uint32 ToRgb(Hsv c) {
    const uint32 v = c.v;
    if (c.s == 0) {
        return v << 16 | v << 8 | v;
    }
    const uint32 s = c.s;
    const uint32 sector = c.h / 255;
    const uint32 f = c.h - 255 * sector;
    const uint32 p = (255 - s) * v / 255;
    const uint32 q = (255 - s * f / 255) * v / 255;
    const uint32 t = (255 - s * (255 - f) / 255) * v / 255;
    const auto rgb = [](uint32 r, uint32 g, uint32 b) { return r << 16 | g << 8 | b; };
    switch (sector) {
        case 0:
            return rgb(v, t, p);
        case 1:
            return rgb(q, v, p);
        case 2:
            return rgb(p, v, t);
        case 3:
            return rgb(p, q, v);
        case 4:
            return rgb(t, p, v);
        default:
            return rgb(v, p, q);
    }
}

struct ReplaceHueColour {
    static uint32 Colour(uint32 d, uint32 s) {
        const Hsv hd = ToHsv(d);
        return ToRgb({ToHsv(s).h, hd.s, hd.v});
    }
};
struct ReplaceSaturationColour {
    static uint32 Colour(uint32 d, uint32 s) {
        const Hsv hd = ToHsv(d);
        return ToRgb({hd.h, ToHsv(s).s, hd.v});
    }
};
struct ReplaceLuminosityColour {
    static uint32 Colour(uint32 d, uint32 s) {
        const Hsv hd = ToHsv(d);
        return ToRgb({hd.h, hd.s, ToHsv(s).v});
    }
};
struct ReplaceColourColour {
    static uint32 Colour(uint32 d, uint32 s) {
        const Hsv hs = ToHsv(s);
        return ToRgb({hs.h, hs.s, ToHsv(d).v});
    }
};

// --- The other methods ---

struct Erase {
    static constexpr bool kLevelZeroKeeps = false;
    static uint32 Pixel(uint32 d, uint32 s, uint32) {
        const uint32 sA = Alpha(s);
        const uint32 dA = Alpha(d);
        return sA == 0 ? d : WithAlpha(d, dA > sA ? dA - sA : 0);
    }
};

// Draws a random byte for every pixel it does not take whole, in pixel order.
struct Dissolve {
    static constexpr bool kLevelZeroKeeps = false;
    static uint32 Pixel(uint32 d, uint32 s, uint32 level) {
        const uint32 p = std::min(255u, Alpha(s) * level / 255);
        if (p == 255) {
            return s;
        }
        return static_cast<uint32>(std::rand() & 255) < p ? s | kOpaque : d;
    }
};

struct Copy {
    static constexpr bool kLevelZeroKeeps = false;
    static uint32 Pixel(uint32, uint32 s, uint32) { return s; }
};

struct Over {
    static constexpr bool kLevelZeroKeeps = false;
    static uint32 Pixel(uint32 d, uint32 s, uint32) { return Alpha(s) != 0 ? s : d; }
};

// Like compose onto an opaque destination, whatever the destination's alpha.
struct Overlay {
    static constexpr bool kLevelZeroKeeps = true;
    static uint32 Pixel(uint32 d, uint32 s, uint32 level) {
        const uint32 a = yk_scale(Alpha(s), level);
        if (a == 0) {
            return d;
        }
        if (a == 255) {
            return s;
        }
        return kOpaque | PerChannel(d, s, [a](uint32 dc, uint32 sc) {
                   return round255(sc * a + dc * (255 - a));
               });
    }
};

}  // namespace yk_merge
