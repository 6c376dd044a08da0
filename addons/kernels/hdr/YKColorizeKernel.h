#pragma once

// YKColorizeKernel: tints the image with a colour while keeping its light and dark: each pixel
// takes the colour's hue and saturation (in HSL) with its own luma as lightness (see
// YKLumaTintKernel), blended with the original colour at `strength`. Strength 0 leaves the
// image as it was; a grey colour gives a plain desaturation.

#include "YKLumaTintKernel.h"
#include "yk_color.h"

class YKColorizeKernel : public YKLumaTintKernel {
public:
    // The colour's alpha is ignored; strength in percent, 0..100 (clamped).
    YKColorizeKernel(const yk_color& color, double strength);

protected:
    void Tint(int32 luma, double rgb[3]) const override;

private:
    double mHue = 0;         // in sixths of a turn, 0..6
    double mSaturation = 0;  // 0..1
};
