#include "YKVectorEllipse.h"

#include "YKSketcher.h"

namespace {

// The outline is measured every 0.05 radian.
constexpr double kStep = 0.05;

}  // namespace

YKVectorEllipse::YKVectorEllipse(Point start, int32 id, YKEnvelopManager* manager)
    : YKVectorRoundRect(start, id, manager, false) {}

YKVectorEllipse::YKVectorEllipse(const YKMessage* archive, int32 id, YKEnvelopManager* manager)
    : YKVectorRoundRect(archive, id, manager, false) {}

void YKVectorEllipse::drawShape(YKSketcher* sketcher, const PointList& corners) {
    setClosedLineMode(sketcher);
    // The sketcher wants corner 0 and its two neighbours, the first along the first axis.
    if (!(corners[0] == corners[2])) {
        sketcher->DrawEllipse(corners[0], corners[2], corners[1], corners[3]);
    }
}

void YKVectorEllipse::sampleOutline(const PointList& corners, PointList* outline,
                                    bool* closed) const {
    const Point center{(corners[0].x + corners[2].x) / 2, (corners[0].y + corners[2].y) / 2};
    const Point a{(corners[1].x - corners[0].x) / 2, (corners[1].y - corners[0].y) / 2};
    const Point b{(corners[3].x - corners[0].x) / 2, (corners[3].y - corners[0].y) / 2};
    const Point minusA{-a.x, -a.y};
    const Point minusB{-b.x, -b.y};
    // One quarter per quadrant, each starting where the last ended.
    appendQuarter(outline, center, a, b, kStep);
    appendQuarter(outline, center, b, minusA, kStep);
    appendQuarter(outline, center, minusA, minusB, kStep);
    appendQuarter(outline, center, minusB, a, kStep);
    *closed = true;
}
