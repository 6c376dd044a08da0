#pragma once

// Shared set-up of the vector object tests: drawing a chain by clicks, and rendering an object
// into a bitmap through the zip sketcher the way its layer does.

#include <initializer_list>
#include <memory>

#include "ReferenceImage.h"
#include "YKBitmap.h"
#include "YKEnvelopManager.h"
#include "YKVectorEntity.h"
#include "YKVectorPolyline.h"
#include "YKZipSketcher.h"

// A chain drawn by clicks at each point, ended with the pointer resting on the last one; null
// when the tool discards it.
template <typename Chain = YKVectorPolyline>
std::unique_ptr<Chain> Draw(YKEnvelopManager* manager,
                            std::initializer_list<YKPoint<double>> clicks, double tol = 3) {
    auto chain = std::make_unique<Chain>(*clicks.begin(), 7, manager);
    for (auto it = clicks.begin() + 1; it != clicks.end(); ++it) {
        chain->nextPoint(*it, false);
        chain->addPoint(*it, false);
    }
    if (chain->endCreationWithTol(tol) == nullptr) {
        return nullptr;
    }
    return chain;
}

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
