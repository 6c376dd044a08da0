#pragma once

// YKRasterListSource: an animation of rasters already made, frame i being item i of the list.

#include <vector>

#include "YKAnimationSource.h"

class YKRasterList;

class YKRasterListSource : public YKAnimationSource {
public:
    // `list` must outlive the source. Frame i lasts delays[i] hundredths (5 past the end of
    // `delays`) and is usable unless listed in `unusable`.
    YKRasterListSource(const YKRasterList& list, std::vector<float> delays,
                       std::vector<int32> unusable = {});

    int32 FirstFrame() const override { return 0; }
    int32 LastFrame() const override;
    bool FrameUsable(int32 frame) const override;
    float FrameDuration(int32 frame) const override;
    std::unique_ptr<YKRaster> RenderFrame(int32 frame, std::string* error) override;

private:
    const YKRasterList& mList;
    std::vector<float> mDelays;
    std::vector<int32> mUnusable;
};
