#include "YKImageOpeners.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "YKBitmapLayer.h"
#include "YKRaster.h"
#include "YKRasterFile.h"

namespace {

std::mutex gLock;

// Every still format of the raster registry (PNG, GIF): the image becomes one bitmap layer
// covering the new document's canvas, which is centred on the origin like the image's.
bool OpenRasterImage(const char* path, YKOpenedImage* image) {
    YKRasterFile file(path);
    if (!file.InitCheck()) {
        return false;
    }
    std::shared_ptr<YKRaster> raster(file.DetachRaster());
    const YKRect<int32> bounds = raster->Bounds();
    const double left = -((bounds.Width() + 1) / 2);
    const double top = -((bounds.Height() + 1) / 2);
    image->frame = bounds;
    image->makeLayer = [raster, left, top,
                        name = std::filesystem::path(path).filename().string()](int32 id) {
        return static_cast<YKLayer*>(
            new YKBitmapLayer(id, raster->DuplicateRaster().release(), name.c_str(), {left, top}));
    };
    return true;
}

std::vector<YKImageOpener>& Openers() {
    static std::vector<YKImageOpener> openers{OpenRasterImage};
    return openers;
}

}  // namespace

void YKImageOpeners::Register(YKImageOpener opener) {
    if (opener) {
        std::lock_guard<std::mutex> lock(gLock);
        Openers().push_back(std::move(opener));
    }
}

void YKImageOpeners::Clear() {
    std::lock_guard<std::mutex> lock(gLock);
    Openers().clear();
}

bool YKImageOpeners::Open(const char* path, YKOpenedImage* image) {
    std::vector<YKImageOpener> openers;
    {
        std::lock_guard<std::mutex> lock(gLock);
        openers = Openers();
    }
    for (const YKImageOpener& opener : openers) {
        if (opener(path, image)) {
            return true;
        }
    }
    return false;
}
