#pragma once

// YKVectorRectangle: a closed polyline of four corners (object type 8). Point 0 is where the
// creation drag started, point 2 the opposite corner; the sides stay axis-parallel in the point
// list and any tilt comes from the global rotation.

#include "YKVectorPolyline.h"

class YKVectorRectangle : public YKVectorPolyline {
public:
    YKVectorRectangle() = default;
    // Four coincident corners in a closed loop, selected, with corner 2 following the pointer.
    YKVectorRectangle(Point start, int32 id, YKEnvelopManager* manager);
    YKVectorRectangle(const YKMessage* archive, int32 id, YKEnvelopManager* manager)
        : YKVectorPolyline(archive, id, manager) {}

    // Moves corner `index` (0-3) and the two corners beside it so that the box stays a box.
    bool modifyPoint(int32 index, Point point, bool constrain) override;
    // Makes the box a square about the opposite corner, keeping the diagonal's length.
    void constrainSegment(int32 corner, bool on) override;
    void nextPoint(Point point, bool constrain) override;
    void addPoint(Point point, bool constrain) override;
    YKVectorEntity* endCreationWithTol(double tol) override;
    int32 Type() const override { return kTypeRectangle; }

protected:
    YKVectorEntity* instantiate() const override { return new YKVectorRectangle(); }
};
