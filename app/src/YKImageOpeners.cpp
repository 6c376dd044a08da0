#include "YKImageOpeners.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "YK3DLayer.h"
#include "YK3DObject.h"
#include "YKBitmapLayer.h"
#include "YKMessage.h"
#include "YKRaster.h"
#include "YKRasterAnimFile.h"
#include "YKRasterIO.h"

namespace {

std::mutex gLock;

// The image's left-top when the image is centred on the origin like the new document's canvas.
YKPoint<double> CentredLeftTop(const YKRaster& first) {
    const YKRect<int32> bounds = first.Bounds();
    return {-double((bounds.Width() + 1) / 2), -double((bounds.Height() + 1) / 2)};
}

// Every format of the raster registry: a file of several images (an animated GIF) becomes one
// bitmap layer showing them one per frame, with the file's delays as the frames' durations; a
// single image becomes a still bitmap layer. Either covers the new document's canvas.
bool OpenRasterImage(const char* path, YKOpenedImage* image) {
    YKRasterAnimFile file(path);
    if (!file.IsValid()) {
        if (file.Recognised()) {
            image->error = file.ErrorText();
        }
        return false;
    }
    const YKMessage& info = file.Info();
    const char* warning = nullptr;
    for (int32 i = 0; info.FindString(YKRasterIO::kWarningField, i, &warning); ++i) {
        image->warnings.emplace_back(warning);
    }
    std::string name = std::filesystem::path(path).filename().string();
    const int32 count = file.CountFrames();
    // Shared holders keep the function copyable; the pixels move into the layer, uncopied.
    auto images = std::make_shared<std::unique_ptr<YKRasterList>>(file.DetachList());
    const YKRaster& first = *(*images)->ItemAt(0);
    image->frame = first.Bounds();
    const YKPoint<double> leftTop = CentredLeftTop(first);
    if (count == 1) {
        auto still = std::make_shared<std::unique_ptr<YKRaster>>((*images)->RemoveItem(0));
        image->makeLayer = [still, leftTop, name](int32 id) {
            return static_cast<YKLayer*>(
                new YKBitmapLayer(id, still->release(), name.c_str(), leftTop));
        };
        return true;
    }
    int32 delay = 0;
    for (int32 i = 0; i < count; ++i) {
        image->durations.push_back(info.FindInt32("gce_delay", i, &delay) ? delay : 0);
    }
    image->makeLayer = [images, leftTop, name](int32 id) {
        return static_cast<YKLayer*>(
            new YKBitmapLayer(id, images->release(), name.c_str(), leftTop));
    };
    return true;
}

// A model file becomes a 3D layer filling a 256-pixel square canvas.
bool Open3DObject(const char* path, YKOpenedImage* image) {
    if (!YK3DObject::Check(path)) {
        return false;
    }
    std::string error;
    // A shared holder keeps the function copyable; the model moves into the layer.
    auto held =
        std::make_shared<std::unique_ptr<YK3DObject>>(YK3DObject::Create3DObject(path, &error));
    if (*held == nullptr) {
        image->error = error;
        return false;
    }
    image->frame = {0, 0, 255, 255};
    std::string name = std::filesystem::path(path).filename().string();
    image->makeLayer = [held, name](int32 id) {
        return static_cast<YKLayer*>(
            new YK3DLayer(id, name.c_str(), std::move(*held), YKPoint<double>{0, 0}));
    };
    return true;
}

std::vector<YKImageOpener>& Openers() {
    static std::vector<YKImageOpener> openers{OpenRasterImage, Open3DObject};
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
