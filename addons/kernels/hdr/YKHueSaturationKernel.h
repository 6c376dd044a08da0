#pragma once

// YKHueSaturationKernel: works on each pixel's hue, saturation and lightness in the HSL model:
// the hue turns by `hue` degrees, saturation and lightness are multiplied by their percentages
// (100 leaves them, 0 gives grey or black, above 100 may push colours out of range, where they
// are clipped). Integer arithmetic per pixel, from tables built once per run.

#include "YKPointKernel.h"

class YKHueSaturationKernel : public YKPointKernel {
public:
    // Lightness and saturation in percent, 0..200; hue in degrees, -180..180 (all clamped).
    YKHueSaturationKernel(double lightness, double saturation, double hue);

protected:
    void BuildTables() override;
    void MapRow(const uint32* in, uint32* out, int32 width) const override;

private:
    // Hue and lightness run in steps of 1/4096 (of a sixth of a turn, of a channel unit).
    static constexpr int32 kShift = 12;
    static constexpr int32 kOne = 1 << kShift;

    int32 MapPixel(uint32 pixel) const;

    double mLightness;
    double mSaturation;
    int32 mHueShift;  // in 1/4096 sixths of a turn, -3 * kOne..3 * kOne
    // Indexed by max + min of the channels: the new lightness in 0..255 channel units, and the
    // factor (x kOne) from the old chroma max - min to the new one.
    int32 mLight[511] = {};
    int32 mChromaScale[511] = {};
    // 2^20 / chroma, so the hue's fraction needs no division.
    int32 mReciprocal[256] = {};
};
