#pragma once

// The colours of a gradient's ramp as straight pixels (alpha << 24 | red << 16 | green << 8 |
// blue, each channel of get_buffered_color_at rounded to a byte), looked up by parameter for
// painting whole rows. The parameter range is cut into steps; a step whose pixel cannot change
// anywhere inside it keeps that pixel, and the few steps where a channel crosses a rounding
// boundary are worked out exactly per parameter. Every pixel therefore equals PixelAt.
// The steps are filled only once a buffer has painted about as many pixels as filling costs,
// so a gradient drawn once over a small shape pays nothing for them.

#include <vector>

#include "YKGradient.h"
#include "yk_types.h"

class YKGradientPixelTable {
public:
    // Steps per entry of the 100-entry tables, so that no step straddles two entries.
    static constexpr int32 kSteps = (YKGradient::kTableSize - 1) * 64;

    // The step of a parameter, clamped as get_buffered_color_at clamps it (NaN to 0).
    static int32 StepOf(double t) {
        const double v = t > 0.0 ? (t < 1.0 ? t : 1.0) : 0.0;
        return static_cast<int32>(v * kSteps);
    }

    // The pixel of the ramp at `t`, from the gradient's 100-entry tables.
    static uint32 PixelAt(YKGradient& gradient, double t);

    // out[i] = PixelAt(gradient, t[i]) for `count` parameters.
    void Lookup(YKGradient& gradient, const double* t, int32 count, uint32* out);
    // Whether the steps are filled from the gradient's present tables.
    bool Filled(const YKGradient& gradient) const;
    // With the steps filled: whether every parameter within `margin` of t lies in 0..1 and in
    // one step whose pixel is the same throughout, so that Lookup gives them all one pixel.
    bool Settles(double t, double margin) const {
        if (!(t - margin > 0.0 && t + margin < 1.0)) {
            return false;
        }
        const int32 step = StepOf(t - margin);
        return step == StepOf(t + margin) && mExact[std::size_t(step)] == 0;
    }

private:
    void Fill(YKGradient& gradient);

    std::vector<uint32> mPixels;
    std::vector<int32> mExact;  // 1: a rounding boundary may lie inside the step
    uint64 mStamp = 0;          // the gradient's tables the steps were filled from, 0: none
    int64 mUnfilledPixels = 0;  // pixels looked up one by one since the tables last changed
};
