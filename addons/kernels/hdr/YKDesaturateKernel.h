#pragma once

// YKDesaturateKernel: moves each pixel's colour towards the grey of its luma (see
// YKLumaTintKernel); amount 100 gives that grey, 0 the image unchanged.

#include "YKLumaTintKernel.h"

class YKDesaturateKernel : public YKLumaTintKernel {
public:
    // Amount in percent, 0..100 (clamped).
    explicit YKDesaturateKernel(double amount = 100);

protected:
    void Tint(int32 luma, double rgb[3]) const override;
};
