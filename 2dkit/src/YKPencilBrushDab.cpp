// One pencil dab: the mask's weight per pixel (pressure, brush alpha, texture) and the brush
// mode's rule, applied row by row to the bitmap.

#include <algorithm>
#include <array>

#include "YKBitmap.h"
#include "YKPencilBrushRenderer.h"

namespace {

constexpr int32 kStride = YKPencilBrushRenderer::kMaskStride;
// Below this weight a dab may be raised by one level of W, at random, so that a faint stroke
// still deposits colour instead of rounding to nothing.
constexpr uint32 kFaintWeight = 0xFFFFF;
constexpr uint32 kFaintRaise = 0x10000;
// Added before the texture's modulo so that it tiles from any origin.
constexpr int64 kTextureBias = 0x7FFFFFF;

// Channels in pixel order: blue, green, red, alpha (shift 8·i).
using Channels = std::array<int32, 4>;

Channels Split(uint32 pixel) {
    return {int32(pixel & 255), int32(pixel >> 8 & 255), int32(pixel >> 16 & 255),
            int32(pixel >> 24)};
}

uint32 Pack(const Channels& c) {
    return uint32(c[0]) | uint32(c[1]) << 8 | uint32(c[2]) << 16 | uint32(c[3]) << 24;
}

// Moves c toward `target` by w/2^24 of the way (plus `bias` in the difference).
int32 Toward(int32 c, int32 target, uint32 w, int32 bias = 0) {
    return c + static_cast<int32>((int64{target} - c + bias) * w >> 24);
}

// The brush's rule for one pixel under weight w (0 < w < 2^24); m is the distance-mask byte.
// Colour modes start a transparent pixel from the brush colour, burn modes from black.
template <int32 Mode>
uint32 Mix(uint32 pixel, uint32 w, int32 m, const Channels& brush) {
    constexpr bool kZeroStart = Mode == YK_BRUSH_BURN_SUN || Mode == YK_BRUSH_BURN_DARKNESS;
    if (pixel >> 24 == 0) {
        pixel = kZeroStart ? 0 : Pack(brush) & 0xFFFFFF;
    }
    Channels c = Split(pixel);
    const int32 W = static_cast<int32>(w >> 16);
    for (int32 i = 0; i < 4; ++i) {
        const bool alpha = i == 3;
        const int32 t = brush[i];
        int32& v = c[i];
        if constexpr (Mode == YK_BRUSH_COLOR) {
            v = Toward(v, t, w, 1);
        } else if constexpr (Mode == YK_BRUSH_ERASE) {
            v = alpha ? std::max(0, v - W) : v;
        } else if constexpr (Mode == YK_BRUSH_BURN_SUN) {
            v = std::min(255, v + W);
        } else if constexpr (Mode == YK_BRUSH_BURN_DARKNESS) {
            v = alpha ? std::min(255, v + W) : std::max(0, v - W);
        } else if constexpr (Mode == YK_BRUSH_BURN_SUN_COLOR) {
            v = Toward(v, std::min(255, t + 255 - m), w);
        } else if constexpr (Mode == YK_BRUSH_BURN_DARKNESS_COLOR) {
            v = Toward(v, alpha ? std::min(255, t + 255 - m) : std::max(0, t - 255 + m), w);
        } else if constexpr (Mode == YK_BRUSH_RGB_CYCLE_UP) {
            v = alpha ? v : (v - W) & 255;
        } else if constexpr (Mode == YK_BRUSH_RGB_CYCLE_DOWN) {
            v = alpha ? v : (v + W) & 255;
        }
    }
    return Pack(c);
}

int64 FloorMod(int64 a, int64 b) {
    const int64 r = a % b;
    return r < 0 ? r + b : r;
}

}  // namespace

template <int32 Mode>
void YKPencilBrushRenderer::DrawRows(YKBitmap* bitmap, YKPoint<int32> origin, int32 side) {
    const Channels brush{mBlue, mGreen, mRed, mAlpha};
    const uint32 base = uint32{mPressure} * uint32(mAlpha);
    std::array<uint32, kStride> row;
    for (int32 j = 0; j < side; ++j) {
        const int32 y = origin.y + j;
        uint32* line = bitmap->GetLineAt(y, origin.x, origin.x + side - 1, false, row.data());
        if (line == nullptr) {
            continue;
        }
        const uint8* mask = &mDabMask[j * kStride];
        const uint8* distance = &mDistanceMask[j * kStride];
        const uint8* texels =
            mTexture.empty()
                ? nullptr
                : &mTexture[FloorMod(y + kTextureBias, mTextureHeight) * mTextureWidth];
        for (int32 i = 0; i < side; ++i) {
            uint32 w = mask[i] * base;
            if (texels != nullptr) {
                w = texels[FloorMod(origin.x + i + kTextureBias, mTextureWidth)] * (w / 255);
            }
            const uint32 level = w >> 8 & 255;
            // Below 63 the raise cannot happen; no number is drawn for it.
            if (w < kFaintWeight && level > 62 && RandomFraction() * level > 62) {
                w += kFaintRaise;
            }
            if (w != 0) {
                line[i] = Mix<Mode>(line[i], w, distance[i], brush);
            }
        }
        bitmap->SetLineAt(line, y, origin.x, origin.x + side - 1);
    }
}

void YKPencilBrushRenderer::DrawBrushReal(YKBitmap* bitmap, YKPoint<int32> point) {
    const int32 s = static_cast<int32>(mSize);
    const YKPoint<int32> origin{point.x - s / 2, point.y - s / 2};
    bitmap->AddFrame({origin.x, origin.y, origin.x + s, origin.y + s});
    switch (mMode) {
        case YK_BRUSH_COLOR:
            return DrawRows<YK_BRUSH_COLOR>(bitmap, origin, s + 1);
        case YK_BRUSH_ERASE:
            return DrawRows<YK_BRUSH_ERASE>(bitmap, origin, s + 1);
        case YK_BRUSH_BURN_SUN:
            return DrawRows<YK_BRUSH_BURN_SUN>(bitmap, origin, s + 1);
        case YK_BRUSH_BURN_DARKNESS:
            return DrawRows<YK_BRUSH_BURN_DARKNESS>(bitmap, origin, s + 1);
        case YK_BRUSH_BURN_SUN_COLOR:
            return DrawRows<YK_BRUSH_BURN_SUN_COLOR>(bitmap, origin, s + 1);
        case YK_BRUSH_BURN_DARKNESS_COLOR:
            return DrawRows<YK_BRUSH_BURN_DARKNESS_COLOR>(bitmap, origin, s + 1);
        case YK_BRUSH_RGB_CYCLE_UP:
            return DrawRows<YK_BRUSH_RGB_CYCLE_UP>(bitmap, origin, s + 1);
        case YK_BRUSH_RGB_CYCLE_DOWN:
            return DrawRows<YK_BRUSH_RGB_CYCLE_DOWN>(bitmap, origin, s + 1);
        default:
            return;  // Smear, Blur and unknown modes leave the pixels as they are
    }
}
