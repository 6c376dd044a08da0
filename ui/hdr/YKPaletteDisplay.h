#pragma once

// YKPaletteDisplay: the 8-bit display of a canvas. Pixels of the composition are shown as a
// screen of 256 colours would show them: laid over an opaque board first, then mapped onto one
// of the fixed palettes, with or without Floyd-Steinberg dithering.

#include <memory>

#include "yk_types.h"

class InverseQuantizer;

class YKPaletteDisplay {
public:
    YKPaletteDisplay();
    ~YKPaletteDisplay();

    // Palette `cmap` of the fixed palettes (Quantizer::Cmap); -1, or an index outside them,
    // gives true colour.
    void SetPalette(int32 cmap, bool dither);
    int32 Palette() const { return mCmap; }
    bool Dithering() const { return mDither; }
    bool IsOn() const { return mQuantizer != nullptr; }
    // The colour under transparent pixels (ARGB); translucent boards leave alpha as it is.
    void SetBoard(uint32 board) { mBoard = board; }

    // Converts `width` x `height` ARGB pixels in place; nothing in true colour.
    void Convert(uint32* pixels, int32 width, int32 height, int32 bytesPerRow);

private:
    int32 mCmap = -1;
    bool mDither = false;
    uint32 mBoard = 0xFFFFFFFFu;
    std::unique_ptr<InverseQuantizer> mQuantizer;
};
