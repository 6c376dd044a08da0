// Caps at the ends of an open piece. One routine serves both ends: it works in the frame of
// the end, u pointing away from the band and v to the left of u, where the band's corners are
// (0, half) and (0, -half) and every cap turns clockwise from the first to the second, the way
// the band's own quadrilaterals turn.

#include <cmath>
#include <numbers>
#include <span>
#include <vector>

#include "yk_stroker_internal.h"

namespace {

using Point = YKPoint<double>;

// The decorative caps are closed shapes about the end point, in half widths, clockwise.
constexpr Point kArrow1[] = {{-1, 2}, {2, 0}, {-1, -2}};
constexpr Point kArrow2[] = {{-1, 2.5}, {3, 0}, {-1, -2.5}, {0, 0}};
constexpr Point kArrow3[] = {{-1, 3}, {2, 0}, {-1, -3}, {-2, -2}, {0, 0}, {-2, 2}};
constexpr Point kNail[] = {{-0.5, 2}, {0.5, 2}, {0.5, -2}, {-0.5, -2}};
// A square of side 3·w/2 standing on a corner: about the area of the circle cap.
constexpr double kDiamondReach = 3 / std::numbers::sqrt2;
constexpr Point kDiamond[] = {
    {0, kDiamondReach}, {kDiamondReach, 0}, {0, -kDiamondReach}, {-kDiamondReach, 0}};
constexpr double kCircleRadius = std::numbers::sqrt3;

class CapFrame {
public:
    CapFrame(Point at, Point dir, double half, std::vector<Point>& side)
        : mAt(at), mDir(dir), mHalf(half), mSide(side) {}

    // Adds the point (u, v), in half widths.
    void Add(double u, double v) const {
        mSide.push_back(
            {mAt.x + (mDir.x * u - mDir.y * v) * mHalf, mAt.y + (mDir.y * u + mDir.x * v) * mHalf});
    }
    // Points on the circle of `radius` half widths, from the top (0, radius) clockwise, every
    // 0.1 radian while the angle stays below `sweep`.
    void AddArc(double radius, double sweep, int32 firstStep) const {
        for (int32 k = firstStep; k * 0.1 < sweep; ++k) {
            Add(radius * std::sin(k * 0.1), radius * std::cos(k * 0.1));
        }
    }
    // A closed shape about the end point: the band runs flush into the end point, round the
    // shape and back, which adds the shape and nothing else.
    void AddLoop(std::span<const Point> shape) const {
        Add(0, 0);
        for (const Point p : shape) {
            Add(p.x, p.y);
        }
        Add(shape.front().x, shape.front().y);
        Add(0, 0);
    }
    void AddCircle(double radius) const {
        Add(0, 0);
        AddArc(radius, 2 * std::numbers::pi, 0);
        Add(0, radius);
        Add(0, 0);
    }

private:
    Point mAt;
    Point mDir;
    double mHalf;
    std::vector<Point>& mSide;
};

}  // namespace

void YKStroker::AddCap(int32 mode, Point at, Point dir, double half, std::vector<Point>& side) {
    const CapFrame frame(at, dir, half, side);
    switch (mode) {
        case YK_CAP_ROUND:
            frame.AddArc(1, std::numbers::pi, 1);
            break;
        case YK_CAP_BUTT:
            frame.Add(0, 0);
            break;
        case YK_CAP_SQUARE:
            frame.Add(1, 1);
            frame.Add(1, -1);
            break;
        case YK_CAP_ARROW1:
            frame.AddLoop(kArrow1);
            break;
        case YK_CAP_ARROW2:
            frame.AddLoop(kArrow2);
            break;
        case YK_CAP_ARROW3:
            frame.AddLoop(kArrow3);
            break;
        case YK_CAP_CIRCLE:
            frame.AddCircle(kCircleRadius);
            break;
        case YK_CAP_DIAMOND:
            frame.AddLoop(kDiamond);
            break;
        case YK_CAP_NAIL:
            frame.AddLoop(kNail);
            break;
        default:
            // 0, 1, 3 and unknown values: the band ends flush.
            break;
    }
}
