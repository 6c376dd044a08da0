#pragma once

// What one pass of the zip sketcher paints with, taken from the sketcher's state.

#include "YKZipSketcher.h"
#include "yk_composition.h"

struct YKZipSketcher::Paint {
    int32 style = YK_STYLE_NONE;
    yk_color color;
    const PatternPaint* pattern = nullptr;
    YKGradientBuffer* gradient = nullptr;
    int32 mode = YK_COPY;
};

// Whether the processor runs AVX2 (asked once): the row kernels have versions for it.
bool yk_zip_sketcher_has_avx2();
