#pragma once

// Turns an alpha-weighted colour back into a straight colour without a division:
// yk_merge_tables[colour * 256 + alpha] = trunc(255 * colour / alpha), low byte only; 0 where alpha
// is 0. Computed at compile time, so it is ready before any code runs and never written.

#include <array>

#include "yk_types.h"

extern const std::array<uint8, 65536> yk_merge_tables;
