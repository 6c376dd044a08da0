// Frame preparation of the palette writers: cropping to what is shown, and reducing a frame of an
// animation to what changed since the frame before.

#include <algorithm>
#include <cstring>

#include "YKDebug.h"
#include "YKRaster.h"
#include "YKRasterIO.h"
#include "YKWriteGif.h"

namespace {

const uint32* Row(const YKRaster& raster, int32 y) {
    return reinterpret_cast<const uint32*>(raster.Bits() + int64{y} * raster.BytesPerRow());
}

uint32* Row(YKRaster& raster, int32 y) {
    return reinterpret_cast<uint32*>(raster.Bits() + int64{y} * raster.BytesPerRow());
}

// Grows a bounding box (None() until the first point) by whole runs of a row.
void Include(YKRect<int32>& box, int32 x0, int32 x1, int32 y) {
    if (!box.IsValid()) {
        box = {x0, y, x1, y};
        return;
    }
    box.left = std::min(box.left, x0);
    box.right = std::max(box.right, x1);
    box.bottom = y;
}

// The bounding box of the pixels for which differs(x, y) holds; None() when there are none.
template <typename Differs>
YKRect<int32> BoundingBox(int32 width, int32 height, Differs differs) {
    YKRect<int32> box = YKRect<int32>::None();
    for (int32 y = 0; y < height; ++y) {
        int32 first = 0;
        while (first < width && !differs(first, y)) {
            ++first;
        }
        if (first == width) {
            continue;
        }
        int32 last = width - 1;
        while (!differs(last, y)) {
            --last;
        }
        Include(box, first, last, y);
    }
    return box;
}

bool Transparent(uint32 pixel) {
    return (pixel >> 24) == 0;
}

}  // namespace

YKRect<int32> YKRasterIO::cropFrame(uint32 back, const YKRaster& raster) {
    const YKRect<int32> box = BoundingBox(raster.Width(), raster.Height(), [&](int32 x, int32 y) {
        return Row(raster, y)[x] != back;
    });
    return box.IsValid() ? box : YKRect<int32>{0, 0, 0, 0};
}

std::unique_ptr<YKRaster> YKRasterIO::cropRaster(const YKRaster& raster, YKRect<int32> rect) {
    YK_ASSERT(rect.left >= 0 && rect.top >= 0 && rect.right < raster.Width() &&
              rect.bottom < raster.Height() && rect.IsValid());
    std::unique_ptr<YKRaster> cropped =
        AllocRaster({0, 0, rect.right - rect.left, rect.bottom - rect.top}, false);
    if (cropped == nullptr) {
        return nullptr;
    }
    const std::size_t rowBytes = std::size_t(cropped->Width()) * 4;
    for (int32 y = 0; y < cropped->Height(); ++y) {
        std::memcpy(Row(*cropped, y), Row(raster, rect.top + y) + rect.left, rowBytes);
    }
    return cropped;
}

std::unique_ptr<YKRaster> YKRasterIO::getFrameDiff(const YKRaster* previous,
                                                   const YKRaster& current, int32* left, int32* top,
                                                   uint32 back, bool forced, int32* flags) {
    *left = 0;
    *top = 0;
    const int32 width = current.Width();
    const int32 height = current.Height();
    if (previous == nullptr) {
        *flags = 0;
        return cropRaster(current, current.Bounds());
    }
    YK_ASSERT(previous->Width() == width && previous->Height() == height);
    const auto turnsTransparent = [&](int32 x, int32 y) {
        return !Transparent(Row(*previous, y)[x]) && Transparent(Row(current, y)[x]);
    };
    if (forced) {
        *flags = Transparent(back) ? YKWriteGif::kDisposeBackground : YKWriteGif::kDisposeNone;
    } else {
        // Drawing cannot make a shown pixel transparent again: only clearing can.
        *flags = YKWriteGif::kDisposeNone;
        for (int32 y = 0; y < height && *flags == YKWriteGif::kDisposeNone; ++y) {
            for (int32 x = 0; x < width; ++x) {
                if (turnsTransparent(x, y)) {
                    *flags = YKWriteGif::kDisposeBackground;
                    break;
                }
            }
        }
    }

    if (*flags == YKWriteGif::kDisposeBackground) {
        const YKRect<int32> box = cropFrame(back, current);
        *left = box.left;
        *top = box.top;
        return cropRaster(current, box);
    }

    const uint32 unchanged = back & 0x00FFFFFF;
    const YKRect<int32> box = BoundingBox(width, height, [&](int32 x, int32 y) {
        return Row(*previous, y)[x] != Row(current, y)[x];
    });
    if (!box.IsValid()) {
        std::unique_ptr<YKRaster> same = AllocRaster({0, 0, 0, 0}, false);
        if (same != nullptr) {
            Row(*same, 0)[0] = unchanged;
        }
        return same;
    }
    std::unique_ptr<YKRaster> diff = cropRaster(current, box);
    if (diff == nullptr) {
        return nullptr;
    }
    for (int32 y = 0; y < diff->Height(); ++y) {
        const uint32* before = Row(*previous, box.top + y) + box.left;
        uint32* out = Row(*diff, y);
        for (int32 x = 0; x < diff->Width(); ++x) {
            if (out[x] == before[x]) {
                out[x] = unchanged;
            } else if (Transparent(out[x]) && !Transparent(before[x])) {
                out[x] = back;
            }
        }
    }
    *left = box.left;
    *top = box.top;
    return diff;
}
