#pragma once

// One neighbour a kernel weighs: its offset from the pixel (y down) and its weight.

#include "yk_types.h"

struct yk_row_tap {
    int32 dx = 0;
    int32 dy = 0;
    float weight = 0;
};
