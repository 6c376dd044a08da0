#pragma once

// YKNoiseKernel: adds random noise to the colour channels, the same for the same seed at the
// same place whatever the band split (each pixel's draw comes from a hash of the seed and its
// position). Alpha is left alone.

#include <array>

#include "YKFilterKernel.h"

class YKNoiseKernel : public YKFilterKernel {
public:
    static constexpr float kMaxAmount = 100.0f;

    enum Distribution : int32 { kUniform, kGaussian };

    // `amount`: the noise's standard deviation in percent of the full range, 0..kMaxAmount (0
    // gives the picture back). `monochrome`: one draw for all three channels (grey grain)
    // instead of one per channel.
    YKNoiseKernel(float amount, Distribution distribution, bool monochrome, uint32 seed);

    void Prepare(const YKPixelPlane& source, const YKPixelPlane& destination) override;
    int32 RowCount(int32) const override { return mDestination.height; }
    void RunPass(int32 pass, int32 rowBegin, int32 rowEnd) override;

private:
    static constexpr int32 kLevels = 4096;  // draws are 12-bit quantiles of the distribution

    std::array<float, kLevels> mOffsets{};  // the distribution's quantiles, in channel levels
    bool mMonochrome;
    uint64 mSeed;
    YKPixelPlane mSource, mDestination;
};
