#pragma once

// The array loops of the merge methods.

#include "yk_composition_internal.h"

namespace yk_merge {

template <class Op>
void MergeArrays(uint32* d, const uint32* s, uint32 level, int32 count) {
    for (int32 i = 0; i < count; ++i) {
        d[i] = Op::Pixel(d[i], s[i], level);
    }
}

}  // namespace yk_merge
