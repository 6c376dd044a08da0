#include "YKAlphaBlend.h"

#include "yk_composition.h"

namespace {

uint32 Channel(uint32 p, int shift) {
    return (p >> shift) & 255;
}

// t over b with t's alpha already scaled to a (0..254).
uint32 ComposeWeighted(uint32 t, uint32 b, uint32 a) {
    const uint32 bA = b >> 24;
    const uint32 sum = 255 * (a + bA) - bA * a;
    if (sum == 0) {
        return 0;
    }
    const uint32 w = (255 - a) * bA;
    uint32 result = round255(sum) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        result |= (w * Channel(b, shift) + Channel(t, shift) * a * 255) / sum << shift;
    }
    return result;
}

// t's colour over b's with t's alpha already scaled to a; the result is opaque.
uint32 OverlayWeighted(uint32 t, uint32 b, uint32 a) {
    uint32 result = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        result |= round255(Channel(t, shift) * a + Channel(b, shift) * (255 - a)) << shift;
    }
    return result;
}

}  // namespace

uint32 YKAlphaBlend::Compose(uint32 top, uint32 bottom) {
    const uint32 tA = top >> 24;
    if (tA == 0) {
        return bottom;
    }
    return tA == 255 || (bottom >> 24) == 0 ? top : ComposeWeighted(top, bottom, tA);
}

uint32 YKAlphaBlend::Overlay(uint32 top, uint32 bottom) {
    const uint32 tA = top >> 24;
    if (tA == 255) {
        return top;
    }
    return tA == 0 ? bottom : OverlayWeighted(top, bottom, tA);
}

// The opacity is not applied to an opaque top pixel.
uint32 YKAlphaBlend::Compose(uint32 top, uint32 bottom, uint32 level) {
    const uint32 tA = top >> 24;
    if (tA == 255) {
        return top;
    }
    return tA == 0 ? bottom : ComposeWeighted(top, bottom, round255(tA * level));
}

uint32 YKAlphaBlend::Overlay(uint32 top, uint32 bottom, uint32 level) {
    const uint32 tA = top >> 24;
    if (tA == 255) {
        return top;
    }
    return tA == 0 ? bottom : OverlayWeighted(top, bottom, round255(tA * level));
}
