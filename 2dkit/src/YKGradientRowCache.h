#pragma once

// The last row of pixels a gradient buffer made, kept under the value that made it differ from
// other rows (for a linear gradient, the direction's term of the row). Upright shapes ask for the
// same run row after row, in pieces; a row within the kept run is copied instead of worked out
// again.

#include <vector>

#include "yk_types.h"

class YKGradientRowCache {
public:
    // Copies `count` pixels from column x into `out` when the kept row has the same key, was
    // made from the same ramp tables and covers them; false otherwise.
    bool Find(double key, uint64 stamp, int32 x, int32 count, uint32* out) const;
    // Keeps a row, joined to the kept run where it is the same row and touches it; a stamp of 0
    // (tables not filled) keeps nothing.
    void Keep(double key, uint64 stamp, int32 x, int32 count, const uint32* pixels);
    void Clear() { mStamp = 0; }

private:
    std::vector<uint32> mPixels;
    double mKey = 0.0;
    uint64 mStamp = 0;
    int32 mX = 0;
};
