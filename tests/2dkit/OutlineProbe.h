#pragma once

// Reading what the sketcher built the way the scan converter sees it: each outline polygon
// filled on its own with the non-zero rule.

#include <cmath>
#include <initializer_list>

#include "YKSketcher.h"

namespace outline_probe {

using Point = YKPoint<double>;

inline void Fill(YKPointList& list, std::initializer_list<Point> points) {
    for (Point p : points) {
        list.AddItem(p);
    }
}

inline double Distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// The winding number of `polygon`, closed from its last point to its first, around `p`.
inline int Winding(const YKPointList& polygon, Point p) {
    int winding = 0;
    for (int32 i = 0, n = polygon.CountItems(); i < n; ++i) {
        const Point a = polygon.ItemAt(i), b = polygon.ItemAt((i + 1) % n);
        const double side = (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y);
        winding += (a.y <= p.y && p.y < b.y && side > 0) - (b.y <= p.y && p.y < a.y && side < 0);
    }
    return winding;
}

inline bool Covered(const YKList<YKPointList*>& polygons, Point p) {
    for (int32 i = 0; i < polygons.CountItems(); ++i) {
        if (Winding(*polygons.ItemAt(i), p) != 0) {
            return true;
        }
    }
    return false;
}

// The largest distance of a point of `polygons` from `from`; NaN when one is not finite.
inline double Reach(const YKList<YKPointList*>& polygons, Point from) {
    double reach = 0;
    for (int32 i = 0; i < polygons.CountItems(); ++i) {
        for (int32 k = 0; k < polygons.ItemAt(i)->CountItems(); ++k) {
            const double d = Distance(polygons.ItemAt(i)->ItemAt(k), from);
            reach = std::isfinite(d) && !std::isnan(reach) ? std::fmax(reach, d) : NAN;
        }
    }
    return reach;
}

}  // namespace outline_probe
