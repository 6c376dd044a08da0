#include "YKGradientRowCache.h"

#include <cstring>

bool YKGradientRowCache::Find(double key, uint64 stamp, int32 x, int32 count, uint32* out) const {
    // Keys compare as values: the rows of +0 and -0 are the same row.
    if (mStamp == 0 || stamp != mStamp || key != mKey || x < mX ||
        int64{x} + count > int64{mX} + static_cast<int64>(mPixels.size())) {
        return false;
    }
    std::memcpy(out, mPixels.data() + (x - mX), static_cast<std::size_t>(count) * 4);
    return true;
}

void YKGradientRowCache::Keep(double key, uint64 stamp, int32 x, int32 count,
                              const uint32* pixels) {
    mPixels.assign(pixels, pixels + count);
    mKey = key;
    mStamp = stamp;
    mX = x;
}
