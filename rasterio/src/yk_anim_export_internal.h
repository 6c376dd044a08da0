#pragma once

// What the animation writers share: which frames of a source are shown and for how long, the
// options every animated format reads, and a run that renders the frames one by one into a coder
// that writes through a temporary file.

#include <cstdio>
#include <string>
#include <vector>

#include "yk_types.h"

class YKAnimationSource;
class YKMessage;
class YKRaster;
class YKRasterProgress;

namespace yk_anim_export {

// A usable frame of the source and how long it shows, the unusable frames after it included.
struct Shown {
    int32 frame;
    float duration;
};

std::vector<Shown> ShownFrames(const YKAnimationSource& source);

// A duration in whole hundredths, 0..65535 (what a GIF can say).
int32 Hundredths(float duration);

// "gif_loop" as the number of times the animation plays, 0 for ever. A GIF with a loop count N
// plays N + 1 times in browsers (the count is of repeats), so formats that count plays say N + 1
// to show the same; without a loop block a GIF plays once.
int32 PlayCount(const YKMessage* options);

// The options of every animation writer that are not about its coding.
struct Options {
    bool hasBack = false;
    uint32 back = 0xFFFFFFFF;  // opaque white
    int32 plays = 1;
    bool useSpeed = false;
    int32 speed = 0;

    void Read(const YKMessage* options);
    // The frame's delay in hundredths: its own, or the one speed of every frame.
    int32 Delay(const Shown& shown) const;
};

// A format's coder, fed by Run.
class Coder {
public:
    virtual ~Coder() = default;
    // Before the first frame: the size every frame has and how many there are; `file` is the
    // temporary file, written now or by Finish. False with the reason in `error`.
    virtual bool Begin(std::FILE* file, int32 width, int32 height, int32 frames,
                       std::string* error) = 0;
    // One frame, full size, with its delay in hundredths.
    virtual bool Add(const YKRaster& frame, int32 delay, std::string* error) = 0;
    // After the last frame: whatever the file still lacks.
    virtual bool Finish(std::string* error) = 0;
};

// Renders the shown frames of `source` in order (composed over the background when asked) into
// `coder`, one progress step each and one for saving, and puts the file at `path` of MIME type
// `mime` once complete. A failure or a cancel leaves whatever was at `path` as it was.
bool Run(const char* path, const char* mime, YKAnimationSource& source, const Options& options,
         Coder& coder, YKRasterProgress* progress, std::string* error);

}  // namespace yk_anim_export
