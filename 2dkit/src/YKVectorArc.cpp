#include "YKVectorArc.h"

#include "YKSketcher.h"

namespace {

// The curve is measured every 0.1 radian.
constexpr double kStep = 0.1;

}  // namespace

YKVectorArc::YKVectorArc(Point start, int32 id, YKEnvelopManager* manager)
    : YKVectorRoundRect(start, id, manager, false) {}

YKVectorArc::YKVectorArc(const YKMessage* archive, int32 id, YKEnvelopManager* manager)
    : YKVectorRoundRect(archive, id, manager, false) {}

void YKVectorArc::drawShape(YKSketcher* sketcher, const PointList& corners) {
    sketcher->SetLineMode(mFirstCap, mLastCap, YK_JOIN_BEVEL, 10.0);
    sketcher->SetClosed(false);
    // The sketcher's quarter starts at its first point, about its third, and ends at the third
    // plus the first side: corner 0 to corner 2 about corner 3.
    if (!(corners[0] == corners[1])) {
        sketcher->DrawArc(corners[0], corners[1], corners[3]);
    }
}

void YKVectorArc::sampleOutline(const PointList& corners, PointList* outline, bool* closed) const {
    appendQuarter(outline, corners[3], corners[0] - corners[3], corners[1] - corners[0], kStep);
    *closed = false;
}
