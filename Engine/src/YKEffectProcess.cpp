// The pixel side of YKEffectLayer: composing with the effect bitmaps and computing them from
// the alpha of the layer's rendering.

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "YKBitmap.h"
#include "YKEffectLayer.h"
#include "yk_composition.h"

// Sections: composition · the alpha map · computing the effects.

namespace {

// The effects look this far beyond the rendering, so blurred and moved masks are not cut off.
constexpr int32 kEffectMargin = 64;
// Effects of larger renderings would need masks of hundreds of megabytes; they are skipped.
constexpr int64 kMaxEffectPixels = int64{8192} * 8192;

uint32 ColorAlpha(int32 color) {
    return static_cast<uint32>(color) >> 24;
}
uint32 WithAlpha(int32 color, uint32 alpha) {
    return (static_cast<uint32>(color) & 0x00FFFFFFu) | (alpha << 24);
}
// Effect strength: mask x colour alpha x intensity, with 256 meaning 1.0 on both factors;
// limited by `content` (the content's alpha) before it is clamped, so that an intensity above
// 1.0 makes up for translucent content.
uint32 Strength(uint32 mask, uint32 colorAlpha, int32 intensity, uint32 content = 255) {
    const int64 value = ((static_cast<int64>(mask) * colorAlpha * intensity) >> 16) * content / 255;
    return static_cast<uint32>(std::clamp<int64>(value, 0, 255));
}

}  // namespace

// --- Composition ---

void YKEffectLayer::ComposeLayer(YKBitmap* destination, YKRect<int32> rect) {
    ComposeBeforeEffect(destination, rect, YK_NORMAL);
    YKLayer::ComposeLayer(destination, rect);
    ComposeAfterEffect(destination, rect, YK_NORMAL);
}

void YKEffectLayer::ComposeBeforeEffect(YKBitmap* destination, YKRect<int32> rect, int32 mode) {
    if (destination != nullptr && mEffectEnabled && !mBeforeEffect.IsEmpty()) {
        destination->MergeWith(&mBeforeEffect, rect, mode, 255);
    }
}

void YKEffectLayer::ComposeAfterEffect(YKBitmap* destination, YKRect<int32> rect, int32 mode) {
    if (destination != nullptr && mEffectEnabled && !mAfterEffect.IsEmpty()) {
        destination->MergeWith(&mAfterEffect, rect, mode, 255);
    }
}

YKRect<int32> YKEffectLayer::Frame() const {
    return mBeforeEffect.Frame() | mAfterEffect.Frame();
}

void YKEffectLayer::ClearEffect() {
    mBeforeEffect.MakeEmpty();
    mAfterEffect.MakeEmpty();
}

void YKEffectLayer::MoveEffectBy(YKPoint<int32> offset) {
    mBeforeEffect.MoveBy(offset);
    mAfterEffect.MoveBy(offset);
}

const YKBitmap* YKEffectLayer::EffectSource(YKBitmap* scratch, YKRect<int32> frame) {
    ComposeLayer(scratch, frame);
    return scratch;
}

// --- The alpha map ---

// The alpha of the rendering over the layer's frame grown by the margin, one byte per pixel.
struct YKEffectLayer::AlphaMap {
    YKRect<int32> rect;
    int32 width = 0;
    int32 height = 0;
    std::vector<uint8> alpha;

    uint8 At(int32 x, int32 y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return 0;
        }
        return alpha[static_cast<std::size_t>(y) * width + x];
    }
    // The map moved by (dx, dy): each value comes from (x - dx, y - dy), 0 from outside.
    std::vector<uint8> Shifted(int32 dx, int32 dy) const {
        std::vector<uint8> out(alpha.size());
        // In 64 bits: offsets come from files and may be anything.
        const int64 x0 = std::max<int64>(0, dx);
        const int64 x1 = std::min<int64>(width, int64{width} + dx);
        for (int64 y = 0; y < height; ++y) {
            const int64 sy = y - dy;
            if (sy < 0 || sy >= height || x0 >= x1) {
                continue;
            }
            std::copy_n(alpha.data() + sy * width + (x0 - dx), x1 - x0,
                        out.data() + y * width + x0);
        }
        return out;
    }
};

// --- Computing the effects ---

void YKEffectLayer::SetEffectEnable(bool on) {
    mEffectEnabled = on;
    if (on) {
        ProcessEffect();
    }
    ComputeTotalRadius();
}

void YKEffectLayer::ProcessEffect() {
    if (!mEffectEnabled) {
        return;
    }
    ClearEffect();
    const YKRect<int32> frame = Frame();
    if (!frame.IsValid()) {
        return;
    }
    AlphaMap map;
    map.rect = {frame.left - kEffectMargin, frame.top - kEffectMargin, frame.right + kEffectMargin,
                frame.bottom + kEffectMargin};
    const int64 width = int64{map.rect.right} - map.rect.left + 1;
    const int64 height = int64{map.rect.bottom} - map.rect.top + 1;
    if (width * height > kMaxEffectPixels) {
        return;
    }
    map.width = static_cast<int32>(width);
    map.height = static_cast<int32>(height);
    map.alpha.resize(static_cast<std::size_t>(width * height));
    {
        YKBitmap scratch;
        YKBitmap* source = const_cast<YKBitmap*>(EffectSource(&scratch, frame));
        std::vector<uint32> line(static_cast<std::size_t>(width));
        for (int32 y = 0; y < map.height; ++y) {
            source->GetLineAt(map.rect.top + y, map.rect.left, map.rect.right, false, line.data());
            uint8* row = map.alpha.data() + static_cast<std::size_t>(y) * map.width;
            for (int32 x = 0; x < map.width; ++x) {
                row[x] = static_cast<uint8>(line[x] >> 24);
            }
        }
    }
    const int32 flags = mProcessFlags;
    if (flags & kInnerShadow) {
        ApplyShadow(map, &mAfterEffect, true, mInnerShadowRadius, mInnerShadowDx, mInnerShadowDy,
                    mInnerShadowIntensity, mInnerShadowColor);
    }
    if (flags & kInnerGlow) {
        ApplyShadow(map, &mAfterEffect, true, mInnerGlowRadius, 0, 0, mInnerGlowIntensity,
                    mInnerGlowColor);
    }
    if (flags & kOutline) {
        ApplyOutline(map);
    }
    if (flags & kOuterShadow) {
        ApplyShadow(map, &mBeforeEffect, false, mOuterShadowRadius, mOuterShadowDx, mOuterShadowDy,
                    mOuterShadowIntensity, mOuterShadowColor);
    }
    if (flags & kOuterGlow) {
        ApplyShadow(map, &mBeforeEffect, false, mOuterGlowRadius, 0, 0, mOuterGlowIntensity,
                    mOuterGlowColor);
    }
    if (flags & kEmboss) {
        ApplyEmboss(map);
    }
    mBeforeEffect.OptimizeFrame();
    mAfterEffect.OptimizeFrame();
}

namespace {

// Lays an effect into a bitmap row by row. strength(x, y) gives the effect's alpha and colour
// at a map position (alpha 0: nothing); `overExisting` puts the effect over what the bitmap
// holds, otherwise under it. Only the span of each row that the effect reaches is read and written,
// so effect bitmaps stay as sparse as the effect.
template <typename StrengthAt>
void LayEffect(YKBitmap* target, YKRect<int32> rect, int32 width, int32 height, bool overExisting,
               StrengthAt strengthAt) {
    std::vector<uint32> effect(static_cast<std::size_t>(width));
    std::vector<uint32> line(static_cast<std::size_t>(width));
    for (int32 y = 0; y < height; ++y) {
        int32 first = width;
        int32 last = -1;
        for (int32 x = 0; x < width; ++x) {
            effect[x] = strengthAt(x, y);
            if (effect[x] >> 24) {
                first = std::min(first, x);
                last = x;
            }
        }
        if (last < first) {
            continue;
        }
        const int32 row = rect.top + y;
        target->GetLineAt(row, rect.left + first, rect.left + last, false, line.data());
        for (int32 x = first; x <= last; ++x) {
            const uint32 e = effect[x];
            if ((e >> 24) == 0) {
                continue;
            }
            uint32& pixel = line[x - first];
            pixel = overExisting ? yk_pixel_alpha_compose(pixel, e, 255)
                                 : yk_pixel_alpha_compose(e, pixel, 255);
        }
        target->SetLineAt(line.data(), row, rect.left + first, rect.left + last);
    }
}

}  // namespace

void YKEffectLayer::ApplyShadow(const AlphaMap& alpha, YKBitmap* target, bool inner, float radius,
                                int32 dx, int32 dy, int32 intensity, int32 color) {
    std::vector<uint8> mask = alpha.Shifted(dx, dy);
    SetRadius(radius);
    Blur8(mask.data(), alpha.width, alpha.height);
    const uint32 colorAlpha = ColorAlpha(color);
    const int32 width = alpha.width;
    if (inner) {
        // Inside the content, where the moved and blurred mask leaves a gap; the content's
        // own alpha limits it, and what the after bitmap holds stays on top.
        LayEffect(target, alpha.rect, width, alpha.height, false, [&](int32 x, int32 y) {
            const std::size_t i = static_cast<std::size_t>(y) * width + x;
            return WithAlpha(color, Strength(255 - mask[i], colorAlpha, intensity, alpha.alpha[i]));
        });
    } else {
        LayEffect(target, alpha.rect, width, alpha.height, true, [&](int32 x, int32 y) {
            const std::size_t i = static_cast<std::size_t>(y) * width + x;
            return WithAlpha(color, Strength(mask[i], colorAlpha, intensity));
        });
    }
}

void YKEffectLayer::ApplyOutline(const AlphaMap& alpha) {
    std::vector<uint8> mask = alpha.alpha;
    Outline(mask.data(), alpha.width, alpha.height);
    const uint32 colorAlpha = ColorAlpha(mOutlineColor);
    const int32 width = alpha.width;
    // The spread mask is the outline's coverage: it scales the colour's alpha.
    LayEffect(&mBeforeEffect, alpha.rect, width, alpha.height, true, [&](int32 x, int32 y) {
        const uint32 m = mask[static_cast<std::size_t>(y) * width + x];
        return WithAlpha(mOutlineColor, m * colorAlpha / 255);
    });
}

void YKEffectLayer::ApplyEmboss(const AlphaMap& alpha) {
    if (mEmbossMode < 0 || mEmbossMode > 2) {
        return;
    }
    AlphaMap blurred = alpha;
    SetRadius(mEmbossRadius);
    Blur8(blurred.alpha.data(), alpha.width, alpha.height);
    const int32 hx = mEmbossDx / 2;
    const int32 hy = mEmbossDy / 2;
    const int32 mode = mEmbossMode;
    const auto relief = [&](int32 x, int32 y) -> int32 {
        const int64 ax = int64{x} + hx, ay = int64{y} + hy;
        const int64 bx = int64{x} - hx, by = int64{y} - hy;
        const auto inside = [&](int64 px, int64 py) {
            return px >= 0 && py >= 0 && px < alpha.width && py < alpha.height;
        };
        if (!inside(ax, ay) || !inside(bx, by)) {
            return 0;
        }
        return int32{blurred.At(static_cast<int32>(ax), static_cast<int32>(ay))} -
               blurred.At(static_cast<int32>(bx), static_cast<int32>(by));
    };
    YKBitmap* target = mode == 1 ? &mBeforeEffect : &mAfterEffect;
    LayEffect(target, alpha.rect, alpha.width, alpha.height, false, [&](int32 x, int32 y) {
        const int32 d = relief(x, y);
        const int32 color = d < 0 ? mEmbossLowColor : mEmbossHighColor;
        // Mode 2 keeps the relief inside the content.
        const uint32 content = mode == 2 ? alpha.At(x, y) : 255;
        return WithAlpha(color, Strength(static_cast<uint32>(std::abs(d)), ColorAlpha(color),
                                         mEmbossIntensity, content));
    });
}
