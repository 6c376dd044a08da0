#pragma once

// Array forms that merge eight pixels at a time on processors with AVX2. They give exactly the
// pixels of the per-pixel bodies, for every destination alpha and any count.

#include "yk_composition_internal.h"

namespace yk_merge::avx2 {

// Whether this processor runs the kernels.
bool Supported();

// The array form of Op; only for the ops marked in kVectorised.
template <class Op>
void Arrays(uint32* d, const uint32* s, uint32 level, int32 count);

template <class Op>
inline constexpr bool kVectorised = false;
template <>
inline constexpr bool kVectorised<Compose> = true;
template <>
inline constexpr bool kVectorised<Overlay> = true;
template <class M>
inline constexpr bool kVectorised<Mix<M>> = true;

}  // namespace yk_merge::avx2
