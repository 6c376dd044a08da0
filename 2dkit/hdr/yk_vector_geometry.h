#pragma once

// Small plane geometry shared by the vector objects' hit tests and editing.

#include "YKPoint.h"

// Distance from `p` to the segment from `a` to `b` (to `a` when the two coincide).
double YKSegPtDist(YKPoint<double> a, YKPoint<double> b, YKPoint<double> p);
// The point of the segment from `a` to `b` nearest to `p`.
YKPoint<double> YKPointOnSeg(YKPoint<double> a, YKPoint<double> b, YKPoint<double> p);
// Euclidean distance.
double YKPtDist(YKPoint<double> a, YKPoint<double> b);
