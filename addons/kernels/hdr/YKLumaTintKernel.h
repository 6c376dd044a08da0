#pragma once

// YKLumaTintKernel: a point operation that replaces each pixel's colour with a colour chosen by
// its luma, blended with the original at a strength. Luma is the broadcast-video weighting
// 0.299 R + 0.587 G + 0.114 B of the stored (gamma-encoded) values: the grey people expect when
// a picture loses its colour. Blending and tint colours come from tables built once per run.

#include "YKPointKernel.h"

class YKLumaTintKernel : public YKPointKernel {
public:
    // The luma (0..255, rounded) of a 32-bit pixel's colour.
    static int32 Luma(uint32 pixel);

protected:
    // `strength` in 0..1: how much of the tint replaces the original colour.
    explicit YKLumaTintKernel(double strength) : mStrength(strength) {}

    // The colour (red, green, blue on a 0..255 scale, unrounded) a pixel of luma `luma` gets.
    virtual void Tint(int32 luma, double rgb[3]) const = 0;

    void BuildTables() final;
    void MapRow(const uint32* in, uint32* out, int32 width) const final;

private:
    double mStrength;
    // 16.16 fixed point: what is kept of a channel value, and what each tint adds, so a channel
    // is one add and a rounding shift.
    uint32 mKeep[256] = {};
    uint32 mTint[3][256] = {};
};
