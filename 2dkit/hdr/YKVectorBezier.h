#pragma once

// YKVectorBezier: a path of cubic Bézier pieces drawn with the pen tool. Each click places an
// anchor; dragging pulls its two handles out symmetrically.
//
// The points follow one layout: A0, A0out, A1, A1in, A1out, A2, A2in, A2out, ..., segment i
// joining point i to point i + 1, so anchor k > 0 ends segment 3k - 2 and its handles end
// segments 3k - 1 and 3k. Piece k runs over Ak, Akout, Ak+1in, Ak+1. A finished open path ends
// on its last anchor's incoming handle. Closing makes the segment of the last anchor end at A0,
// turns the last anchor's point into A0's incoming handle and leaves the last segment as that
// single point.
//
// Editing states beyond the base's: 1 an anchor is selected (the selection index is its point;
// moving it carries its handles), 2 one handle is selected (the index is the handle's point;
// moving it moves it alone).

#include <vector>

#include "YKVectorEntity.h"

class YKVectorBezier : public YKVectorEntity {
public:
    YKVectorBezier();
    // A0 and its outgoing handle at `start`, joined by one segment; being created.
    YKVectorBezier(Point start, int32 id, YKEnvelopManager* manager);
    YKVectorBezier(const YKMessage* archive, int32 id, YKEnvelopManager* manager);

    // --- Creation with the pen tool
    int32 segmentGranularity() const override { return 10; }
    // Moves the point under the pointer; while a new anchor's handle is pulled out, its other
    // handle follows at the mirror position.
    void nextPoint(Point point, bool constrain) override;
    // Press and release of the pen: places the next anchor, then its two handles.
    void addPoint(Point point, bool constrain) override;
    // The pointer came back onto the previous anchor: the point under it is dropped and the
    // anchor's outgoing handle no longer mirrors the incoming one.
    void overlapPoint();
    YKVectorEntity* endCreationWithTol(double tol) override;
    // Closes an open path whose last anchor lies within `tol` of A0, with a smooth joint.
    bool closeAtTol(double tol);
    bool isClosed() const;
    bool isSymmetric() const { return mSymmetric; }

    // --- Anchors and handles (point indices; -1 where there is none)
    // The incoming and outgoing handles of `anchor`, and the handles of its neighbouring
    // anchors that face it. Returns how many of its own handles exist (0 to 2).
    int32 FindTgts(int32 anchor, int32* in, int32* out, int32* prevHandle, int32* nextHandle) const;
    // The other handle of the anchor that owns `handle`; `anchor` receives that anchor.
    int32 FindSymTgt(int32 handle, int32* anchor = nullptr) const;
    // Makes the selected anchor smooth: handles parallel to the line joining its neighbours,
    // a third of that distance long. True when handles were set.
    bool AddTgts();
    // Makes the selected anchor a corner: its handles go onto it. True when it had any.
    bool RemoveTgt();

    // --- Editing
    void endModification(double tol) override;
    void getDraggingRef(Point* out) const override;
    // With `flag`, a dragged handle keeps its anchor smooth: the other handle mirrors it.
    void draggingTo(Point point, bool flag) override;
    void rawTranslation(Point delta) override;
    // Deletes the selected anchor (a path keeps at least two), or folds the selected handle
    // onto its anchor.
    void deleteSelectedPart() override;

    // --- Hit tests, selection, knobs, bounds
    // 1 within half the stroke width (plus tol) of a piece or on a handle of the edited anchor.
    int32 hitAtTol(Point point, double tol) const override;
    // With `flag` (part editing), or while an anchor or a handle is selected: an anchor (1),
    // else a handle of the edited anchor (2), else the path when hit (3) or nothing (0).
    // Otherwise a selected path grabs a knob (4) and an unselected one is selected when hit.
    int32 selectAtTol(Point point, double tol, bool flag) override;
    // The box corners, then the edited anchor and its handles.
    void resetKnobs() override;
    void getBounds(YKRect<double>* out) const override;

    // --- Drawing, copies, archives
    // An open path is stroked only.
    void drawIn(YKSketcher* sketcher, bool antialias) override;
    void initCopy(const YKVectorEntity* source) override;
    int32 Type() const override { return kTypeBezier; }
    void ArchiveIn(YKMessage* archive) const override;

protected:
    YKVectorEntity* instantiate() const override { return new YKVectorBezier(); }

    // The control points of every piece, four at a time, unrotated.
    PointList pieces() const;

private:
    // One anchor of the path in order; the closing anchor repeats A0's point.
    struct Knot {
        int32 anchor = -1;
        int32 in = -1;
        int32 out = -1;
    };
    struct Joint {
        int32 in = -1;
        int32 out = -1;
        int32 prevAnchor = -1;
        int32 nextAnchor = -1;
        int32 prevHandle = -1;
        int32 nextHandle = -1;
    };
    // Read from the segments, every index checked against the point list.
    std::vector<Knot> knots() const;
    Joint jointAt(int32 anchor) const;
    // The selected anchor, or the anchor of the selected handle; -1 otherwise.
    int32 editedAnchor() const;
    bool validPoint(int32 index) const;
    // Sets the handle paired with the last point to the mirror of `point` about their
    // anchor; returns that handle, or -1.
    int32 mirrorLastHandle(Point point);
    static Point mirrorAbout(Point point, Point center) {
        return {2 * center.x - point.x, 2 * center.y - point.y};
    }
    // Rebuilds the point and segment lists from anchors and handles (three points per anchor,
    // anchor first), as an open or a closed path.
    void assignChain(const PointList& triples, bool closed);
    // Drops the last segment, and its end point when it is the last point.
    void dropLastPoint();
    // Removes the last point when it is `index` and no segment uses it.
    void dropPointIfUnused(int32 index);
    void changed();

    bool mSymmetric = true;
};
