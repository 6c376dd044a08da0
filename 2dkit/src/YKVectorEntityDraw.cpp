// The paint set-up every kind runs before handing its outline to the sketcher.

#include "YKDash.h"
#include "YKEnvelopKinds.h"
#include "YKGradientBuffer.h"
#include "YKGradientContainer.h"
#include "YKSketcher.h"
#include "YKVectorEntity.h"
#include "yk_paint_setup_internal.h"

void YKVectorEntity::drawIn(YKSketcher* sketcher, bool antialias) {
    (void)antialias;
    sketcher->SetDisplay(mDisplay);
}

YKVectorEntity::PointList YKVectorEntity::rotatedPoints() const {
    PointList points;
    points.reserve(mPoints.size());
    for (const Point& p : mPoints) {
        points.push_back(rotated(p));
    }
    return points;
}

void YKVectorEntity::setupPaint(YKSketcher* sketcher, PaintBuffers* buffers) const {
    // A locked pattern turns with the object about the centre of its box.
    Point lockedReference{(mBox.left + mBox.right) / 2, (mBox.top + mBox.bottom) / 2};
    if (mSegments.size() == 1) {
        const Point a = mPoints[mSegments[0].begin];
        const Point b = mPoints[mSegments[0].end];
        lockedReference = {(a.x + b.x) / 2, (a.y + b.y) / 2};
    }
    yk_paint::Placement placement{mBox, {}, lockedReference, mGlobalAngle, mGlobalCenter};
    getBounds(&placement.bounds);

    int32 strokeStyle = 0;
    if (mStroke != nullptr) {
        const yk_paint::Side stroke{
            mStroke->colorFlag,
            mStroke->color != nullptr ? mStroke->color->Value() : yk_color{0, 0, 0, 255},
            mStroke->patternName,
            mStroke->patternAlpha != nullptr ? mStroke->patternAlpha->Value() : 0.0,
            mStroke->patternLock,
            mStroke->gradient.get()};
        strokeStyle = yk_paint::Apply(sketcher, stroke, true, placement, &buffers->stroke);
    }
    sketcher->SetStrokeStyle(strokeStyle);
    const yk_paint::Side fill{
        mFillColorFlag,
        mFillColor != nullptr ? mFillColor->Value() : yk_color{255, 255, 255, 255},
        mFillPatternName,
        mFillPatternAlpha != nullptr ? mFillPatternAlpha->Value() : 0.0,
        mFillPatternLock,
        mFillGradient.get()};
    sketcher->SetFillStyle(yk_paint::Apply(sketcher, fill, false, placement, &buffers->fill));
    sketcher->SetStrokeDash(mStroke != nullptr ? mStroke->dash.get() : nullptr);
    sketcher->SetWidth(CurrentStrokeWidth());
    sketcher->SetAntgMode(1);
}

bool YKVectorEntity::patternLock() const {
    if (mStroke != nullptr &&
        yk_paint::UnlockedPattern(mStroke->colorFlag, mStroke->patternName, mStroke->patternLock)) {
        return false;
    }
    return !yk_paint::UnlockedPattern(mFillColorFlag, mFillPatternName, mFillPatternLock);
}
