#pragma once

// YKBrightnessContrastKernel: a straight line through each colour channel. Contrast sets the
// slope, tan(pi/4 * (1 + contrast/100)), turning about the channel's middle (which brightness
// moves); brightness lifts or lowers the whole line. Both 0 leave the image as it was; contrast
// 100 is a hard threshold, -100 a flat mid grey.

#include "YKChannelTableKernel.h"

class YKBrightnessContrastKernel : public YKChannelTableKernel {
public:
    // Both in -100..100 (clamped).
    YKBrightnessContrastKernel(double brightness, double contrast);

protected:
    uint8 Level(int32 value) const override;

private:
    double mBrightness;
    double mContrast;
};
