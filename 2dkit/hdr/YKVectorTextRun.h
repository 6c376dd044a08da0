#pragma once

// YKVectorTextRun: where each character of a text lands when a font lays it out unturned with
// the pen starting at (0, 0): its pen position along the writing direction and the box of its
// glyph. Each distinct character is outlined once, and each pen comes from the widths of the
// character pair that ends at it, so that measuring a long text costs about as much as
// measuring its characters one by one, however many outline points its glyphs have.

#include <vector>

#include "YKRect.h"
#include "yk_types.h"

class YKFontData;

class YKVectorTextRun {
public:
    YKVectorTextRun(YKFontData& font, const char* text, double reserved);

    int32 count() const { return static_cast<int32>(mPens.size()); }
    double pen(int32 index) const { return mPens[index]; }
    // None() for a character that draws nothing.
    const YKRect<double>& box(int32 index) const { return mBoxes[index]; }
    // The union of the glyph boxes; None() when nothing is drawn.
    YKRect<double> bounds() const;

private:
    std::vector<double> mPens;
    std::vector<YKRect<double>> mBoxes;
};
