#include "yk_bezier_distance.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "yk_vector_geometry.h"

namespace {

using Point = YKPoint<double>;
using Piece = std::array<Point, 4>;

// A hard stop; the flatness test below ends the splitting well before it.
constexpr int kMaxDepth = 24;
// Finer than a thousandth of a pixel changes no hit test. Relative to the piece, a billionth of
// its extent: flatness shrinks fourfold per split, so about 15 splits reach it whatever the
// coordinates, which bounds the work on hostile input.
constexpr double kMinEps = 1e-3;
constexpr double kRelativeEps = 1e-9;
// Beyond this no document reaches, and the squares of coordinate differences would overflow.
constexpr double kFar = 1e100;

Point Middle(Point a, Point b) {
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}

double Cross(Point o, Point a, Point b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool InTriangle(Point a, Point b, Point c, Point p) {
    const double d1 = Cross(a, b, p);
    const double d2 = Cross(b, c, p);
    const double d3 = Cross(c, a, p);
    return (d1 >= 0 && d2 >= 0 && d3 >= 0) || (d1 <= 0 && d2 <= 0 && d3 <= 0);
}

// The four triangles of the control points cover their convex hull, which holds the curve
// whatever order the points take (a control polygon may cross itself).
bool InHull(const Piece& c, Point p) {
    return InTriangle(c[0], c[1], c[2], p) || InTriangle(c[0], c[1], c[3], p) ||
           InTriangle(c[0], c[2], c[3], p) || InTriangle(c[1], c[2], c[3], p);
}

// No point of the piece is nearer to `p` than this.
double LowerBound(const Piece& c, Point p) {
    if (InHull(c, p)) {
        return 0;
    }
    double d = std::numeric_limits<double>::infinity();
    for (int i = 0; i < 4; ++i) {
        for (int j = i + 1; j < 4; ++j) {
            d = std::min(d, YKSegPtDist(c[i], c[j], p));
        }
    }
    return d;
}

bool FlatWithin(const Piece& c, double eps) {
    return YKSegPtDist(c[0], c[3], c[1]) <= eps && YKSegPtDist(c[0], c[3], c[2]) <= eps;
}

void Split(const Piece& c, Piece* left, Piece* right) {
    const Point a = Middle(c[0], c[1]);
    const Point b = Middle(c[1], c[2]);
    const Point d = Middle(c[2], c[3]);
    const Point ab = Middle(a, b);
    const Point bd = Middle(b, d);
    const Point mid = Middle(ab, bd);
    *left = {c[0], a, ab, mid};
    *right = {mid, bd, d, c[3]};
}

// Lowers `best` to the distance of the piece when it is nearer, within eps.
void Nearest(const Piece& c, double bound, Point p, double eps, int depth, double* best) {
    if (!(bound < *best - eps)) {
        return;
    }
    if (depth == kMaxDepth || FlatWithin(c, eps)) {
        *best = std::min(*best, YKSegPtDist(c[0], c[3], p));
        return;
    }
    Piece left;
    Piece right;
    Split(c, &left, &right);
    const double leftBound = LowerBound(left, p);
    const double rightBound = LowerBound(right, p);
    // The nearer half first, so that the other is mostly cut off.
    if (leftBound <= rightBound) {
        Nearest(left, leftBound, p, eps, depth + 1, best);
        Nearest(right, rightBound, p, eps, depth + 1, best);
    } else {
        Nearest(right, rightBound, p, eps, depth + 1, best);
        Nearest(left, leftBound, p, eps, depth + 1, best);
    }
}

}  // namespace

double YKBezierPtDist(Point p0, Point p1, Point p2, Point p3, Point p, double eps) {
    const Piece piece{p0, p1, p2, p3};
    double extent = 0;
    for (const Point& c : piece) {
        // Written so that NaN fails too.
        if (!(std::fabs(c.x) <= kFar && std::fabs(c.y) <= kFar)) {
            return std::numeric_limits<double>::infinity();
        }
        extent = std::max({extent, std::fabs(c.x - p0.x), std::fabs(c.y - p0.y)});
    }
    double best = std::numeric_limits<double>::infinity();
    // std::max keeps the floor when eps is NaN.
    const double floor = std::max(kMinEps, extent * kRelativeEps);
    Nearest(piece, LowerBound(piece, p), p, std::max(floor, eps), 0, &best);
    return best;
}
