#include "YKDrawBitmap.h"

#include <algorithm>
#include <vector>

#include "YKAlphaBlend.h"
#include "YKRaster.h"

namespace {

// Far beyond any useful view, and small enough that no step or coordinate overflows.
constexpr int32 kMaxZoom = 255;
constexpr int32 kCheckerShift = 3;  // squares of 8 screen pixels

// A channel lightened towards 192 by its transparency, never above itself.
uint32 Lighten(uint32 channel, uint32 alpha) {
    return std::min(channel, channel * alpha / 255 + 192);
}

int32 FloorDiv(int32 a, int32 b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

}  // namespace

YKDrawBitmap::YKDrawBitmap(const char* name) : YKBitmap(name, YK_RGBA_COLOR_SPACE) {
    SetBoardColor(mBoardColor, mChecker);
    SetZoom(0);
}

void YKDrawBitmap::SetBoardColor(uint32 color, bool checker) {
    mBoardColor = color;
    mChecker = checker;
    mBoardPixels[0] = color;
    mBoardPixels[1] = color;
    if (checker) {
        const uint32 alpha = color >> 24;
        mBoardPixels[1] = (color & 0xFF000000) | Lighten((color >> 16) & 255, alpha) << 16 |
                          Lighten((color >> 8) & 255, alpha) << 8 | Lighten(color & 255, alpha);
    }
}

// --- Zoom ---

void YKDrawBitmap::SetZoom(int32 zoom) {
    mZoom = std::clamp(zoom, -kMaxZoom, kMaxZoom);
    const int32 step = mZoom > 0 ? 0x10000 / (mZoom + 1) : (1 - mZoom) << 16;
    mHorizontalStep = step;
    mVerticalStep = step;
}

float YKDrawBitmap::ApplyZoom(float value) const {
    if (mZoom > 0) {
        return value * static_cast<float>(mZoom + 1);
    }
    return value / static_cast<float>(1 - mZoom);
}

float YKDrawBitmap::UnapplyZoom(float value) const {
    if (mZoom > 0) {
        return value / static_cast<float>(mZoom + 1);
    }
    return value * static_cast<float>(1 - mZoom);
}

YKPoint<float> YKDrawBitmap::ApplyZoom(YKPoint<float> point) const {
    return {ApplyZoom(point.x), ApplyZoom(point.y)};
}

YKPoint<float> YKDrawBitmap::UnapplyZoom(YKPoint<float> point) const {
    return {UnapplyZoom(point.x), UnapplyZoom(point.y)};
}

YKRect<float> YKDrawBitmap::ApplyZoom(YKRect<float> rect) const {
    const float grow = mZoom > 0 ? static_cast<float>(mZoom) : 0.0f;
    return {ApplyZoom(rect.left), ApplyZoom(rect.top), ApplyZoom(rect.right) + grow,
            ApplyZoom(rect.bottom) + grow};
}

YKRect<float> YKDrawBitmap::UnapplyZoom(YKRect<float> rect) const {
    const float grow = mZoom > 0 ? static_cast<float>(mZoom) : 0.0f;
    return {UnapplyZoom(rect.left), UnapplyZoom(rect.top), UnapplyZoom(rect.right - grow),
            UnapplyZoom(rect.bottom - grow)};
}

int32 YKDrawBitmap::ToDocument(int32 screen) const {
    if (mZoom > 0) {
        return FloorDiv(screen, mZoom + 1);
    }
    const int64 document = int64{screen} * (1 - mZoom);
    return static_cast<int32>(std::clamp<int64>(document, INT32_MIN, INT32_MAX));
}

// --- Display ---

void YKDrawBitmap::DrawIn(YKRaster* raster, YKRect<int32> rect) {
    if (raster == nullptr || raster->Bits() == nullptr || raster->BytesPerPixel() != 4) {
        return;
    }
    const YKRect<int32> area = rect & raster->Frame();
    if (!area.IsValid()) {
        return;
    }
    const int32 first = ToDocument(area.left);
    std::vector<uint32> line(static_cast<std::size_t>(ToDocument(area.right) - first + 1));
    const bool onlyDocument = !mOverscan && mDocumentFrame.IsValid();
    const YKRect<int32> frame = raster->Frame();
    for (int32 y = area.top; y <= area.bottom; ++y) {
        const int32 documentY = ToDocument(y);
        GetLineAt(documentY, first, first + static_cast<int32>(line.size()) - 1, false,
                  line.data());
        auto* out = reinterpret_cast<uint32*>(raster->Bits() + static_cast<int64>(y - frame.top) *
                                                                   raster->BytesPerRow()) +
                    (area.left - frame.left);
        for (int32 x = area.left; x <= area.right; ++x, ++out) {
            const int32 documentX = ToDocument(x);
            uint32 pixel = line[static_cast<std::size_t>(documentX - first)];
            if (onlyDocument && !mDocumentFrame.Contains({documentX, documentY})) {
                pixel = 0;
            }
            const uint32 board = mBoardPixels[((x >> kCheckerShift) ^ (y >> kCheckerShift)) & 1];
            // The transparency adjustment of the image writers, so that an export laid over
            // its background shows what the window shows.
            *out = YKAlphaBlend::Compose(pixel, board);
        }
    }
}
