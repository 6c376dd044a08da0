#include "YKRasterListSource.h"

#include <algorithm>

#include "YKRasterList.h"

namespace {

// A new frame's duration in a document.
constexpr float kDefaultDuration = 5.0f;

}  // namespace

YKRasterListSource::YKRasterListSource(const YKRasterList& list, std::vector<float> delays,
                                       std::vector<int32> unusable)
    : mList(list), mDelays(std::move(delays)), mUnusable(std::move(unusable)) {}

int32 YKRasterListSource::LastFrame() const {
    return mList.CountItems() - 1;
}

bool YKRasterListSource::FrameUsable(int32 frame) const {
    return std::find(mUnusable.begin(), mUnusable.end(), frame) == mUnusable.end();
}

float YKRasterListSource::FrameDuration(int32 frame) const {
    return frame >= 0 && frame < static_cast<int32>(mDelays.size()) ? mDelays[frame]
                                                                    : kDefaultDuration;
}

std::unique_ptr<YKRaster> YKRasterListSource::RenderFrame(int32 frame, std::string* error) {
    const YKRaster* raster = mList.ItemAt(frame);
    if (raster == nullptr || raster->Bits() == nullptr || raster->BytesPerPixel() != 4) {
        if (error != nullptr) {
            *error = "frame " + std::to_string(frame) + " has no 32-bit pixels";
        }
        return nullptr;
    }
    return raster->DuplicateRaster(YK_RASTER_OWN);
}
