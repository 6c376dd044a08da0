#pragma once

// Stroking of the sketcher's fill polygons.
//
// Every drawn piece of a path becomes one outline polygon: its left side in path order
// (outline out), the end cap, its right side backwards (outline in) and the start cap; a
// closed path becomes its left ring followed by its reversed right ring. The polygon is filled
// on its own with the non-zero rule, so it must wind the same way around every point of the
// band. That holds because the polygon is, edge for edge, the sum of
//   - one quadrilateral per segment (its four band corners), all turning the same way,
//   - one piece per outer join side and per cap, turning that way too,
// with the vertex itself put on the inner side of every join: the inner corners then meet at
// the vertex and add nothing, where joining them directly would subtract a triangle that short
// segments do not cover.

#include <span>
#include <vector>

#include "YKSketcher.h"

class YKDash;

// A sketcher keeps its stroker, and with it the working storage of one piece, from one drawing
// to the next: text and small shapes by the thousand then stroke without allocating anything
// but the outline lists they hand over.
class YKStroker {
public:
    explicit YKStroker(YKSketcher& sketcher) : mSketcher(sketcher) {}

    // Adds the outline polygons of one fill polygon to the sketcher's outline lists.
    void Outline(const YKPointList& polygon);

    // Codes of the dashed path's points.
    enum DashCode : int32 {
        kDashDrawn = 0,    // inside a drawn piece
        kDashStart = 1,    // a drawn piece starts here
        kDashEnd = 2,      // a drawn piece ends here
        kDashSkipped = 3,  // inside a gap
        kDashPathEnd = 4,  // the last point of the path; ends a piece that is still drawn
    };
    // Dash boundaries inserted into one path at most. A dash of tiny lengths on a long path
    // stops being cut there and keeps its last state to the end of the path.
    static constexpr int32 kMaxDashMarks = 1 << 16;

private:
    using Point = YKPoint<double>;

    struct PathPoint {
        Point at;
        double half = 0;  // half the stroke width here
        int32 code = kDashDrawn;
    };
    // A segment between two distinct points of a piece.
    struct Segment {
        Point from;
        Point to;
        Point dir;   // unit direction
        Point left;  // unit normal to the left of `dir`
        double half0 = 0;
        double half1 = 0;
    };

    // --- Pieces
    void OutlinePiece(std::span<const PathPoint> piece, bool closed);
    // The piece's segments into mSegments.
    void Segments(std::span<const PathPoint> piece);
    // Hands the sides in mOut and mIn to the sketcher, with the outline polygon they make.
    void AddPolygon();

    // --- Dashes: mPath is cut at the dash boundaries and its points coded.
    void DashOutline(const YKDash& dash);
    void OutlineDashes();

    // --- Joins: the points between the end corners of `a` and the start corners of `b`,
    // added to the sides in path order.
    void AddJoin(const Segment& a, const Segment& b);

    // --- Caps: the points of the cap `mode` at `at`, `dir` pointing away from the band, from
    // the band corner left of `dir` round to the one on its right (both excluded).
    static void AddCap(int32 mode, Point at, Point dir, double half, std::vector<Point>& side);

    YKSketcher& mSketcher;
    std::vector<PathPoint> mPath;
    std::vector<PathPoint> mDashed;
    std::vector<Segment> mSegments;
    // The two sides of the piece being outlined, left (outline out) and right (outline in).
    std::vector<Point> mOut;
    std::vector<Point> mIn;
};
