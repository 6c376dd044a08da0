#pragma once

// The colours of a gradient's ramp as straight pixels (alpha << 24 | red << 16 | green << 8 |
// blue, each channel of get_buffered_color_at rounded to a byte), looked up by parameter for
// painting whole rows. The parameter range is cut into steps; a step whose pixel cannot change
// anywhere inside it keeps that pixel, and the few steps where a channel crosses a rounding
// boundary are worked out exactly per parameter. Every pixel therefore equals PixelAt.
// The steps are filled only once a buffer has painted about as many pixels as filling costs,
// so a gradient drawn once over a small shape pays nothing for them.

#include <vector>

#include "yk_types.h"

class YKGradient;

class YKGradientPixelTable {
public:
    // The pixel of the ramp at `t`, from the gradient's 100-entry tables.
    static uint32 PixelAt(YKGradient& gradient, double t);

    // out[i] = PixelAt(gradient, t[i]) for `count` parameters.
    void Lookup(YKGradient& gradient, const double* t, int32 count, uint32* out);

private:
    void Fill(YKGradient& gradient);

    std::vector<uint32> mPixels;
    std::vector<int32> mExact;  // 1: a rounding boundary may lie inside the step
    uint64 mStamp = 0;          // the gradient's tables the steps were filled from, 0: none
    int64 mUnfilledPixels = 0;  // pixels looked up one by one since the tables last changed
};
