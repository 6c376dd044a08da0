#pragma once

// What one pass of the zip sketcher paints with, taken from the sketcher's state.

#include "YKZipSketcher.h"
#include "yk_composition.h"

// Where a pattern's tile lies, worked out once for all rows: its turn in 64ths and its centre
// and reference point to whole pixels.
struct YKZipPatternPlacement {
    int64 c = 64, s = 0;
    int64 cx = 0, cy = 0;
    int64 rx = 0, ry = 0;
};
YKZipPatternPlacement yk_zip_pattern_placement(const YKSketcher::PatternPaint& pattern);

struct YKZipSketcher::Paint {
    int32 style = YK_STYLE_NONE;
    yk_color color;
    const PatternPaint* pattern = nullptr;
    YKGradientBuffer* gradient = nullptr;
    int32 mode = YK_COPY;
    YKZipPatternPlacement placement;  // for pattern paint
};

// Coverage and opacity applied to the alphas of pattern texels, as pattern rows apply them.
void yk_zip_sketcher_cover_pattern(const int32* coverage, int32 count, uint32 opacity,
                                   uint32* texels);

// Whether the processor runs AVX2 (asked once): the row kernels have versions for it.
bool yk_zip_sketcher_has_avx2();
