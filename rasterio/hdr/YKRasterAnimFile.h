#pragma once

// YKRasterAnimFile: an image file read as a sequence of frames, by the first registered
// animation reader that accepts it; a file that only a still-image reader takes is a sequence
// of one frame.

#include <memory>
#include <string>

#include "YKMessage.h"
#include "YKRasterList.h"

class YKRasterAnimFile {
public:
    explicit YKRasterAnimFile(const char* path, bool native = false);
    YKRasterAnimFile(const YKRasterAnimFile&) = delete;
    YKRasterAnimFile& operator=(const YKRasterAnimFile&) = delete;

    // Replaces the frames with those of `path`; false when it gives none.
    bool loadAnim(const char* path);
    // True when there is at least one frame.
    bool IsValid() const { return mFrames != nullptr && mFrames->CountItems() > 0; }
    // Why the file gave no frame.
    const std::string& ErrorText() const { return mError; }
    // True when a reader took the file for its format, whether or not it could read it.
    bool Recognised() const { return mRecognised; }
    int32 CountFrames() const { return mFrames != nullptr ? mFrames->CountItems() : 0; }
    // What the reader said beyond the pixels (for GIF: per-frame delays and transparency, and
    // warnings of damage read past).
    const YKMessage& Info() const { return mInfo; }
    // A copy of frame `index`, or null out of range.
    std::unique_ptr<YKRaster> DuplicateRaster(int32 index) const;
    // Hands the frames over (an owning list); this object is left without any.
    std::unique_ptr<YKRasterList> DetachList() { return std::move(mFrames); }

private:
    bool mNative;
    std::unique_ptr<YKRasterList> mFrames;
    YKMessage mInfo;
    std::string mError;
    bool mRecognised = false;
};
