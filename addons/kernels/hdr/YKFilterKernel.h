#pragma once

// YKFilterKernel: the pixel work of one shipped filter, apart from how the filter is loaded,
// parameterised and animated. A kernel runs in passes over bands of rows: every band of a pass
// finishes before the next pass starts, and the bands of one pass may run on different threads
// at once, so a pass writes only the rows of its own band (in the destination or in scratch
// the kernel owns).

#include <cstddef>

#include "yk_types.h"

// Contiguous 32-bit pixels in the raster byte order (yk_color_space.h), straight alpha.
struct YKPixelPlane {
    uint32* bits = nullptr;
    int32 width = 0;
    int32 height = 0;
    int32 stride = 0;  // pixels from one row to the next

    uint32* Row(int32 y) const { return bits + static_cast<std::ptrdiff_t>(y) * stride; }
};

class YKFilterKernel {
public:
    virtual ~YKFilterKernel() = default;

    // How far, in pixels, an output pixel reads around itself (0 for point operations). The
    // source given to Prepare carries this margin on every side: it is 2 * Reach() wider and
    // higher than the destination, whose pixel (x, y) lies over source pixel (x + r, y + r).
    virtual int32 Reach() const { return 0; }
    virtual int32 PassCount() const { return 1; }
    // Called once per run, on one thread, before any pass: keeps the planes, sizes scratch.
    virtual void Prepare(const YKPixelPlane& source, const YKPixelPlane& destination) = 0;
    // The number of rows pass `pass` produces (the destination's height for the last pass).
    virtual int32 RowCount(int32 pass) const = 0;
    // Produces rows [rowBegin, rowEnd) of pass `pass`.
    virtual void RunPass(int32 pass, int32 rowBegin, int32 rowEnd) = 0;
};
