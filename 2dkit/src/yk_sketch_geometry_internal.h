#pragma once

// Small vector helpers shared by the sketcher's primitives and its stroking.

#include <cmath>

#include "YKSketcher.h"

namespace yk_sketch {

using Point = YKPoint<double>;

inline Point Scaled(Point p, double f) {
    return {p.x * f, p.y * f};
}

inline Point Middle(Point a, Point b) {
    return {(a.x + b.x) * 0.5, (a.y + b.y) * 0.5};
}

inline double Cross(Point u, Point v) {
    return u.x * v.y - u.y * v.x;
}

inline double Dot(Point u, Point v) {
    return u.x * v.x + u.y * v.y;
}

inline bool IsFinite(Point p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

inline bool AllFinite(const YKPointList& points) {
    for (int32 i = 0; i < points.CountItems(); ++i) {
        if (!IsFinite(points.ItemAt(i))) {
            return false;
        }
    }
    return true;
}

inline void AppendPoints(const YKPointList& from, YKPointList& to) {
    for (int32 i = 0; i < from.CountItems(); ++i) {
        to.AddItem(from.ItemAt(i));
    }
}

}  // namespace yk_sketch
