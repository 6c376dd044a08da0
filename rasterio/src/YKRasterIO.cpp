// What every image format shares: ids, raster making, transparency for the writers.

#include "YKRasterIO.h"

#include <atomic>

#include "YKAlphaBlend.h"
#include "YKRaster.h"
#include "YKRasterAnimIO.h"
#include "YKRasterStillIO.h"
#include "yk_io_error_internal.h"

namespace {

std::atomic<int32> gNextId{0};

}  // namespace

YKRasterIO::YKRasterIO() : mId(gNextId++) {}

// The raster itself refuses a size out of range by making no store.
std::unique_ptr<YKRaster> YKRasterIO::AllocRaster(YKRect<int32> rect, bool native) {
    auto raster = std::make_unique<YKRaster>(rect, nullptr, YK_RGBA_COLOR_SPACE, native);
    return raster->Bits() != nullptr ? std::move(raster) : nullptr;
}

void YKRasterIO::AdjustTransparency(YKRaster& raster, uint32 back, bool keepAlpha) {
    if (raster.Bits() == nullptr || raster.BytesPerPixel() != 4) {
        return;
    }
    for (int32 y = 0; y < raster.Height(); ++y) {
        AdjustTransparency(
            reinterpret_cast<uint32*>(raster.Bits() + int64{y} * raster.BytesPerRow()),
            raster.Width(), back, keepAlpha);
    }
}

void YKRasterIO::AdjustTransparency(uint32* pixels, int32 count, uint32 back, bool keepAlpha) {
    const uint32 under = keepAlpha ? back : back | 0xFF000000u;
    for (int32 x = 0; x < count; ++x) {
        const uint32 alpha = pixels[x] >> 24;
        if (alpha == 0) {
            pixels[x] = back;
        } else if (alpha < 255) {
            pixels[x] = YKAlphaBlend::Compose(pixels[x], under);
        }
    }
}

void YKRasterIO::RemoveTransparency(YKRaster& raster, uint32 colour) {
    if (raster.Bits() == nullptr || raster.BytesPerPixel() != 4) {
        return;
    }
    for (int32 y = 0; y < raster.Height(); ++y) {
        auto* row = reinterpret_cast<uint32*>(raster.Bits() + int64{y} * raster.BytesPerRow());
        for (int32 x = 0; x < raster.Width(); ++x) {
            row[x] = YKAlphaBlend::Compose(row[x], colour);
        }
    }
}

bool YKRasterStillIO::Write(const char*, const YKRaster&, const YKMessage*, YKRasterProgress*,
                            std::string* error) const {
    yk_set_error(error, std::string(MenuName()) + " files cannot be written");
    return false;
}

bool YKRasterAnimIO::Accept(const char*, YKMessage*) const {
    return false;
}

bool YKRasterAnimIO::Read(const char*, YKRasterList&, int32, int32, YKMessage*, bool,
                          std::string* error) const {
    yk_set_error(error, std::string(MenuName()) + " files cannot be read");
    return false;
}

bool YKRasterAnimIO::Write(const char*, YKAnimationSource&, const YKMessage*, YKRasterProgress*,
                           std::string* error) const {
    yk_set_error(error, std::string(MenuName()) + " files cannot be written");
    return false;
}
