#pragma once

// YKVectorChain: a chain of straight segments, open or closed, as the polyline and freehand
// tools draw it: segment i normally runs from point i to point i + 1, and the chain is closed
// when the first segment's begin point is the last segment's end point. Beyond the base it edits
// single points (selection state 1) and single segments (state 2), inserts and cuts, closes,
// reverses and links chains. YKVectorPolyline and YKVectorFreeHand are its two kinds; they
// differ only in how points stream in and how their creation ends.

#include "YKVectorEntity.h"

class YKVectorChain : public YKVectorEntity {
public:
    using YKVectorEntity::YKVectorEntity;

    // --- Path editing
    // Drops the segments after the one ending at point `point` (and the points they alone used).
    virtual void removeSegsAfter(int32 point);
    // Drops the segments before the one starting at point `point`.
    virtual void removeSegsBefore(int32 point);
    // Cuts at point `point`: the new chain holding the part after it, this chain itself when a
    // closed chain was only opened there, or null for an end of an open chain.
    virtual YKVectorChain* cutOn(int32 point);
    // Joins `other`'s chain to this one: this chain's end `end` (0 start, 1 end) to other's end
    // `otherEnd`. With `flag` the two ends meet in one point instead of by a new segment.
    virtual bool linkWith(int32 end, const YKVectorChain* other, int32 otherEnd, bool flag);
    // Closes the chain when its end lies within `tol` of its start.
    virtual bool closeAtTol(double tol);
    // Appends a segment from the end back to the start.
    virtual void close();
    virtual bool isClosed() const;
    virtual void reverse();
    // Length and angle of the selected segment.
    virtual void setLength_andAngle(double length, double angle);

    // --- Overrides of the base
    void insertNewPointOnSegment(int32 segment, Point point) override;
    void insertPointWithTol(Point point, double tol) override;
    YKVectorEntity* cutWithTol(Point point, double tol) override;
    bool mergeWithTol(YKVectorEntity* other, double tol) override;
    void draggingTo(Point point, bool flag) override;
    void rawTranslation(Point delta) override;
    void deleteSelectedPart() override;
    void getSelectionDimensions(YKVectorDimensions* dimensions) const override;
    int32 hitAtTol(Point point, double tol) const override;
    int32 selectAtTol(Point point, double tol, bool flag) override;
    void selectPartInRect(YKRect<double> rect) override;
    bool entityIntersectRect(YKRect<double> rect) const override;
    void resetKnobs() override;
    // The bounds grown by the full stroke width on every side.
    void getBounds(YKRect<double>* out) const override;
    void drawIn(YKSketcher* sketcher, bool antialias) override;
    // How far the stroke reaches from the segments (joins and caps included) when the chain's
    // end can be drawn alone: an open chain of two segments or more, a solid stroke of one
    // colour, no fill, caps without ornaments. Negative otherwise.
    double endReach() const;
    // Strokes the segments from `first` on (at most the last two) as drawIn strokes the whole
    // chain. Away from the segments left out by more than endReach(), the pixels are the whole
    // chain's, so a stroke growing at its end need not be drawn whole at every point. The whole
    // chain when its end cannot be drawn alone.
    void drawEndIn(YKSketcher* sketcher, size_t first);

protected:
    // The first segment within `reach` of `p`, or -1.
    int32 segmentNear(Point p, double reach) const;
    // The first point within `tol` of `p`, or -1.
    int32 pointNear(Point p, double tol) const;
    // Drops points no segment uses and renumbers the segments.
    void compactPoints();
    // The chain's points in drawing order; a closed chain without its repeated first point
    // unless `repeatFirst`.
    PointList chainPoints(bool repeatFirst) const;

private:
    // The paint, caps and join drawIn and drawEndIn stroke with.
    void setupStroke(YKSketcher* sketcher, PaintBuffers* buffers) const;
};
