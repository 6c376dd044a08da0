#include "YKVectorBezier.h"

#include <algorithm>

#include "yk_vector_geometry.h"

// Drawing a path with the pen tool: a press places an anchor (with its two handles after the
// first), the drag pulls the outgoing handle out while the incoming one mirrors it, the release
// starts the next anchor under the pointer.

namespace {

void Grow(YKRect<double>* rect, YKPoint<double> point) {
    if (!rect->IsValid()) {
        *rect = {point.x, point.y, point.x, point.y};
        return;
    }
    rect->left = std::min(rect->left, point.x);
    rect->top = std::min(rect->top, point.y);
    rect->right = std::max(rect->right, point.x);
    rect->bottom = std::max(rect->bottom, point.y);
}

}  // namespace

int32 YKVectorBezier::mirrorLastHandle(Point point) {
    if (mSegments.empty()) {
        return -1;
    }
    int32 anchor = -1;
    const int32 handle = FindSymTgt(mSegments.back().end, &anchor);
    if (handle >= 0) {
        mPoints[handle] = mirrorAbout(point, mPoints[anchor]);
    }
    return handle;
}

void YKVectorBezier::dropLastPoint() {
    const int32 end = mSegments.back().end;
    mSegments.pop_back();
    dropPointIfUnused(end);
}

void YKVectorBezier::dropPointIfUnused(int32 index) {
    if (index != static_cast<int32>(mPoints.size()) - 1) {
        return;
    }
    for (const YKVectorSegment& segment : mSegments) {
        if (segment.begin == index || segment.end == index) {
            return;
        }
    }
    mPoints.pop_back();
}

void YKVectorBezier::addPoint(Point point, bool constrain) {
    const size_t count = mSegments.size();
    if (count == 0) {
        return;
    }
    int32 mirrored = -1;
    if (count == 1) {
        YKVectorEntity::addPoint(point, constrain);
    } else if ((count - 1) % 3 == 1) {
        // The anchor just placed gets its two handles, pulled out by the drag that follows.
        YKVectorEntity::addPoint(point, constrain);
        YKVectorEntity::addPoint(point, constrain);
    } else {
        if (mSymmetric) {
            mirrored = mirrorLastHandle(point);
        }
        mSymmetric = true;
        YKVectorEntity::addPoint(point, constrain);
    }
    if (mirrored >= 0) {
        Grow(&mCreationBounds, rotated(mPoints[mirrored]));
        Grow(&mBounds, rotated(mPoints[mirrored]));
    }
    mSelectionState = 1;
}

void YKVectorBezier::nextPoint(Point point, bool constrain) {
    YKVectorEntity::nextPoint(point, constrain);
    const size_t count = mSegments.size();
    if (count > 1 && (count - 1) % 3 == 0 && mSymmetric && validPoint(mSegments.back().end)) {
        const int32 mirrored = mirrorLastHandle(mPoints[mSegments.back().end]);
        if (mirrored >= 0) {
            Grow(&mBounds, rotated(mPoints[mirrored]));
        }
    }
}

void YKVectorBezier::overlapPoint() {
    if (mSegments.size() < 2) {
        return;
    }
    dropLastPoint();
    mSymmetric = false;
    mBounds = mCreationBounds;
    mSelectionState = 1;
}

YKVectorEntity* YKVectorBezier::endCreationWithTol(double tol) {
    if (mSegments.size() < 2) {
        return nullptr;
    }
    const bool creating = mModificationMode == kModeCreating;
    // The base drops the point under the pointer.
    if (YKVectorEntity::endCreationWithTol(tol) == nullptr) {
        return nullptr;
    }
    if (!creating) {
        return this;
    }
    if (mSegments.size() < 2) {
        return nullptr;
    }
    // A finished path ends on its last anchor's incoming handle: an outgoing handle with no
    // piece after it goes, a missing incoming handle is placed on its anchor.
    if (mSegments.size() % 3 == 1) {
        dropLastPoint();
    } else if (mSegments.size() % 3 == 2 && validPoint(mSegments.back().end)) {
        const int32 anchor = mSegments.back().end;
        mPoints.push_back(mPoints[anchor]);
        mSegments.push_back({anchor, static_cast<int32>(mPoints.size()) - 1, 0});
    }
    closeAtTol(tol);
    resetBounds();
    resetKnobs();
    return this;
}

bool YKVectorBezier::closeAtTol(double tol) {
    const size_t count = mSegments.size();
    if (count < 3 || count % 3 != 0 || isClosed()) {
        return false;
    }
    const int32 first = mSegments[0].begin;
    const int32 firstOut = mSegments[0].end;
    const int32 last = mSegments[count - 2].end;
    if (!validPoint(first) || !validPoint(firstOut) || !validPoint(last) ||
        YKPtDist(mPoints[last], mPoints[first]) > tol) {
        return false;
    }
    const int32 lastIn = mSegments[count - 1].end;
    // The last anchor's point becomes A0's incoming handle, opposite A0out: a smooth joint.
    mSegments[count - 2].end = first;
    mPoints[last] = mirrorAbout(mPoints[firstOut], mPoints[first]);
    mSegments[count - 1].begin = last;
    mSegments[count - 1].end = last;
    dropPointIfUnused(lastIn);
    if (mSelectionState == 1 && mSelectionIndex == last) {
        mSelectionIndex = first;
    }
    Grow(&mBounds, rotated(mPoints[last]));
    return true;
}

void YKVectorBezier::endModification(double tol) {
    YKVectorEntity::endModification(tol);
    if (closeAtTol(tol)) {
        resetBounds();
        resetKnobs();
    }
}
