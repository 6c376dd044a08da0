#pragma once

// YKVectorArc: a quarter ellipse across the box of a rounded rectangle without radii. It runs
// from corner 0 (where the drag started) to the opposite corner 2, about corner 3 (corner 0's
// x, corner 2's y), so its half axes are the box's sides. The stroke is never closed and takes
// the object's caps; the fill closes the curve through corner 3.

#include "YKVectorRoundRect.h"

class YKVectorArc : public YKVectorRoundRect {
public:
    YKVectorArc() = default;
    YKVectorArc(Point start, int32 id, YKEnvelopManager* manager);
    YKVectorArc(const YKMessage* archive, int32 id, YKEnvelopManager* manager);

    int32 Type() const override { return kTypeArc; }

protected:
    YKVectorEntity* instantiate() const override { return new YKVectorArc(); }
    void drawShape(YKSketcher* sketcher, const PointList& corners) override;
    void sampleOutline(const PointList& corners, PointList* outline, bool* closed) const override;
};
