// Dashing: the path is walked with the dash's tab and cut where a length runs out; each drawn
// piece is then outlined on its own, with both caps.

#include <cmath>

#include "YKDash.h"
#include "yk_stroker_internal.h"

void YKStroker::DashOutline(const YKDash& dash) {
    std::vector<PathPoint>& dashed = mDashed;
    dashed.clear();
    dashed.reserve(mPath.size() * 2);
    // The pattern starts with its first length at the first point; the offset is not used.
    int32 entry = 0;
    double left = dash.TabAt(0);
    bool drawn = true;
    int32 marks = 0;
    dashed.push_back({mPath.front().at, mPath.front().half, kDashStart});
    for (size_t i = 0; i + 1 < mPath.size(); ++i) {
        const PathPoint& from = mPath[i];
        const PathPoint& to = mPath[i + 1];
        const double length = std::hypot(to.at.x - from.at.x, to.at.y - from.at.y);
        double done = 0;
        while (marks < kMaxDashMarks && left <= length - done) {
            done += left;
            const double t = length > 0 ? done / length : 0.0;
            dashed.push_back(
                {{from.at.x + (to.at.x - from.at.x) * t, from.at.y + (to.at.y - from.at.y) * t},
                 from.half + (to.half - from.half) * t,
                 drawn ? kDashEnd : kDashStart});
            drawn = !drawn;
            entry = (entry + 1) % dash.CountTab();
            left = dash.TabAt(entry);
            ++marks;
        }
        left -= length - done;
        dashed.push_back({to.at, to.half, drawn ? kDashDrawn : kDashSkipped});
    }
    dashed.back().code = kDashPathEnd;
    mPath.swap(dashed);
}

void YKStroker::OutlineDashes() {
    size_t start = 0;
    bool drawn = false;
    for (size_t i = 0; i < mPath.size(); ++i) {
        const int32 code = mPath[i].code;
        if (code == kDashStart) {
            start = i;
            drawn = true;
        } else if (drawn && (code == kDashEnd || code == kDashPathEnd)) {
            OutlinePiece(std::span<const PathPoint>(mPath).subspan(start, i - start + 1), false);
            drawn = false;
        }
    }
}
