// Selection, hit tests, knobs, dragging and drawing of a chain of segments.

#include <algorithm>
#include <cmath>

#include "YKSketcher.h"
#include "YKVectorChain.h"
#include "yk_sketch_modes.h"
#include "yk_vector_geometry.h"

// --- Queries ---

bool YKVectorChain::isClosed() const {
    return !mSegments.empty() && mSegments.front().begin == mSegments.back().end;
}

int32 YKVectorChain::segmentNear(Point p, double reach) const {
    for (size_t i = 0; i < mSegments.size(); ++i) {
        const YKVectorSegment& s = mSegments[i];
        if (YKSegPtDist(rotated(mPoints[s.begin]), rotated(mPoints[s.end]), p) < reach) {
            return static_cast<int32>(i);
        }
    }
    return -1;
}

int32 YKVectorChain::pointNear(Point p, double tol) const {
    for (size_t i = 0; i < mPoints.size(); ++i) {
        if (within(rotated(mPoints[i]), p, tol)) {
            return static_cast<int32>(i);
        }
    }
    return -1;
}

YKVectorEntity::PointList YKVectorChain::chainPoints(bool repeatFirst) const {
    PointList points;
    if (mSegments.empty()) {
        return points;
    }
    points.reserve(mSegments.size() + 1);
    points.push_back(rotated(mPoints[mSegments.front().begin]));
    const size_t ends = isClosed() && !repeatFirst ? mSegments.size() - 1 : mSegments.size();
    for (size_t i = 0; i < ends; ++i) {
        points.push_back(rotated(mPoints[mSegments[i].end]));
    }
    return points;
}

void YKVectorChain::getBounds(YKRect<double>* out) const {
    *out = mBounds;
    if (out->IsValid()) {
        const double width = StrokeWidth();
        out->InsetBy(-width, -width);
    }
}

// --- Hit tests and selection ---

int32 YKVectorChain::hitAtTol(Point p, double tol) const {
    int32 result = rawHitAtTol(p, tol);
    if (result == 2 && isClosed()) {
        result = 3;
    }
    if (result != 3) {
        return result;
    }
    return segmentNear(p, StrokeWidth() / 2 + tol) >= 0 ? 1 : 0;
}

int32 YKVectorChain::selectAtTol(Point p, double tol, bool partMode) {
    if (mLocked) {
        return 0;
    }
    if (mSegments.size() == 1 && mSelectionState == 3) {
        mSelectionState = 2;
    }
    const double reach = StrokeWidth() + tol;
    if (!inGrownBounds(p, tol)) {
        mSelectionState = 0;
    } else if (mSelectionState == 1 || mSelectionState == 2 || partMode) {
        const int32 point = pointNear(p, tol);
        const int32 segment = point < 0 ? segmentNear(p, reach) : -1;
        if (point >= 0) {
            mSelectionState = 1;
            mSelectionIndex = point;
        } else if (segment >= 0) {
            mSelectionState = 2;
            mSelectionIndex = segment;
        } else {
            mSelectionState = 0;
        }
    } else if (mSelectionState == 3) {
        const int32 knob = knobAt(p, tol);
        if (knob >= 0) {
            grabKnob(knob);
        }
    } else {
        const int32 segment = segmentNear(p, reach);
        if (segment < 0) {
            mSelectionState = 0;
        } else if (mSegments.size() == 1) {
            mSelectionState = 2;
            mSelectionIndex = segment;
        } else {
            mSelectionState = 3;
        }
    }
    resetKnobs();
    return mSelectionState;
}

void YKVectorChain::selectPartInRect(YKRect<double> rect) {
    for (size_t i = 0; i < mPoints.size(); ++i) {
        if (rect.Contains(rotated(mPoints[i]))) {
            mSelectionState = 1;
            mSelectionIndex = static_cast<int32>(i);
            resetKnobs();
            return;
        }
    }
    select();
}

namespace {

// Whether the segment from a to b meets the rectangle (Liang-Barsky clipping).
bool SegmentMeetsRect(YKPoint<double> a, YKPoint<double> b, const YKRect<double>& r) {
    double t0 = 0;
    double t1 = 1;
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - r.left, r.right - a.x, a.y - r.top, r.bottom - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            t0 = MAX(t0, t);
        } else {
            t1 = MIN(t1, t);
        }
        if (t0 > t1) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool YKVectorChain::entityIntersectRect(YKRect<double> rect) const {
    if (mLocked) {
        return false;
    }
    for (const YKVectorSegment& s : mSegments) {
        if (SegmentMeetsRect(rotated(mPoints[s.begin]), rotated(mPoints[s.end]), rect)) {
            return true;
        }
    }
    return false;
}

// --- Knobs ---

void YKVectorChain::resetKnobs() {
    mKnobs.clear();
    if (mSelectionState == 0 || mSegments.empty()) {
        return;
    }
    if (mSegments.size() == 1) {
        mKnobs = {rotated(mPoints[mSegments[0].begin]), rotated(mPoints[mSegments[0].end])};
        return;
    }
    if (isClosed() && mPoints.size() == 4) {
        mKnobs = rotatedPoints();
        return;
    }
    const YKRect<double>& b = mBounds;
    mKnobs = {{b.left + 4, b.top + 4},
              {b.left + 4, b.bottom - 4},
              {b.right - 4, b.bottom - 4},
              {b.right - 4, b.top + 4}};
    if (mSelectionState == 2 && hasSegment(mSelectionIndex)) {
        const YKVectorSegment& s = mSegments[mSelectionIndex];
        mKnobs.push_back(rotated(mPoints[s.begin]));
        mKnobs.push_back(rotated(mPoints[s.end]));
    } else if (mSelectionState == 1 && mSelectionIndex >= 0 &&
               mSelectionIndex < static_cast<int32>(mPoints.size())) {
        mKnobs.push_back(rotated(mPoints[mSelectionIndex]));
    }
}

// --- Moving ---

void YKVectorChain::rawTranslation(Point delta) {
    if (mSelectionState == 2 && hasSegment(mSelectionIndex)) {
        const YKVectorSegment& s = mSegments[mSelectionIndex];
        mPoints[s.begin] += delta;
        if (s.end != s.begin) {
            mPoints[s.end] += delta;
        }
    } else if (mSelectionState == 1 && mSelectionIndex >= 0 &&
               mSelectionIndex < static_cast<int32>(mPoints.size())) {
        mPoints[mSelectionIndex] += delta;
    } else {
        YKVectorEntity::rawTranslation(delta);
    }
}

void YKVectorChain::draggingTo(Point p, bool flag) {
    if (mModificationMode != kModeDragging || mSelectionState != 4) {
        YKVectorEntity::draggingTo(p, flag);
        return;
    }
    Point ref;
    getDraggingRef(&ref);
    ref += mDraggingOffset;
    const Point c = mTransCenter;
    const double width = StrokeWidth();
    // Close to the centre the factor would jump about, and a negative one would mirror the
    // object: both keep the size on that axis.
    const auto factor = [&](double pointer, double reference, double center) {
        if (std::fabs(pointer - center) < 2 * width || reference == center) {
            return 1.0;
        }
        const double f = (pointer - center) / (reference - center);
        return f < 0 ? 1.0 : f;
    };
    rawResize(factor(p.x, ref.x, c.x), factor(p.y, ref.y, c.y), false);
}

// --- Drawing ---

void YKVectorChain::setupStroke(YKSketcher* sketcher, PaintBuffers* buffers) const {
    setupPaint(sketcher, buffers);
    if (mStroke != nullptr && mStroke->dash != nullptr) {
        sketcher->SetLineMode(mFirstCap, mLastCap, 3, 10.0);
    } else {
        sketcher->SetLineMode(mFirstCap, mLastCap, mJoin, mMiterLimit);
    }
}

void YKVectorChain::drawIn(YKSketcher* sketcher, bool antialias) {
    YKVectorEntity::drawIn(sketcher, antialias);
    if (mSegments.empty()) {
        return;
    }
    PaintBuffers buffers;
    setupStroke(sketcher, &buffers);
    const bool dashed = mStroke != nullptr && mStroke->dash != nullptr;
    if (mSegments.size() == 1) {
        const Point from = rotated(mPoints[mSegments[0].begin]);
        Point to = rotated(mPoints[mSegments[0].end]);
        if (from == to) {
            // A zero-length line still shows as a dot.
            to += Point{0.5, 0.5};
        }
        sketcher->SetClosed(false);
        sketcher->SetFillStyle(0);
        sketcher->DrawLine(from, to);
        return;
    }
    // A dashed closed chain is stroked as an open path, so the dash runs over the last segment.
    const bool closed = isClosed() && !dashed;
    const PointList points = chainPoints(!closed);
    YKPointList list;
    for (const Point& p : points) {
        list.AddItem(p);
    }
    sketcher->SetClosed(closed);
    sketcher->DrawPolygon(&list);
}

double YKVectorChain::endReach() const {
    const bool fills = mFillColorFlag != kColorFlagNone && mFillColorFlag != kColorFlagNotFillable;
    // Patterns and gradients are placed by the whole chain's box, and dashes run from its start.
    const bool plain =
        mStroke != nullptr && mStroke->colorFlag == kColorFlagColor && mStroke->dash == nullptr;
    if (mSegments.size() < 2 || isClosed() || fills || !plain) {
        return -1;
    }
    // The sketcher strokes widths of 1 or less as a hairline of 1.
    const double half = std::fmax(CurrentStrokeWidth(), 1.0) / 2;
    double reach = mJoin == YK_JOIN_MITER ? std::fmax(mMiterLimit, 1.0) * half : half;
    for (int32 cap : {mFirstCap, mLastCap}) {
        if (cap == YK_CAP_SQUARE) {
            reach = std::fmax(reach, half * M_SQRT2);
        } else if (cap > YK_CAP_SQUARE) {
            return -1;
        }
    }
    return reach;
}

void YKVectorChain::drawEndIn(YKSketcher* sketcher, size_t first) {
    if (endReach() < 0) {
        drawIn(sketcher, true);
        return;
    }
    YKVectorEntity::drawIn(sketcher, true);
    first = std::min(first, mSegments.size() - 2);
    PaintBuffers buffers;
    setupStroke(sketcher, &buffers);
    YKPointList list;
    list.AddItem(rotated(mPoints[mSegments[first].begin]));
    for (size_t i = first; i < mSegments.size(); ++i) {
        list.AddItem(rotated(mPoints[mSegments[i].end]));
    }
    sketcher->SetClosed(false);
    sketcher->DrawPolygon(&list);
}
