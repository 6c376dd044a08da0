// Rounded rectangle: the sampled outline the hit test measures, knobs, bounds and drawing. The
// ellipse and the arc override only drawShape and sampleOutline.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "YKEnvelopKinds.h"
#include "YKSketcher.h"
#include "YKVectorRoundRect.h"
#include "yk_vector_geometry.h"

namespace {

// Corner arcs are measured every 0.05 radian.
constexpr double kCornerStep = 0.05;
// Farther than this from the outline counts as this far: nothing is hit from there.
constexpr double kFarDistance = 100.0;

YKPoint<double> Scaled(YKPoint<double> p, double s) {
    return {p.x * s, p.y * s};
}

double Radius(const YKEnvelopDouble* radius) {
    return radius != nullptr ? radius->Value() : 0.0;
}

}  // namespace

void YKVectorRoundRect::appendQuarter(PointList* out, Point center, Point from, Point to,
                                      double step) {
    for (int32 k = 0; k * step < std::numbers::pi / 2; ++k) {
        const double t = k * step;
        out->push_back(center + Scaled(from, std::cos(t)) + Scaled(to, std::sin(t)));
    }
    out->push_back(center + to);
}

// --- Outline and hit test ---

void YKVectorRoundRect::sampleOutline(const PointList& corners, PointList* outline,
                                      bool* closed) const {
    // As the sketcher draws it: each radius at most half its side, 0 when negative.
    double fraction[4];
    for (int32 k = 0; k < 4; ++k) {
        const double side = YKPtDist(corners[k], corners[(k + 1) % 4]);
        const double radius = std::clamp(Radius(k % 2 == 0 ? mRx.get() : mRy.get()), 0.0, side / 2);
        fraction[k] = side > 0 ? radius / side : 0.0;
    }
    // Each corner's arc ends where the next corner's begins, so the polyline's chords between
    // arcs are the exact straight sides.
    for (int32 k = 0; k < 4; ++k) {
        const Point back = Scaled(corners[(k + 3) % 4] - corners[k], fraction[(k + 3) % 4]);
        const Point ahead = Scaled(corners[(k + 1) % 4] - corners[k], fraction[k]);
        const Point center = corners[k] + back + ahead;
        appendQuarter(outline, center, Scaled(ahead, -1), Scaled(back, -1), kCornerStep);
    }
    *closed = true;
}

double YKVectorRoundRect::outlineDistance(Point p) const {
    PointList outline;
    bool closed = false;
    sampleOutline(rotatedPoints(), &outline, &closed);
    // Measured to the chords between samples, so that large shapes are hit between samples.
    double distance = kFarDistance;
    for (size_t i = 0; i + 1 < outline.size(); ++i) {
        distance = MIN(distance, YKSegPtDist(outline[i], outline[i + 1], p));
    }
    if (closed && !outline.empty()) {
        distance = MIN(distance, YKSegPtDist(outline.back(), outline.front(), p));
    }
    return distance;
}

int32 YKVectorRoundRect::hitAtTol(Point point, double tol) const {
    int32 result = YKVectorEntity::hitAtTol(point, tol);
    // A closed loop has no end points to grab.
    if (result == 2 && mSegments.back().end == 0) {
        result = 3;
    }
    if (result != 3 || mPoints.size() < 4) {
        return result;
    }
    return outlineDistance(point) < StrokeWidth() / 2 + tol ? 1 : 0;
}

// --- Knobs and bounds ---

void YKVectorRoundRect::resetKnobs() {
    mKnobs.clear();
    if (mSelectionState != 0 && mPoints.size() >= 4) {
        mKnobs = rotatedPoints();
        mKnobs.resize(4);
    }
}

void YKVectorRoundRect::getBounds(YKRect<double>* out) const {
    const double width = StrokeWidth();
    *out = {mBounds.left - width, mBounds.top - width, mBounds.right + width,
            mBounds.bottom + width};
}

// --- Drawing ---

void YKVectorRoundRect::setClosedLineMode(YKSketcher* sketcher) const {
    sketcher->SetLineMode(YK_CAP_BUTT, YK_CAP_BUTT, YK_JOIN_BEVEL, 10.0);
    sketcher->SetClosed(mStroke == nullptr || mStroke->dash == nullptr);
}

void YKVectorRoundRect::drawIn(YKSketcher* sketcher, bool antialias) {
    YKVectorEntity::drawIn(sketcher, antialias);
    if (mPoints.size() < 4) {
        return;
    }
    PaintBuffers buffers;
    setupPaint(sketcher, &buffers);
    drawShape(sketcher, rotatedPoints());
}

void YKVectorRoundRect::drawShape(YKSketcher* sketcher, const PointList& corners) {
    setClosedLineMode(sketcher);
    // A negative radius is a plain corner, and stays one.
    for (YKEnvelopDouble* radius : {mRx.get(), mRy.get()}) {
        if (radius != nullptr && radius->Value() < 0) {
            radius->SetValue(0.0);
        }
    }
    if (!(corners[0] == corners[2])) {
        sketcher->DrawRoundRect(corners[0], corners[1], corners[2], corners[3], Radius(mRx.get()),
                                Radius(mRy.get()));
    }
}
