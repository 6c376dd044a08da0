#pragma once

// YKAnimationSource: the frames an animation writer exports, rendered on demand. Documents
// implement it above this library (rendering through their layers, with playback held still for
// the time of the export); YKRasterListSource serves frames already in memory.

#include <memory>
#include <string>

#include "yk_types.h"

class YKRaster;

class YKAnimationSource {
public:
    virtual ~YKAnimationSource() = default;

    // The frames exported, both included; every frame has the same size.
    virtual int32 FirstFrame() const = 0;
    virtual int32 LastFrame() const = 0;
    // An unusable frame is not shown: its time goes to the usable frame before it.
    virtual bool FrameUsable(int32 frame) const = 0;
    // How long the frame is shown, in hundredths of a second.
    virtual float FrameDuration(int32 frame) const = 0;
    // The frame's 32-bit pixels; null with the reason in `error` when it cannot be made.
    virtual std::unique_ptr<YKRaster> RenderFrame(int32 frame, std::string* error) = 0;
};
