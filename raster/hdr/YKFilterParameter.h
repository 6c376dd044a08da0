#pragma once

// YKFilterParameter: what a host needs to list and set one of a filter's parameters without
// knowing the filter: its name, kind, range, default and unit.

#include "yk_types.h"

struct YKFilterParameter {
    enum Kind : int32 {
        kDouble,
        kInt32,
        kColor,  // a 32-bit pixel, alpha in bits 24-31; range not used
    };
    const char* name = "";
    Kind kind = kDouble;
    double minimum = 0;
    double maximum = 0;
    // A colour's default is its pixel value.
    double defaultValue = 0;
    const char* unit = "";
};
