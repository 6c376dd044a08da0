#pragma once

// There is no platform bitmap on Linux. A "native" raster keeps its pixels in this stand-in
// instead: a zeroed 32-bit buffer of the bounds' size that the raster owns, so that code asking
// a raster for its platform bitmap still gets one.

#include <memory>
#include <new>

#include "YKRect.h"
#include "yk_image_limits.h"
#include "yk_types.h"

class YKPlatformBitmap {
public:
    // The platform's code of its 32-bit colour space.
    static constexpr int32 kRGB32 = 8;

    // Bounds (0, 0, right, bottom) truncated to integers give the size; a size out of range
    // (yk_image_size_ok) gets no pixels.
    explicit YKPlatformBitmap(YKRect<float> bounds) : mBounds(bounds) {
        // Checked as floats first: converting an out-of-range float is undefined.
        const auto side = [](float last) {
            return last >= 0.0f && last < static_cast<float>(kYKMaxImageSide);
        };
        if (!side(bounds.right) || !side(bounds.bottom)) {
            return;
        }
        const int64 width = static_cast<int64>(bounds.right) + 1;
        const int64 height = static_cast<int64>(bounds.bottom) + 1;
        if (yk_image_size_ok(width, height, 4)) {
            mBytesPerRow = static_cast<int32>(width) * 4;
            mBits.reset(new (std::nothrow) uint32[static_cast<std::size_t>(width * height)]());
        }
    }

    bool IsValid() const { return mBits != nullptr; }
    uint8* Bits() const { return reinterpret_cast<uint8*>(mBits.get()); }
    int32 BytesPerRow() const { return IsValid() ? mBytesPerRow : 0; }
    YKRect<float> Bounds() const { return mBounds; }
    int32 ColorSpace() const { return kRGB32; }

private:
    YKRect<float> mBounds;
    int32 mBytesPerRow = 0;
    std::unique_ptr<uint32[]> mBits;
};
