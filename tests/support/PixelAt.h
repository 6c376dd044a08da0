#pragma once

// The straight 32-bit pixel at (x, y) of the images the tests look at, in the image's own
// coordinates (a raster's frame may not start at 0).

#include "ReferenceImage.h"
#include "YKBitmap.h"
#include "YKRaster.h"

inline uint32 PixelAt(YKBitmap& bitmap, int32 x, int32 y) {
    uint32 pixel = 0xDEADBEEFu;  // shows a read that wrote nothing
    bitmap.GetLineAt(y, x, x, false, &pixel);
    return pixel;
}

inline uint32 PixelAt(const YKRaster& raster, int32 x, int32 y) {
    const YKRect<int32> frame = raster.Frame();
    const uint8* row = raster.Bits() + static_cast<size_t>(y - frame.top) * raster.BytesPerRow();
    return reinterpret_cast<const uint32*>(row)[x - frame.left];
}

inline uint32 PixelAt(const PixelImage& image, int32 x, int32 y) {
    return image.pixels[static_cast<size_t>(y) * image.width + x];
}
