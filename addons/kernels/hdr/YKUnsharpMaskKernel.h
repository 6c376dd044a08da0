#pragma once

// YKUnsharpMaskKernel: sharpens by adding back `amount` times the difference between the
// picture and its Gaussian blur, on channels whose difference reaches `threshold`. Alpha is
// left alone, so a shape's outline keeps its coverage.

#include <vector>

#include "YKGaussianBlurKernel.h"

class YKUnsharpMaskKernel : public YKFilterKernel {
public:
    static constexpr float kMaxAmount = 20.0f;

    // `sigma`: the blur's, as YKGaussianBlurKernel clamps it; `amount`: 0..kMaxAmount;
    // `threshold`: 0..1 of the full channel range.
    YKUnsharpMaskKernel(float sigma, float amount, float threshold);

    int32 Reach() const override { return mBlur.Reach(); }
    int32 PassCount() const override { return mBlur.PassCount() + 1; }
    void Prepare(const YKPixelPlane& source, const YKPixelPlane& destination) override;
    int32 RowCount(int32 pass) const override;
    void RunPass(int32 pass, int32 rowBegin, int32 rowEnd) override;

private:
    YKGaussianBlurKernel mBlur;
    int32 mAmount;     // in 1/256
    int32 mThreshold;  // in channel levels
    YKPixelPlane mSource, mDestination, mBlurred;
    std::vector<uint32> mBlurredPixels;
};
