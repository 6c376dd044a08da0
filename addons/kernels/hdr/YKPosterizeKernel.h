#pragma once

// YKPosterizeKernel: each colour channel keeps only `levels` values spread evenly over 0..255
// (0 and 255 always among them); a value goes to the nearest level.

#include "YKChannelTableKernel.h"

class YKPosterizeKernel : public YKChannelTableKernel {
public:
    // Levels in 2..255 (clamped).
    explicit YKPosterizeKernel(int32 levels);

protected:
    uint8 Level(int32 value) const override;

private:
    int32 mLevels;
};
