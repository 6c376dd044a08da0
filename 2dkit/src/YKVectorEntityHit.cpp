// Hit tests, selection, knobs, bounds and box.

#include <cmath>

#include "YKEnvelopKinds.h"
#include "YKVectorEntity.h"

// --- Bounds and box ---

void YKVectorEntity::resetBox() {
    if (mPoints.empty()) {
        mBox = {1, 1, -1, -1};
        return;
    }
    mBox = {mPoints[0].x, mPoints[0].y, mPoints[0].x, mPoints[0].y};
    for (const Point& p : mPoints) {
        mBox.left = MIN(mBox.left, p.x);
        mBox.top = MIN(mBox.top, p.y);
        mBox.right = MAX(mBox.right, p.x);
        mBox.bottom = MAX(mBox.bottom, p.y);
    }
}

void YKVectorEntity::resetBounds() {
    mBoundsWidth = CurrentStrokeWidth();
    if (mPoints.empty()) {
        mBounds = {1, 1, -1, -1};
        return;
    }
    const Point first = rotated(mPoints[0]);
    mBounds = {first.x, first.y, first.x, first.y};
    for (const Point& point : mPoints) {
        // Unturned objects, the common case, spare a call per point: strokes run to thousands.
        const Point p = mGlobalAngle == 0 ? point : rotated(point);
        mBounds.left = MIN(mBounds.left, p.x);
        mBounds.top = MIN(mBounds.top, p.y);
        mBounds.right = MAX(mBounds.right, p.x);
        mBounds.bottom = MAX(mBounds.bottom, p.y);
    }
}

void YKVectorEntity::resetKnobsFromBox() {
    const Point center{(mBox.left + mBox.right) / 2, (mBox.top + mBox.bottom) / 2};
    mKnobs.clear();
    for (const Point corner : {Point{mBox.left, mBox.top}, Point{mBox.right, mBox.top},
                               Point{mBox.right, mBox.bottom}, Point{mBox.left, mBox.bottom}}) {
        mKnobs.push_back(rotatePt(corner, mGlobalAngle, center));
    }
}

bool YKVectorEntity::inGrownBounds(Point p, double tol) const {
    YKRect<double> bounds;
    getBounds(&bounds);
    return p.x >= bounds.left - tol / 2 && p.x <= bounds.right + tol / 2 &&
           p.y >= bounds.top - tol / 2 && p.y <= bounds.bottom + tol / 2;
}

int32 YKVectorEntity::knobAt(Point p, double tol) const {
    for (size_t i = 0; i < mKnobs.size(); ++i) {
        if (within(mKnobs[i], p, tol)) {
            return static_cast<int32>(i);
        }
    }
    return -1;
}

void YKVectorEntity::grabKnob(int32 knob) {
    const int32 count = static_cast<int32>(mKnobs.size());
    mSelectionState = 4;
    mGrabbedKnob = knob;
    mOppositeKnob = count == 0 ? 0 : ((knob - count / 2) % count + count) % count;
}

// --- Hit tests ---

int32 YKVectorEntity::rawHitAtTol(Point p, double tol) const {
    if (mLocked || !inGrownBounds(p, tol)) {
        return 0;
    }
    if (mSelectionState == 3 && knobAt(p, tol) >= 0) {
        return 4;
    }
    if (!mSegments.empty() && (within(rotated(mPoints[mSegments.front().begin]), p, tol) ||
                               within(rotated(mPoints[mSegments.back().end]), p, tol))) {
        return 2;
    }
    return 3;
}

int32 YKVectorEntity::selectAtTol(Point p, double tol, bool flag) {
    (void)flag;
    if (mLocked) {
        return 0;
    }
    if (!inGrownBounds(p, tol)) {
        mSelectionState = 0;
    } else {
        const int32 knob = mSelectionState == 3 ? knobAt(p, tol) : -1;
        if (knob >= 0) {
            grabKnob(knob);
        } else {
            mSelectionState = 3;
        }
    }
    resetKnobs();
    return mSelectionState;
}

bool YKVectorEntity::onKnob(Point p, double tol) const {
    for (const Point& point : mPoints) {
        if (within(rotated(point), p, tol)) {
            return true;
        }
    }
    return false;
}

// --- Selection ---

bool YKVectorEntity::select() {
    if (mLocked) {
        return false;
    }
    mSelectionState = 3;
    resetKnobs();
    return true;
}

void YKVectorEntity::selectPartInRect(YKRect<double> rect) {
    (void)rect;
    select();
}

bool YKVectorEntity::select_type(int32 index, int32 state) {
    mSelectionIndex = index;
    mSelectionState = state;
    return true;
}

bool YKVectorEntity::selectIfColorMatch(yk_color color) {
    if (mLocked || mStroke == nullptr || mStroke->color == nullptr) {
        return false;
    }
    const yk_color stroke = mStroke->color->Value();
    if (stroke.red != color.red || stroke.green != color.green || stroke.blue != color.blue) {
        return false;
    }
    mSelectionState = 3;
    resetKnobs();
    return true;
}

void YKVectorEntity::endSelect() {
    mSelectionState = 0;
    resetKnobs();
}

void YKVectorEntity::lock() {
    mSelectionState = 0;
    resetKnobs();
    mLocked = true;
}

bool YKVectorEntity::entityInRect(YKRect<double> r) const {
    YKRect<double> b;
    getBounds(&b);
    const bool xOverlap =
        (b.left >= r.left && b.left <= r.right) || (r.left >= b.left && r.left <= b.right);
    const bool yOverlap =
        (b.top >= r.top && b.top <= r.bottom) || (r.top >= b.top && r.top <= b.bottom);
    return xOverlap && yOverlap;
}

bool YKVectorEntity::entityIntersectRect(YKRect<double> rect) const {
    return !mLocked && entityInRect(rect);
}
