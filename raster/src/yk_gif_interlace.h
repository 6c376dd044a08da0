#pragma once

// The row order of an interlaced GIF image: every 8th row from 0, every 8th from 4, every 4th
// from 2, then every 2nd from 1.

#include "yk_types.h"

// Calls visit(row) for the rows 0..height-1 in interlaced order while it returns true.
template <typename Visit>
void yk_gif_interlaced_rows(int32 height, Visit visit) {
    static constexpr int32 kStarts[4] = {0, 4, 2, 1};
    static constexpr int32 kSteps[4] = {8, 8, 4, 2};
    for (int32 pass = 0; pass < 4; ++pass) {
        for (int32 row = kStarts[pass]; row < height; row += kSteps[pass]) {
            if (!visit(row)) {
                return;
            }
        }
    }
}
