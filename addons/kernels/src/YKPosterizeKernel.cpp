// Level index round(value * (levels - 1) / 255), ties going up, then back to 0..255, rounded.

#include "YKPosterizeKernel.h"

#include <algorithm>

YKPosterizeKernel::YKPosterizeKernel(int32 levels) : mLevels(std::clamp(levels, 2, 255)) {}

uint8 YKPosterizeKernel::Level(int32 value) const {
    const int32 steps = mLevels - 1;
    const int32 index = (2 * value * steps + 255) / 510;
    return static_cast<uint8>((index * 510 + steps) / (2 * steps));
}
