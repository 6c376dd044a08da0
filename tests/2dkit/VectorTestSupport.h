#pragma once

// Shared set-up of the vector object tests: an envelope manager, and rendering an object into
// a bitmap through the zip sketcher the way its layer does.

#include <memory>

#include "ReferenceImage.h"
#include "YKBitmap.h"
#include "YKEnvelopManager.h"
#include "YKVectorEntity.h"
#include "YKZipSketcher.h"

// The pixels `entity` draws into a fresh bitmap over `frame`.
inline PixelImage RenderEntity(YKVectorEntity& entity, YKRect<int32> frame) {
    YKBitmap bitmap;
    YKZipSketcher sketcher;
    sketcher.SetBuffer(&bitmap);
    sketcher.SetFrame(frame);
    entity.drawIn(&sketcher, true);
    return ImageOf(bitmap, frame);
}

// The number of pixels with some alpha.
inline int32 CoveredPixels(const PixelImage& image) {
    int32 count = 0;
    for (uint32 pixel : image.pixels) {
        count += (pixel >> 24) != 0 ? 1 : 0;
    }
    return count;
}
