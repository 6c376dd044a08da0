// Animation frames through one GIF palette before their own format codes them.

#include "YKRaster.h"
#include "YKRasterIO.h"
#include "yk_anim_palette_internal.h"
#include "yk_image_limits.h"
#include "yk_io_error_internal.h"

namespace yk_anim_export {

PaletteCoder::PaletteCoder(const yk_gif_export::Options& options, Coder& next)
    : mOptions(options), mNext(next) {}

PaletteCoder::~PaletteCoder() = default;

bool PaletteCoder::Begin(std::FILE* file, int32 width, int32 height, int32 frames,
                         std::string* error) {
    return mPalette.Begin(mOptions, width, height, frames, error) &&
           mNext.Begin(file, width, height, frames, error);
}

bool PaletteCoder::Add(const YKRaster& frame, int32 delay, std::string* error) {
    std::unique_ptr<YKRaster> pixels = frame.DuplicateRaster(YK_RASTER_OWN);
    if (pixels == nullptr || pixels->Bits() == nullptr) {
        yk_set_error(error, "out of memory");
        return false;
    }
    mBytes += pixels->BitsLength();
    if (mBytes > kYKMaxImageBytes) {
        yk_set_error(error, "the frames to write exceed 1 GiB");
        return false;
    }
    YKRasterIO::AdjustTransparency(*pixels, mOptions.back, false);
    // The palette learns from what a GIF of these frames would hold, so that it is the GIF's.
    if (!mPalette.IsPreset()) {
        yk_gif_export::Frame change;
        yk_gif_export::TakeChange(mFrames.empty() ? nullptr : mFrames.back().pixels.get(), *pixels,
                                  mOptions, change);
        if (change.pixels == nullptr) {
            yk_set_error(error, "out of memory");
            return false;
        }
        mPalette.Learn(*change.pixels);
    }
    mFrames.push_back({std::move(pixels), delay});
    return true;
}

bool PaletteCoder::Finish(std::string* error) {
    mPalette.Finish();
    for (Kept& frame : mFrames) {
        mPalette.Recolor(*frame.pixels);
        if (!mNext.Add(*frame.pixels, frame.delay, error)) {
            return false;
        }
        frame.pixels.reset();
    }
    return mNext.Finish(error);
}

}  // namespace yk_anim_export
