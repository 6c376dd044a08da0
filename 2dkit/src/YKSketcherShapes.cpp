// The primitives of the sketcher: each turns its control points into the straight-edged
// current polygon. Only cubics are flattened adaptively; ellipses, arcs and rounded corners
// use fixed angular steps.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "YKSketcher.h"
#include "yk_sketch_geometry_internal.h"

namespace {

using yk_sketch::Cross;
using yk_sketch::IsFinite;
using yk_sketch::Middle;
using yk_sketch::Point;
using yk_sketch::Scaled;

// Squared pixels: the cross products measure how far the controls stray from the chord.
constexpr double kBezierTolerance = 5.0;
// Each halving divides the flatness measure by four: 16 halvings flatten curves a hundred
// thousand pixels long, and bound the work for absurd ones (2^16 pieces at most).
constexpr int32 kMaxBezierDepth = 16;

// Whether the curve, which lies within its control points, stays clear of `visible`.
bool Outside(const YKRect<double>& visible, Point p0, Point p1, Point p2, Point p3) {
    const auto all = [&](auto test) { return test(p0) && test(p1) && test(p2) && test(p3); };
    return visible.IsValid() && (all([&](Point p) { return p.x < visible.left; }) ||
                                 all([&](Point p) { return p.x > visible.right; }) ||
                                 all([&](Point p) { return p.y < visible.top; }) ||
                                 all([&](Point p) { return p.y > visible.bottom; }));
}

// `visible` is the drawing frame grown by how far a stroke reaches; a piece of curve that stays
// clear of it is not worth subdividing (an empty rectangle: everything is).
void ComputeBezier(YKPointList& out, Point p0, Point p1, Point p2, Point p3, double tol,
                   int32 depth, const YKRect<double>& visible) {
    const bool flat =
        (std::fabs(Cross(p1 - p0, p2 - p0)) < tol && std::fabs(Cross(p2 - p0, p3 - p0)) < tol) ||
        Outside(visible, p0, p1, p2, p3);
    if (flat || depth >= kMaxBezierDepth || out.CountItems() >= YKSketcher::kMaxFlattenedPoints) {
        out.AddItem(p3);
        return;
    }
    // de Casteljau at t = 1/2.
    const Point p01 = Middle(p0, p1);
    const Point p12 = Middle(p1, p2);
    const Point p23 = Middle(p2, p3);
    const Point p012 = Middle(p01, p12);
    const Point p123 = Middle(p12, p23);
    const Point mid = Middle(p012, p123);
    ComputeBezier(out, p0, p01, p012, mid, tol, depth + 1, visible);
    ComputeBezier(out, mid, p123, p23, p3, tol, depth + 1, visible);
}

// Cubics in groups of four points; see ComputeBezier for `visible`.
void FlattenBeziers(YKPointList& out, const YKPointList& points, const YKRect<double>& visible) {
    for (int32 i = 0; i + 3 < points.CountItems(); i += 4) {
        const Point p[4] = {points.ItemAt(i), points.ItemAt(i + 1), points.ItemAt(i + 2),
                            points.ItemAt(i + 3)};
        out.AddItem(p[0]);
        if (IsFinite(p[0]) && IsFinite(p[1]) && IsFinite(p[2]) && IsFinite(p[3])) {
            ComputeBezier(out, p[0], p[1], p[2], p[3], kBezierTolerance, 0, visible);
        } else {
            // Kept as it stands, unflattened: the non-finite point drops the whole polygon
            // when it is closed.
            for (int32 k = 1; k < 4; ++k) {
                out.AddItem(p[k]);
            }
        }
    }
}

// Keeps points from appearing twice where a straight side has shrunk to nothing.
void AddDistinct(YKPointList& out, Point p) {
    if (out.IsEmpty() || !(out.LastItem() == p)) {
        out.AddItem(p);
    }
}

}  // namespace

void YKSketcher::SetLine(YKPoint<double> a, YKPoint<double> b) {
    mCurrent->AddItem(a);
    mCurrent->AddItem(b);
}

void YKSketcher::SetPolygon(const YKPointList& points) {
    mCurrent->MakeEmpty();
    yk_sketch::AppendPoints(points, *mCurrent);
}

void YKSketcher::SetRect(const YKPointList& corners) {
    for (int32 i = 0; i < MIN(corners.CountItems(), int32(4)); ++i) {
        mCurrent->AddItem(corners.ItemAt(i));
    }
}

void YKSketcher::SetRect(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2,
                         YKPoint<double> p3) {
    SetLine(p0, p1);
    SetLine(p2, p3);
}

void YKSketcher::SetBezier(const YKPointList& points) {
    YKRect<double> visible{1, 1, -1, -1};
    if (mFrame.IsValid()) {
        // A stroke reaches at most its miter (or a decorative cap, a few widths) beyond the path.
        const double reach = std::max(mWidth, 1.0) * std::max(mMiterLimit, 4.0) + 2;
        if (std::isfinite(reach)) {
            visible = {mFrame.left - reach, mFrame.top - reach, mFrame.right + 1 + reach,
                       mFrame.bottom + 1 + reach};
        }
    }
    FlattenBeziers(*mCurrent, points, visible);
}

void YKSketcher::SetBezierWhole(const YKPointList& points) {
    FlattenBeziers(*mCurrent, points, {1, 1, -1, -1});
}

void YKSketcher::SetEllipse(YKPoint<double> p0, YKPoint<double>, YKPoint<double> p2,
                            YKPoint<double> p3) {
    // The half axes as vectors, a·(cos θ1, sin θ1) and b·(cos θ2, sin θ2); the corner p1
    // opposite p0 follows from the other three.
    const Point a = Scaled(p2 - p0, 0.5);
    const Point b = Scaled(p0 - p3, 0.5);
    if ((a.x == 0 && a.y == 0) || (b.x == 0 && b.y == 0)) {
        return;
    }
    const Point center = Middle(p2, p3);
    for (int32 k = 0; k * 0.1 <= 2 * std::numbers::pi; ++k) {
        const double t = k * 0.1;
        mCurrent->AddItem(center - Scaled(a, std::cos(t)) + Scaled(b, std::sin(t)));
    }
}

void YKSketcher::SetArc(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2) {
    const Point axis1 = p1 - p0;
    const Point axis2 = p0 - p2;
    const Point end = p2 + axis1;
    if ((axis1.x == 0 && axis1.y == 0) || (axis2.x == 0 && axis2.y == 0)) {
        SetLine(p0, end);
    } else {
        for (int32 k = 0; k * 0.02 < std::numbers::pi / 2; ++k) {
            const double t = k * 0.02;
            mCurrent->AddItem(p2 + Scaled(axis1, std::sin(t)) + Scaled(axis2, std::cos(t)));
        }
        // The fixed step stops short of the quarter; the curve still ends on its corner.
        mCurrent->AddItem(end);
    }
    mCurrent->AddItem(p2);
}

void YKSketcher::SetRoundRect(YKPoint<double> p0, YKPoint<double> p1, YKPoint<double> p2,
                              YKPoint<double> p3, double rx, double ry) {
    if (!(rx > 0) || !(ry > 0)) {
        SetRect(p0, p1, p2, p3);
        return;
    }
    const Point corner[4] = {p0, p1, p2, p3};
    const int32 first = mCurrent->CountItems();
    // fraction[k]: how far along side k (corner k to k + 1) each of its two arcs reaches.
    double fraction[4];
    for (int32 k = 0; k < 4; ++k) {
        const Point side = corner[(k + 1) % 4] - corner[k];
        const double length = std::hypot(side.x, side.y);
        const double radius = MIN(k % 2 == 0 ? rx : ry, length / 2);
        fraction[k] = length > 0 ? radius / length : 0.0;
    }
    for (int32 k = 0; k < 4; ++k) {
        const Point back = Scaled(corner[(k + 3) % 4] - corner[k], fraction[(k + 3) % 4]);
        const Point ahead = Scaled(corner[(k + 1) % 4] - corner[k], fraction[k]);
        const Point center = corner[k] + back + ahead;
        for (int32 step = 0; step * 0.1 < std::numbers::pi / 2; ++step) {
            const double t = step * 0.1;
            AddDistinct(*mCurrent, center - Scaled(ahead, std::cos(t)) - Scaled(back, std::sin(t)));
        }
        AddDistinct(*mCurrent, corner[k] + ahead);
    }
    if (mCurrent->LastItem() == mCurrent->ItemAt(first)) {
        mCurrent->RemoveItem(mCurrent->CountItems() - 1);
    }
}
