#pragma once

// Distance from a point to a cubic Bézier piece, for hit tests on curved paths.

#include "YKPoint.h"

// Distance from `p` to the cubic with control points p0..p3, within `eps`: the piece is split
// in halves (de Casteljau) wherever its control polygon could hold a nearer point than the best
// found so far, down to pieces flat within `eps`. The splitting depth is bounded whatever the
// input; a piece with a coordinate that is not finite or beyond 1e100 is infinitely far.
double YKBezierPtDist(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2,
                      YKPoint<double> p3, YKPoint<double> p, double eps);
