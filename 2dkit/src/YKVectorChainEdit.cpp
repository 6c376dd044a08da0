// Path editing of a chain: inserting, cutting, closing, reversing, linking, deleting.

#include <algorithm>

#include "YKVectorChain.h"
#include "yk_vector_geometry.h"

void YKVectorChain::compactPoints() {
    std::vector<int32> renumber(mPoints.size(), -1);
    for (const YKVectorSegment& s : mSegments) {
        renumber[s.begin] = 0;
        renumber[s.end] = 0;
    }
    PointList kept;
    for (size_t i = 0; i < mPoints.size(); ++i) {
        if (renumber[i] == 0) {
            renumber[i] = static_cast<int32>(kept.size());
            kept.push_back(mPoints[i]);
        }
    }
    for (YKVectorSegment& s : mSegments) {
        s.begin = renumber[s.begin];
        s.end = renumber[s.end];
    }
    mPoints = std::move(kept);
    resetBox();
    resetBounds();
}

// --- Closing and reversing ---

bool YKVectorChain::closeAtTol(double tol) {
    if (mSegments.size() < 2 || isClosed()) {
        return false;
    }
    const int32 first = mSegments.front().begin;
    const int32 last = mSegments.back().end;
    if (!within(mPoints[last], mPoints[first], tol)) {
        return false;
    }
    mSegments.back().end = first;
    // The end point is now superfluous unless another segment still uses it.
    compactPoints();
    return true;
}

void YKVectorChain::close() {
    if (!mSegments.empty() && !isClosed()) {
        appendSegment(mSegments.back().end, mSegments.front().begin);
    }
}

void YKVectorChain::reverse() {
    std::reverse(mSegments.begin(), mSegments.end());
    for (YKVectorSegment& s : mSegments) {
        std::swap(s.begin, s.end);
    }
}

// --- Inserting ---

void YKVectorChain::insertNewPointOnSegment(int32 segment, Point point) {
    if (!hasSegment(segment)) {
        return;
    }
    YKVectorSegment& s = mSegments[segment];
    mPoints.push_back(YKPointOnSeg(mPoints[s.begin], mPoints[s.end], point));
    const int32 added = static_cast<int32>(mPoints.size()) - 1;
    const int32 oldEnd = s.end;
    s.end = added;
    mSegments.insert(mSegments.begin() + segment + 1, YKVectorSegment{added, oldEnd, 0});
}

void YKVectorChain::insertPointWithTol(Point p, double tol) {
    if (mLocked || !inGrownBounds(p, tol)) {
        return;
    }
    const int32 segment = segmentNear(p, StrokeWidth() / 2 + tol);
    if (segment < 0) {
        return;
    }
    // The chain's own points are unrotated: so is the inserted one.
    insertNewPointOnSegment(segment, rotatePt(p, -mGlobalAngle, mGlobalCenter));
    mSelectionState = 1;
    mSelectionIndex = static_cast<int32>(mPoints.size()) - 1;
    resetBox();
    resetBounds();
    resetKnobs();
}

// --- Cutting ---

void YKVectorChain::removeSegsAfter(int32 point) {
    for (size_t i = 0; i < mSegments.size(); ++i) {
        if (mSegments[i].end == point) {
            mSegments.resize(i + 1);
            break;
        }
    }
    compactPoints();
}

void YKVectorChain::removeSegsBefore(int32 point) {
    for (size_t i = 0; i < mSegments.size(); ++i) {
        if (mSegments[i].begin == point) {
            mSegments.erase(mSegments.begin(), mSegments.begin() + static_cast<ptrdiff_t>(i));
            break;
        }
    }
    compactPoints();
}

YKVectorChain* YKVectorChain::cutOn(int32 point) {
    if (mSegments.empty() || point < 0 || point >= static_cast<int32>(mPoints.size())) {
        return nullptr;
    }
    if (!isClosed()) {
        if (point == mSegments.front().begin || point == mSegments.back().end) {
            return nullptr;
        }
        auto* rest = static_cast<YKVectorChain*>(copy());
        removeSegsAfter(point);
        rest->removeSegsBefore(point);
        return rest;
    }
    const auto start = std::find_if(mSegments.begin(), mSegments.end(),
                                    [point](const YKVectorSegment& s) { return s.begin == point; });
    if (start == mSegments.end()) {
        return nullptr;
    }
    std::rotate(mSegments.begin(), start, mSegments.end());
    mPoints.push_back(mPoints[point]);
    mSegments.back().end = static_cast<int32>(mPoints.size()) - 1;
    resetKnobs();
    return this;
}

YKVectorEntity* YKVectorChain::cutWithTol(Point p, double tol) {
    const int32 point = pointNear(p, tol);
    return point < 0 ? nullptr : cutOn(point);
}

// --- Linking ---

bool YKVectorChain::linkWith(int32 end, const YKVectorChain* other, int32 otherEnd, bool flag) {
    if (other == nullptr || other == this || other->mSegments.empty() || mSegments.empty() ||
        isClosed() || other->isClosed()) {
        return false;
    }
    // Bring this chain's linked end last and the other's first, then append its points.
    if (end == 0) {
        reverse();
    }
    PointList incoming;
    for (const Point& p : other->chainPoints(true)) {
        incoming.push_back(rotatePt(p, -mGlobalAngle, mGlobalCenter));
    }
    if (otherEnd == 1) {
        std::reverse(incoming.begin(), incoming.end());
    }
    size_t first = 0;
    if (flag) {
        mPoints[mSegments.back().end] = incoming.front();
        first = 1;
    }
    for (size_t i = first; i < incoming.size(); ++i) {
        mPoints.push_back(incoming[i]);
        appendSegment(mSegments.back().end, static_cast<int32>(mPoints.size()) - 1);
    }
    resetBox();
    resetBounds();
    return true;
}

bool YKVectorChain::mergeWithTol(YKVectorEntity* entity, double tol) {
    auto* other = dynamic_cast<YKVectorChain*>(entity);
    if (other == nullptr || other->mSegments.empty() || mSegments.empty()) {
        return false;
    }
    const Point ends[2] = {rotated(mPoints[mSegments.front().begin]),
                           rotated(mPoints[mSegments.back().end])};
    const Point otherEnds[2] = {other->rotated(other->mPoints[other->mSegments.front().begin]),
                                other->rotated(other->mPoints[other->mSegments.back().end])};
    for (int32 end = 1; end >= 0; --end) {
        for (int32 otherEnd = 0; otherEnd < 2; ++otherEnd) {
            if (within(ends[end], otherEnds[otherEnd], tol)) {
                return linkWith(end, other, otherEnd, true);
            }
        }
    }
    return false;
}

// --- Deleting ---

void YKVectorChain::deleteSelectedPart() {
    if (mSelectionState == 1 && mSegments.size() > 1) {
        // The point's two segments become one; an end point takes its segment with it.
        const int32 point = mSelectionIndex;
        const auto in = std::find_if(mSegments.begin(), mSegments.end(),
                                     [point](const YKVectorSegment& s) { return s.end == point; });
        const auto out =
            std::find_if(mSegments.begin(), mSegments.end(),
                         [point](const YKVectorSegment& s) { return s.begin == point; });
        if (in != mSegments.end() && out != mSegments.end()) {
            in->end = out->end;
            mSegments.erase(out);
        } else if (in != mSegments.end()) {
            mSegments.erase(in);
        } else if (out != mSegments.end()) {
            mSegments.erase(out);
        }
    } else if (mSelectionState == 2 && mSegments.size() > 1 && hasSegment(mSelectionIndex)) {
        // Taking a segment out of a closed chain opens it there; out of an open chain only its
        // first or last segment can go without splitting the object in two.
        if (isClosed()) {
            std::rotate(mSegments.begin(), mSegments.begin() + mSelectionIndex + 1,
                        mSegments.end());
            mSegments.pop_back();
        } else if (mSelectionIndex == 0) {
            mSegments.erase(mSegments.begin());
        } else if (mSelectionIndex == static_cast<int32>(mSegments.size()) - 1) {
            mSegments.pop_back();
        } else {
            return;
        }
    } else {
        return;
    }
    mSelectionState = 3;
    compactPoints();
    resetKnobs();
}

void YKVectorChain::setLength_andAngle(double length, double angle) {
    if (mSelectionState == 2) {
        setLength_andAngle_forSegmentNumber(length, angle, mSelectionIndex);
        resetBox();
        resetBounds();
    }
}

void YKVectorChain::getSelectionDimensions(YKVectorDimensions* dimensions) const {
    if (mSelectionState == 2) {
        getDimensions_ofSegmentNumber(dimensions, mSelectionIndex);
    } else {
        YKVectorEntity::getSelectionDimensions(dimensions);
    }
}
