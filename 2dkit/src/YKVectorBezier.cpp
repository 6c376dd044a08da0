#include "YKVectorBezier.h"

#include "YKList.h"
#include "YKSketcher.h"
#include "yk_bezier_distance.h"
#include "yk_sketch_modes.h"

// The path walked anchor by anchor, and what reads it: drawing, hit tests, knobs and bounds.

YKVectorBezier::YKVectorBezier() = default;

YKVectorBezier::YKVectorBezier(Point start, int32 id, YKEnvelopManager* manager)
    : YKVectorEntity(start, id, manager) {}

YKVectorBezier::YKVectorBezier(const YKMessage* archive, int32 id, YKEnvelopManager* manager)
    : YKVectorEntity(archive, id, manager) {}

// --- Anchors and handles ---

bool YKVectorBezier::validPoint(int32 index) const {
    return index >= 0 && index < static_cast<int32>(mPoints.size());
}

std::vector<YKVectorBezier::Knot> YKVectorBezier::knots() const {
    std::vector<Knot> result;
    const int32 count = static_cast<int32>(mSegments.size());
    // Archives are not trusted: a segment or a point that is not there reads as missing.
    auto endOf = [&](int32 segment) {
        return segment < count && validPoint(mSegments[segment].end) ? mSegments[segment].end : -1;
    };
    if (count == 0 || !validPoint(mSegments[0].begin)) {
        return result;
    }
    result.push_back({mSegments[0].begin, -1, endOf(0)});
    for (int32 ending = 1; ending < count; ending += 3) {
        const int32 anchor = endOf(ending);
        if (anchor < 0) {
            break;
        }
        result.push_back({anchor, endOf(ending + 1), endOf(ending + 2)});
    }
    return result;
}

YKVectorBezier::Joint YKVectorBezier::jointAt(int32 anchor) const {
    Joint joint;
    const std::vector<Knot> list = knots();
    // A closed path meets A0 twice: first with its outgoing handle, last with its incoming one.
    for (size_t k = 0; k < list.size(); ++k) {
        if (list[k].anchor != anchor) {
            continue;
        }
        if (list[k].in >= 0) {
            joint.in = list[k].in;
        }
        if (list[k].out >= 0) {
            joint.out = list[k].out;
        }
        if (k > 0) {
            joint.prevAnchor = list[k - 1].anchor;
            joint.prevHandle = list[k - 1].out;
        }
        if (k + 1 < list.size()) {
            joint.nextAnchor = list[k + 1].anchor;
            joint.nextHandle = list[k + 1].in;
        }
    }
    return joint;
}

int32 YKVectorBezier::FindTgts(int32 anchor, int32* in, int32* out, int32* prevHandle,
                               int32* nextHandle) const {
    const Joint joint = jointAt(anchor);
    *in = joint.in;
    *out = joint.out;
    *prevHandle = joint.prevHandle;
    *nextHandle = joint.nextHandle;
    return (joint.in >= 0 ? 1 : 0) + (joint.out >= 0 ? 1 : 0);
}

int32 YKVectorBezier::FindSymTgt(int32 handle, int32* anchor) const {
    int32 owner = -1;
    if (validPoint(handle)) {
        for (const Knot& knot : knots()) {
            if (knot.in == handle || knot.out == handle) {
                owner = knot.anchor;
                break;
            }
        }
    }
    if (anchor != nullptr) {
        *anchor = owner;
    }
    if (owner < 0) {
        return -1;
    }
    const Joint joint = jointAt(owner);
    return joint.in == handle ? joint.out : joint.in;
}

int32 YKVectorBezier::editedAnchor() const {
    if (mSelectionState == 1 && validPoint(mSelectionIndex)) {
        return mSelectionIndex;
    }
    int32 anchor = -1;
    if (mSelectionState == 2) {
        FindSymTgt(mSelectionIndex, &anchor);
    }
    return anchor;
}

bool YKVectorBezier::isClosed() const {
    const size_t count = mSegments.size();
    return count >= 3 && mSegments[0].begin == mSegments[count - 2].end;
}

YKVectorEntity::PointList YKVectorBezier::pieces() const {
    const std::vector<Knot> list = knots();
    PointList points;
    for (size_t k = 0; k + 1 < list.size(); ++k) {
        const Knot& from = list[k];
        const Knot& to = list[k + 1];
        points.push_back(mPoints[from.anchor]);
        points.push_back(mPoints[from.out >= 0 ? from.out : from.anchor]);
        // An anchor just placed has no incoming handle yet.
        points.push_back(mPoints[to.in >= 0 ? to.in : to.anchor]);
        points.push_back(mPoints[to.anchor]);
    }
    return points;
}

// --- Hit tests, selection and knobs ---

int32 YKVectorBezier::hitAtTol(Point point, double tol) const {
    const int32 hit = YKVectorEntity::hitAtTol(point, tol);
    if (hit != 2 && hit != 3) {
        return hit;
    }
    const double reach = StrokeWidth() / 2 + tol;
    const PointList controls = pieces();
    for (size_t i = 0; i + 3 < controls.size(); i += 4) {
        if (YKBezierPtDist(rotated(controls[i]), rotated(controls[i + 1]), rotated(controls[i + 2]),
                           rotated(controls[i + 3]), point, tol / 2) < reach) {
            return 1;
        }
    }
    const int32 anchor = editedAnchor();
    if (anchor >= 0) {
        const Joint joint = jointAt(anchor);
        for (int32 handle : {joint.in, joint.out}) {
            if (handle >= 0 && within(rotated(mPoints[handle]), point, tol)) {
                return 1;
            }
        }
    }
    return 0;
}

int32 YKVectorBezier::selectAtTol(Point point, double tol, bool flag) {
    if (isLocked()) {
        return 0;
    }
    if (!inGrownBounds(point, tol)) {
        mSelectionState = 0;
    } else if (flag || mSelectionState == 1 || mSelectionState == 2) {
        // Part editing: an anchor, else a handle of the anchor being edited, else the path.
        int32 picked = -1;
        for (const Knot& knot : knots()) {
            if (within(rotated(mPoints[knot.anchor]), point, tol)) {
                picked = knot.anchor;
                break;
            }
        }
        if (picked >= 0) {
            mSelectionState = 1;
            mSelectionIndex = picked;
        } else {
            const Joint joint = jointAt(editedAnchor());
            for (int32 handle : {joint.in, joint.out}) {
                if (picked < 0 && handle >= 0 && within(rotated(mPoints[handle]), point, tol)) {
                    picked = handle;
                }
            }
            if (picked >= 0) {
                mSelectionState = 2;
                mSelectionIndex = picked;
            } else {
                mSelectionState = hitAtTol(point, tol) != 0 ? 3 : 0;
            }
        }
    } else if (mSelectionState == 3) {
        const int32 knob = knobAt(point, tol);
        if (knob >= 0) {
            grabKnob(knob);
            mSelectionState = 4;
        }
    } else {
        mSelectionState = hitAtTol(point, tol) != 0 ? 3 : 0;
    }
    resetKnobs();
    return mSelectionState;
}

void YKVectorBezier::resetKnobs() {
    resetBox();
    resetKnobsFromBox();
    const int32 anchor = editedAnchor();
    if (anchor < 0) {
        return;
    }
    const Joint joint = jointAt(anchor);
    mKnobs.push_back(rotated(mPoints[anchor]));
    for (int32 handle : {joint.in, joint.out}) {
        if (handle >= 0) {
            mKnobs.push_back(rotated(mPoints[handle]));
        }
    }
}

void YKVectorBezier::getBounds(YKRect<double>* out) const {
    *out = mBounds;
    if (!out->IsValid()) {
        return;
    }
    // Joins (round or bevelled) and the plain caps stay within one width of the path; the
    // arrows reach out to 1.6 widths.
    const bool decorated = mFirstCap >= YK_CAP_ARROW1 || mLastCap >= YK_CAP_ARROW1;
    const double width = StrokeWidth() * (decorated ? 2 : 1);
    out->left -= width;
    out->top -= width;
    out->right += width;
    out->bottom += width;
}

// --- Drawing, copies, archives ---

void YKVectorBezier::drawIn(YKSketcher* sketcher, bool antialias) {
    YKVectorEntity::drawIn(sketcher, antialias);
    const PointList controls = pieces();
    if (controls.empty()) {
        return;
    }
    PaintBuffers buffers;
    setupPaint(sketcher, &buffers);
    const bool dashed = mStroke != nullptr && mStroke->dash != nullptr;
    // A bevel keeps dash ends sharp where a round join would blot them.
    sketcher->SetLineMode(mFirstCap, mLastCap, dashed ? YK_JOIN_BEVEL : YK_JOIN_ROUND, 10.0);
    const bool closed = isClosed();
    sketcher->SetClosed(closed && !dashed);
    // An open path keeps its fill for the day it is closed, but shows none.
    if (!closed) {
        sketcher->SetFillStyle(YK_STYLE_NONE);
    }
    YKPointList list;
    for (Point control : controls) {
        list.AddItem(rotated(control));
    }
    sketcher->DrawBezier(&list);
}

void YKVectorBezier::initCopy(const YKVectorEntity* source) {
    YKVectorEntity::initCopy(source);
    if (const auto* bezier = dynamic_cast<const YKVectorBezier*>(source)) {
        mSymmetric = bezier->mSymmetric;
    }
}

void YKVectorBezier::ArchiveIn(YKMessage* archive) const {
    writeEntityKeys(archive, kTypeBezier);
}
