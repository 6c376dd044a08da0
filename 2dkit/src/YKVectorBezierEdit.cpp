#include "YKVectorBezier.h"

// Editing a finished path: tangents of an anchor, moving anchors and handles, deleting.

namespace {

YKPoint<double> Third(YKPoint<double> v) {
    return {v.x / 3, v.y / 3};
}

}  // namespace

void YKVectorBezier::changed() {
    resetBounds();
    resetKnobs();
}

// --- Tangents of the selected anchor ---

bool YKVectorBezier::AddTgts() {
    if (mSelectionState != 1 || !validPoint(mSelectionIndex)) {
        return false;
    }
    const Joint joint = jointAt(mSelectionIndex);
    const Point anchor = mPoints[mSelectionIndex];
    bool set = false;
    if (joint.prevAnchor >= 0 && joint.nextAnchor >= 0) {
        const Point d = Third(mPoints[joint.nextAnchor] - mPoints[joint.prevAnchor]);
        if (joint.in >= 0) {
            mPoints[joint.in] = anchor - d;
            set = true;
        }
        if (joint.out >= 0) {
            mPoints[joint.out] = anchor + d;
            set = true;
        }
    } else {
        // An end of an open path: its one handle points at its one neighbour.
        const bool before = joint.prevAnchor >= 0;
        const int32 neighbour = before ? joint.prevAnchor : joint.nextAnchor;
        const int32 handle = before ? joint.in : joint.out;
        if (neighbour >= 0 && handle >= 0) {
            mPoints[handle] = anchor + Third(mPoints[neighbour] - anchor);
            set = true;
        }
    }
    if (set) {
        changed();
    }
    return set;
}

bool YKVectorBezier::RemoveTgt() {
    if (mSelectionState != 1 || !validPoint(mSelectionIndex)) {
        return false;
    }
    const Joint joint = jointAt(mSelectionIndex);
    bool moved = false;
    for (int32 handle : {joint.in, joint.out}) {
        if (handle >= 0) {
            mPoints[handle] = mPoints[mSelectionIndex];
            moved = true;
        }
    }
    if (moved) {
        changed();
    }
    return moved;
}

// --- Moving ---

void YKVectorBezier::getDraggingRef(Point* out) const {
    if (mSelectionState == 2 && validPoint(mSelectionIndex)) {
        *out = mPoints[mSelectionIndex];
        return;
    }
    YKVectorEntity::getDraggingRef(out);
}

void YKVectorBezier::rawTranslation(Point delta) {
    if (mSelectionState == 2 && validPoint(mSelectionIndex)) {
        mPoints[mSelectionIndex] += delta;
        return;
    }
    if (mSelectionState == 1 && validPoint(mSelectionIndex)) {
        const Joint joint = jointAt(mSelectionIndex);
        mPoints[mSelectionIndex] += delta;
        for (int32 handle : {joint.in, joint.out}) {
            if (handle >= 0) {
                mPoints[handle] += delta;
            }
        }
        return;
    }
    YKVectorEntity::rawTranslation(delta);
}

void YKVectorBezier::draggingTo(Point point, bool flag) {
    YKVectorEntity::draggingTo(point, flag);
    if (flag && mSelectionState == 2 && mModificationMode == kModeDragging) {
        int32 anchor = -1;
        const int32 other = FindSymTgt(mSelectionIndex, &anchor);
        if (other >= 0) {
            mPoints[other] = mirrorAbout(mPoints[mSelectionIndex], mPoints[anchor]);
        }
    }
    changed();
}

// --- Deleting ---

void YKVectorBezier::deleteSelectedPart() {
    if (mSelectionState == 2) {
        int32 anchor = -1;
        FindSymTgt(mSelectionIndex, &anchor);
        if (anchor >= 0) {
            mPoints[mSelectionIndex] = mPoints[anchor];
            mSelectionState = 1;
            mSelectionIndex = anchor;
            changed();
        }
        return;
    }
    if (mSelectionState != 1) {
        return;
    }
    const bool closed = isClosed();
    std::vector<Knot> list = knots();
    if (closed) {
        // The closing knot repeats A0 with its incoming handle.
        list.front().in = list.back().in;
        list.pop_back();
    }
    PointList triples;
    for (const Knot& knot : list) {
        if (knot.anchor == mSelectionIndex) {
            continue;
        }
        triples.push_back(mPoints[knot.anchor]);
        triples.push_back(mPoints[knot.in >= 0 ? knot.in : knot.anchor]);
        triples.push_back(mPoints[knot.out >= 0 ? knot.out : knot.anchor]);
    }
    // A path keeps at least one piece.
    if (triples.size() == list.size() * 3 || triples.size() < 6) {
        return;
    }
    assignChain(triples, closed);
    mSelectionState = 3;
    changed();
}

void YKVectorBezier::assignChain(const PointList& triples, bool closed) {
    const size_t count = triples.size() / 3;
    mPoints.clear();
    mSegments.clear();
    mPoints.push_back(triples[0]);
    mPoints.push_back(triples[2]);
    for (size_t k = 1; k < count; ++k) {
        mPoints.push_back(triples[3 * k]);
        mPoints.push_back(triples[3 * k + 1]);
        // An open path ends on its last anchor's incoming handle.
        if (closed || k + 1 < count) {
            mPoints.push_back(triples[3 * k + 2]);
        }
    }
    if (closed) {
        mPoints.push_back(triples[1]);
    }
    const int32 points = static_cast<int32>(mPoints.size());
    const int32 chained = closed ? points - 2 : points - 1;
    for (int32 i = 0; i < chained; ++i) {
        mSegments.push_back({i, i + 1, 0});
    }
    if (closed) {
        mSegments.push_back({points - 2, 0, 0});
        mSegments.push_back({points - 1, points - 1, 0});
    }
}
