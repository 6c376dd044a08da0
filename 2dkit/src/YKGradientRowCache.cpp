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
    const int64 keptEnd = int64{mX} + static_cast<int64>(mPixels.size());
    const int64 end = int64{x} + count;
    // A shape's row comes in pieces (edge pixels, the full run between them): a piece that
    // touches the kept run of the same row joins it, so that the next row finds all of them.
    if (mStamp == 0 || stamp != mStamp || key != mKey || x > keptEnd || end < mX) {
        mPixels.assign(pixels, pixels + count);
        mKey = key;
        mStamp = stamp;
        mX = x;
        return;
    }
    if (end > keptEnd) {
        mPixels.insert(mPixels.end(), pixels + (keptEnd - x), pixels + count);
    }
    if (x < mX) {
        mPixels.insert(mPixels.begin(), pixels, pixels + (mX - x));
        mX = x;
    }
}
