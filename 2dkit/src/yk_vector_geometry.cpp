#include "yk_vector_geometry.h"

#include <cmath>

double YKPtDist(YKPoint<double> a, YKPoint<double> b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

YKPoint<double> YKPointOnSeg(YKPoint<double> a, YKPoint<double> b, YKPoint<double> p) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    if (length2 == 0) {
        return a;
    }
    double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2;
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return {a.x + t * dx, a.y + t * dy};
}

double YKSegPtDist(YKPoint<double> a, YKPoint<double> b, YKPoint<double> p) {
    return YKPtDist(YKPointOnSeg(a, b, p), p);
}
