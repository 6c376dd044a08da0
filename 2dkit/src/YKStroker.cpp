// Outline of a fill polygon: the band of each piece, its joins and the assembly of the
// outline polygons (why one polygon per piece covers the band: yk_stroker_internal.h).

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
    for (int32 i = 0; i < count; ++i) {
        const double half = widths != nullptr ? HalfWidth(widths->ItemAt(i)) : mSketcher.mWidth / 2;
        mPath.push_back({polygon.ItemAt(i), half});
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

std::vector<YKStroker::Segment> YKStroker::Segments(std::span<const PathPoint> piece) {
    std::vector<Segment> segments;
    for (size_t i = 0; i + 1 < piece.size(); ++i) {
        const Point from = piece[i].at;
        const Point to = piece[i + 1].at;
        const double length = std::hypot(to.x - from.x, to.y - from.y);
        // Equal points make no segment; an overflowing length has no direction.
        if (!(length > 0) || !std::isfinite(length)) {
            continue;
        }
        const Point dir{(to.x - from.x) / length, (to.y - from.y) / length};
        segments.push_back({from, to, dir, {-dir.y, dir.x}, piece[i].half, piece[i + 1].half});
    }
    return segments;
}

void YKStroker::OutlinePiece(std::span<const PathPoint> piece, bool closed) {
    const std::vector<Segment> segments = Segments(piece);
    if (segments.empty()) {
        return;
    }
    auto out = std::make_unique<YKPointList>(16);
    auto in = std::make_unique<YKPointList>(16);
    const int32 capIn = mSketcher.mCapIn;
    const int32 capOut = mSketcher.mCapOut;
    const Segment& first = segments.front();
    const Segment& last = segments.back();
    if (!closed) {
        AddCap(capIn, first.from, Scaled(first.dir, -1), first.half0, *out);
    }
    for (size_t k = 0; k < segments.size(); ++k) {
        const Segment& s = segments[k];
        if (k > 0) {
            AddJoin(segments[k - 1], s, *out, *in);
        }
        out->AddItem(s.from + Scaled(s.left, s.half0));
        out->AddItem(s.to + Scaled(s.left, s.half1));
        in->AddItem(s.from - Scaled(s.left, s.half0));
        in->AddItem(s.to - Scaled(s.left, s.half1));
    }
    if (closed) {
        AddJoin(last, first, *out, *in);
        out->AddItem(first.from + Scaled(first.left, first.half0));
        in->AddItem(first.from - Scaled(first.left, first.half0));
    } else {
        AddCap(capOut, last.to, last.dir, last.half1, *out);
    }
    AddPolygon(out.release(), in.release());
}

void YKStroker::AddPolygon(YKPointList* out, YKPointList* in) {
    auto polygon = std::make_unique<YKPointList>(16);
    yk_sketch::AppendPoints(*out, *polygon);
    for (int32 i = in->CountItems() - 1; i >= 0; --i) {
        polygon->AddItem(in->ItemAt(i));
    }
    // Widths or coordinates near the limits of doubles can overflow; such a piece is dropped.
    if (!yk_sketch::AllFinite(*polygon)) {
        delete out;
        delete in;
        return;
    }
    mSketcher.mOutlineOut.AddItem(out);
    mSketcher.mOutlineIn.AddItem(in);
    mSketcher.mOutline.AddItem(polygon.release());
}

// --- Joins

void YKStroker::AddJoin(const Segment& a, const Segment& b, YKPointList& out,
                        YKPointList& in) const {
    const double turn = Cross(a.dir, b.dir);
    const double along = Dot(a.dir, b.dir);
    if (turn == 0 && along > 0) {
        return;  // straight on: the corners coincide
    }
    // The path turns away from the outer side; a full U-turn is rounded on the left.
    const bool outerLeft = turn < 0 || (turn == 0 && along < 0);
    const Point vertex = b.from;
    YKPointList& outer = outerLeft ? out : in;
    YKPointList& inner = outerLeft ? in : out;
    inner.AddItem(vertex);

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
            outer.AddItem(vertex + Scaled(toTip, tip));
            break;
        }
        case YK_JOIN_ROUND: {
            const Point from = Scaled(outerLeft ? a.left : Scaled(a.left, -1), half);
            const double angle = std::atan2(std::fabs(turn), along);
            const double sweep = outerLeft ? -0.1 : 0.1;
            for (int32 k = 1; k * 0.1 < angle; ++k) {
                outer.AddItem(vertex + Rotated(from, k * sweep));
            }
            break;
        }
        case YK_JOIN_BEVEL:
        case 6:  // an older value of the bevel
            break;
        default:
            // The bands only meet: the outer corners are joined through the vertex too.
            outer.AddItem(vertex);
            break;
    }
}
