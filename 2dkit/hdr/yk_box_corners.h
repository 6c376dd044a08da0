#pragma once

// The four-corner box shared by the rectangle and the rounded shapes: corner i's neighbours
// follow it so that the sides stay axis-parallel, and the square constraint.

#include <vector>

#include "YKPoint.h"
#include "yk_types.h"

// Corner `index` (0-3) of `corners` has moved: its two neighbours take one coordinate from it
// and the other from the opposite corner.
void YKFollowBoxCorner(std::vector<YKPoint<double>>* corners, int32 index);
// Puts corner `index` on the 45-degree diagonal through the opposite corner, keeping the
// diagonal's length.
void YKSquareBoxCorner(std::vector<YKPoint<double>>* corners, int32 index);
