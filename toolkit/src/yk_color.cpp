#include "yk_color.h"

namespace {

// Integer division rounded to nearest; both operands are non-negative.
constexpr uint8 DivRound(uint32 numerator, uint32 denominator) {
    return static_cast<uint8>((numerator + denominator / 2) / denominator);
}

}  // namespace

yk_color::yk_color(uint8 r, uint8 g, uint8 b, uint8 a) {
    SetRGBA(r, g, b, a);
}

yk_color::yk_color(const rgb_color& c) {
    SetRGBA(c);
}

yk_color::yk_color(uint32 argbPixel) {
    SetARGBPixel(argbPixel);
}

void yk_color::SetRGBA(uint8 r, uint8 g, uint8 b, uint8 a) {
    red = r;
    green = g;
    blue = b;
    alpha = a;
    RGB2CMYK();
}

void yk_color::SetRGBA(const rgb_color& c) {
    SetRGBA(c.red, c.green, c.blue, c.alpha);
}

void yk_color::SetCMYKA(uint8 c, uint8 m, uint8 y, uint8 k, uint8 a) {
    cyan = c;
    magenta = m;
    yellow = y;
    black = k;
    alpha = a;
    const uint32 white = 255u - k;
    red = DivRound((255u - c) * white, 255u);
    green = DivRound((255u - m) * white, 255u);
    blue = DivRound((255u - y) * white, 255u);
}

void yk_color::RGB2CMYK() {
    uint8 brightest = red;
    if (green > brightest) {
        brightest = green;
    }
    if (blue > brightest) {
        brightest = blue;
    }
    black = static_cast<uint8>(255u - brightest);
    if (brightest == 0) {
        // Pure black: the chromatic part is undefined, keep it neutral.
        cyan = magenta = yellow = 0;
        return;
    }
    // 255 - channel - k is the channel's distance below the brightest one, and 255 - k is
    // the brightest channel itself: each ink is that distance scaled to the full range.
    cyan = DivRound(static_cast<uint32>(brightest - red) * 255u, brightest);
    magenta = DivRound(static_cast<uint32>(brightest - green) * 255u, brightest);
    yellow = DivRound(static_cast<uint32>(brightest - blue) * 255u, brightest);
}

rgb_color yk_color::RGBColor() const {
    return rgb_color{red, green, blue, alpha};
}

uint32 yk_color::ARGBPixel() const {
    return (static_cast<uint32>(alpha) << 24) | (static_cast<uint32>(red) << 16) |
           (static_cast<uint32>(green) << 8) | static_cast<uint32>(blue);
}

void yk_color::SetARGBPixel(uint32 argbPixel) {
    SetRGBA(static_cast<uint8>(argbPixel >> 16), static_cast<uint8>(argbPixel >> 8),
            static_cast<uint8>(argbPixel), static_cast<uint8>(argbPixel >> 24));
}

bool yk_color::operator==(const yk_color& other) const {
    return red == other.red && green == other.green && blue == other.blue && alpha == other.alpha;
}
