#pragma once

// YKMotionBlurKernel: a one-sided blur along a line, weighted by alpha. Each pixel is the mix of
// the pixels that lie from it towards `angle`, weighted by a half Gaussian of the distance, so
// the picture smears back from where it moves: a streak trails away from the angle.

#include <vector>

#include "YKRowTapKernel.h"

class YKMotionBlurKernel : public YKRowTapKernel {
public:
    static constexpr float kMaxDistance = 100.0f;

    // `distance`: the half Gaussian's standard deviation in pixels, 0..kMaxDistance (0 gives the
    // picture back); `angle`: degrees, counter-clockwise on screen from the x axis (0 moves right,
    // 90 up).
    YKMotionBlurKernel(float distance, float angle);

    int32 Reach() const override { return static_cast<int32>(mTaps.size()) - 1; }

private:
    std::span<const yk_row_tap> Taps() const override { return mTaps; }
    void StoreRow(int32 y, float* sum) override;

    // Along the angle in whole pixels, weights summing to 1.
    std::vector<yk_row_tap> mTaps;
};
