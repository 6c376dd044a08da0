// Builds rasters from arbitrary archive messages. Whatever gets pixels must archive back to a
// raster with the same bytes, and survive a trip through a tiled bitmap.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "YKBitmap.h"
#include "YKMessage.h"
#include "YKRaster.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    YKMessage archive;
    if (!archive.Unflatten(reinterpret_cast<const char*>(data), static_cast<ssize_t>(size))) {
        return 0;
    }
    YKRaster raster(archive);
    if (raster.Bits() == nullptr) {
        return 0;
    }
    YKMessage again;
    raster.Archive(&again);
    YKRaster copy(again);
    if (copy.BitsLength() != raster.BitsLength() ||
        std::memcmp(copy.Bits(), raster.Bits(), raster.BitsLength()) != 0) {
        std::abort();
    }
    // Large frames are legitimate; the tiled copy is kept to a corner so a run stays quick.
    YKRect<int32> corner = raster.Frame();
    corner.right = corner.left + std::min(corner.right - corner.left, 255);
    corner.bottom = corner.top + std::min(corner.bottom - corner.top, 255);
    YKBitmap bitmap;
    bitmap.SetRaster(&raster, corner);
    std::unique_ptr<YKRaster> back(bitmap.Raster(corner));
    return 0;
}
