#pragma once

// A glyph of a text placed for stamping from its mask.

#include "YKZipSketcher.h"

struct YKZipSketcher::PlacedGlyph {
    uint32 glyph = 0;
    // The pixel holding the snapped pen origin, and the origin's phase within it.
    int32 x = 0;
    int32 y = 0;
    int32 phaseX = 0;
    int32 phaseY = 0;
    // Rows the glyph may touch.
    int32 top = 0;
    int32 bottom = 0;
};
