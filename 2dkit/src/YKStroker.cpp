// Outline of a fill polygon: the band of each piece, its joins and the assembly of the
// outline polygons (why one polygon per piece covers the band: yk_stroker_internal.h).

#include <algorithm>
#include <cmath>
#include <memory>

#include "YKDash.h"
#include "yk_sketch_geometry_internal.h"
#include "yk_stroker_internal.h"

namespace {

using yk_sketch::Cross;
using yk_sketch::Dot;
using yk_sketch::Point;
using yk_sketch::Scaled;

Point Rotated(Point p, double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return {p.x * c - p.y * s, p.x * s + p.y * c};
}

// Half a width of the width array: missing, negative or non-finite entries give none.
double HalfWidth(double width) {
    return std::isfinite(width) && width > 0 ? width / 2 : 0.0;
}

// The dash to cut with, or null for a solid stroke: the tab must have only finite,
// non-negative lengths adding up to more than nothing.
const YKDash* UsableDash(const YKDash* dash) {
    if (dash == nullptr || dash->IsEmpty()) {
        return nullptr;
    }
    for (int32 i = 0; i < dash->CountTab(); ++i) {
        if (!(dash->TabAt(i) >= 0) || !std::isfinite(dash->TabAt(i))) {
            return nullptr;
        }
    }
    const double length = dash->PatternLen();
    return length > 0 && std::isfinite(length) ? dash : nullptr;
}

}  // namespace

void YKStroker::Outline(const YKPointList& polygon) {
    const int32 count = polygon.CountItems();
    if (count < 2 || !(mSketcher.mWidth > 1.0)) {
        return;
    }
    const YKList<double>* widths = mSketcher.mWidthArray;
    mPath.clear();
    mPath.reserve(count + 1);
    const Point* points = polygon.Items();
    for (int32 i = 0; i < count; ++i) {
        const double half = widths != nullptr ? HalfWidth(widths->ItemAt(i)) : mSketcher.mWidth / 2;
        mPath.push_back({points[i], half});
    }
    const bool closed = mSketcher.mClosed;
    if (closed) {
        mPath.push_back(mPath.front());
    }
    // Dashes are open pieces, capped at both ends even on a closed path.
    if (const YKDash* dash = UsableDash(mSketcher.mStrokeDash)) {
        DashOutline(*dash);
        OutlineDashes();
    } else {
        OutlinePiece(mPath, closed);
    }
}

// --- Pieces

void YKStroker::Segments(std::span<const PathPoint> piece) {
    mSegments.clear();
    mSegments.reserve(piece.size());
    for (size_t i = 0; i + 1 < piece.size(); ++i) {
        const Point from = piece[i].at;
        const Point to = piece[i + 1].at;
        const double length = std::hypot(to.x - from.x, to.y - from.y);
        // Equal points make no segment; an overflowing length has no direction.
        if (!(length > 0) || !std::isfinite(length)) {
            continue;
        }
        const Point dir{(to.x - from.x) / length, (to.y - from.y) / length};
        mSegments.push_back({from, to, dir, {-dir.y, dir.x}, piece[i].half, piece[i + 1].half});
    }
}

void YKStroker::OutlinePiece(std::span<const PathPoint> piece, bool closed) {
    Segments(piece);
    if (mSegments.empty()) {
        return;
    }
    mOut.clear();
    mIn.clear();
    const int32 capIn = mSketcher.mCapIn;
    const int32 capOut = mSketcher.mCapOut;
    const Segment& first = mSegments.front();
    const Segment& last = mSegments.back();
    if (!closed) {
        AddCap(capIn, first.from, Scaled(first.dir, -1), first.half0, mOut);
    }
    for (size_t k = 0; k < mSegments.size(); ++k) {
        const Segment& s = mSegments[k];
        if (k > 0) {
            AddJoin(mSegments[k - 1], s);
        }
        mOut.push_back(s.from + Scaled(s.left, s.half0));
        mOut.push_back(s.to + Scaled(s.left, s.half1));
        mIn.push_back(s.from - Scaled(s.left, s.half0));
        mIn.push_back(s.to - Scaled(s.left, s.half1));
    }
    if (closed) {
        AddJoin(last, first);
        mOut.push_back(first.from + Scaled(first.left, first.half0));
        mIn.push_back(first.from - Scaled(first.left, first.half0));
    } else {
        AddCap(capOut, last.to, last.dir, last.half1, mOut);
    }
    AddPolygon();
}

void YKStroker::AddPolygon() {
    // Widths or coordinates near the limits of doubles can overflow; such a piece is dropped.
    const auto finite = [](const std::vector<Point>& side) {
        return std::all_of(side.begin(), side.end(), yk_sketch::IsFinite);
    };
    if (!finite(mOut) || !finite(mIn)) {
        return;
    }
    // Each list is made at its final size (the block size is the first allocation), and the
    // polygon is the out side followed by the in side backwards.
    const auto outCount = static_cast<int32>(mOut.size());
    const auto inCount = static_cast<int32>(mIn.size());
    auto out = std::make_unique<YKPointList>(outCount);
    auto in = std::make_unique<YKPointList>(inCount);
    auto polygon = std::make_unique<YKPointList>(outCount + inCount);
    out->AddItems(mOut.data(), outCount);
    in->AddItems(mIn.data(), inCount);
    std::reverse(mIn.begin(), mIn.end());
    polygon->AddItems(mOut.data(), outCount);
    polygon->AddItems(mIn.data(), inCount);
    mSketcher.mOutlineOut.AddItem(out.release());
    mSketcher.mOutlineIn.AddItem(in.release());
    mSketcher.mOutline.AddItem(polygon.release());
}

// --- Joins

void YKStroker::AddJoin(const Segment& a, const Segment& b) {
    const double turn = Cross(a.dir, b.dir);
    const double along = Dot(a.dir, b.dir);
    if (turn == 0 && along > 0) {
        return;  // straight on: the corners coincide
    }
    // The path turns away from the outer side; a full U-turn is rounded on the left.
    const bool outerLeft = turn < 0 || (turn == 0 && along < 0);
    const Point vertex = b.from;
    std::vector<Point>& outer = outerLeft ? mOut : mIn;
    std::vector<Point>& inner = outerLeft ? mIn : mOut;
    inner.push_back(vertex);

    // Miter, round and bevel are built for parallel sides: one width along both segments.
    int32 join = mSketcher.mJoin;
    if (a.half0 != a.half1 || a.half1 != b.half0 || b.half0 != b.half1) {
        join = YK_JOIN_NONE;
    }
    const double half = b.half0;
    switch (join) {
        case YK_JOIN_MITER: {
            // The outer offset lines meet on the bisector at half / cos(angle / 2), which is
            // cut back to the miter limit's reach rather than bevelled.
            const Point bisector = a.dir - b.dir;
            const Point toTip = Scaled(bisector, 1 / std::hypot(bisector.x, bisector.y));
            const double cosHalfAngle = std::hypot(a.dir.x + b.dir.x, a.dir.y + b.dir.y) / 2;
            const double reach = MAX(0.0, mSketcher.mMiterLimit) * half;
            const double tip = half < reach * cosHalfAngle ? half / cosHalfAngle : reach;
            outer.push_back(vertex + Scaled(toTip, tip));
            break;
        }
        case YK_JOIN_ROUND: {
            const Point from = Scaled(outerLeft ? a.left : Scaled(a.left, -1), half);
            const double angle = std::atan2(std::fabs(turn), along);
            const double sweep = outerLeft ? -0.1 : 0.1;
            for (int32 k = 1; k * 0.1 < angle; ++k) {
                outer.push_back(vertex + Rotated(from, k * sweep));
            }
            break;
        }
        case YK_JOIN_BEVEL:
        case 6:  // an older value of the bevel
            break;
        default:
            // The bands only meet: the outer corners are joined through the vertex too.
            outer.push_back(vertex);
            break;
    }
}
