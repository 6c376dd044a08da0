#pragma once

// YKGaussianBlurKernel: a Gaussian blur weighted by alpha. Its cost per pixel does not grow with
// the blur's size: the Gaussian is approximated by a cascade of equal box filters whose two end
// taps carry a fractional weight (so the cascade's variance matches sigma exactly), each run as a
// running sum, first along the source rows (pass 0), then down the columns (pass 1).

#include <vector>

#include "YKFilterKernel.h"

class YKGaussianBlurKernel : public YKFilterKernel {
public:
    static constexpr float kMinSigma = 0.5f;
    static constexpr float kMaxSigma = 100.0f;

    // `sigma`: the standard deviation in pixels, clamped to kMinSigma..kMaxSigma.
    explicit YKGaussianBlurKernel(float sigma);

    float Sigma() const { return mSigma; }
    int32 Reach() const override { return kStages * (mRadius + 1); }
    int32 PassCount() const override { return 2; }
    void Prepare(const YKPixelPlane& source, const YKPixelPlane& destination) override;
    int32 RowCount(int32 pass) const override;
    void RunPass(int32 pass, int32 rowBegin, int32 rowEnd) override;

private:
    // Four boxes keep the step response within a level or so of the true Gaussian's.
    static constexpr int32 kStages = 4;
    static constexpr int32 kRowGroup = 4;

    void BlurRows(int32 rowBegin, int32 rowEnd);
    void BlurColumns(int32 rowBegin, int32 rowEnd, int32 left, int32 width);

    float mSigma;
    int32 mRadius = 0;       // each box: 2 * mRadius + 1 taps of weight 1 ...
    float mInnerWeight = 0;  // ... normalised to this,
    float mEndWeight = 0;    // and one more tap on each end with this weight
    YKPixelPlane mSource, mDestination;
    std::vector<uint16> mRows;  // pass 0's output: source rows, blurred, premultiplied
};
