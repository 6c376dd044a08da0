// Modification (dragging, resizing, rotating, aligning) and the attribute and dimension records.

#include <cmath>

#include "YKDash.h"
#include "YKEnvelopKinds.h"
#include "YKGradientContainer.h"
#include "YKVectorEntity.h"

// --- Modification ---

bool YKVectorEntity::beginModification_atPoint_withTol(int32 mode, Point point, double tol) {
    (void)tol;
    if (mode == kModeDragging) {
        mModificationMode = kModeDragging;
        if (mSelectionState == 4 && mOppositeKnob >= 0 &&
            mOppositeKnob < static_cast<int32>(mKnobs.size())) {
            mTransCenter = mKnobs[mOppositeKnob];
        }
        setDraggingOffsetFromPoint(point);
        return true;
    }
    if (mode == kModeRotating) {
        mModificationMode = kModeRotating;
        mDraggingOffset = point;
        mTransCenter = {(mBounds.left + mBounds.right) / 2, (mBounds.top + mBounds.bottom) / 2};
        return true;
    }
    return false;
}

void YKVectorEntity::setDraggingOffsetFromPoint(Point point) {
    Point ref;
    getDraggingRef(&ref);
    mDraggingOffset = point - ref;
}

void YKVectorEntity::getDraggingOffset(Point* out) const {
    *out = mDraggingOffset;
}

void YKVectorEntity::getDraggingRef(Point* out) const {
    if (mSelectionState == -1) {
        *out = {0, 0};
    } else if (mSelectionState == 1 && mSelectionIndex >= 0 &&
               mSelectionIndex < static_cast<int32>(mPoints.size())) {
        *out = mPoints[mSelectionIndex];
    } else if (mSelectionState == 4 && mGrabbedKnob >= 0 &&
               mGrabbedKnob < static_cast<int32>(mKnobs.size())) {
        *out = mKnobs[mGrabbedKnob];
    } else {
        *out = mPoints.empty() ? Point{0, 0} : mPoints[0];
    }
}

void YKVectorEntity::draggingTo(Point point, bool flag) {
    (void)flag;
    if (mModificationMode == kModeDragging) {
        Point ref;
        getDraggingRef(&ref);
        ref += mDraggingOffset;
        if (mSelectionState == 4) {
            const Point c = mTransCenter;
            if (point.x == c.x) {
                point.x += 1;
            }
            if (point.y == c.y) {
                point.y += 1;
            }
            // Single precision, as the resize has always been computed.
            const float sx = static_cast<float>(point.x - c.x) / static_cast<float>(ref.x - c.x);
            const float sy = static_cast<float>(point.y - c.y) / static_cast<float>(ref.y - c.y);
            if (std::isfinite(sx) && std::isfinite(sy)) {
                rawResize(sx, sy, false);
            }
        } else {
            rawTranslation(point - ref);
        }
    } else if (mModificationMode == kModeRotating) {
        const Point c = mTransCenter;
        const float ux = static_cast<float>(mDraggingOffset.x - c.x);
        const float uy = static_cast<float>(c.y - mDraggingOffset.y);
        const float vx = static_cast<float>(point.x - c.x);
        const float vy = static_cast<float>(c.y - point.y);
        const float angle = std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
        rawRotate(angle);
        mDraggingOffset = rotatePt(mDraggingOffset, angle, c);
    }
}

void YKVectorEntity::translate(Point delta) {
    rawTranslation(delta);
}

bool YKVectorEntity::restoreShape(const Shape& shape) {
    if (shape.points.size() != mPoints.size()) {
        return false;
    }
    mPoints = shape.points;
    mTransCenter = shape.transCenter;
    return true;
}

void YKVectorEntity::rawTranslation(Point delta) {
    for (Point& p : mPoints) {
        p += delta;
    }
}

void YKVectorEntity::rawTranslateTo(Point point) {
    resetBox();
    if (!mBox.IsValid()) {
        return;
    }
    rawTranslation(point - mBox.LeftTop());
}

void YKVectorEntity::setTransformationCenter(Point center) {
    mTransCenter = center;
}

void YKVectorEntity::resizeWithCenter(double sx, double sy, const Point* center, bool flag) {
    mTransCenter = center != nullptr ? *center
                                     : Point{(mBounds.left + mBounds.right) / 2,
                                             (mBounds.top + mBounds.bottom) / 2};
    rawResize(sx, sy, flag);
}

void YKVectorEntity::rawResize(double sx, double sy, bool flag) {
    (void)flag;
    if (sx == 0 || sy == 0) {
        return;
    }
    const Point c = mTransCenter;
    for (Point& p : mPoints) {
        p = {c.x + sx * (p.x - c.x), c.y + sy * (p.y - c.y)};
    }
}

void YKVectorEntity::rotate_about(double angle, const Point* center) {
    mTransCenter = center != nullptr ? *center
                                     : Point{(mBounds.left + mBounds.right) / 2,
                                             (mBounds.top + mBounds.bottom) / 2};
    rawRotate(angle);
}

void YKVectorEntity::setGlobalRotation(double angle, Point center) {
    mGlobalAngle = angle;
    mGlobalCenter = center;
}

void YKVectorEntity::rawRotate(double angle) {
    for (Point& p : mPoints) {
        p = rotatePt(p, angle, mTransCenter);
    }
}

void YKVectorEntity::endModification(double tol) {
    (void)tol;
    mModificationMode = kModeIdle;
}

void YKVectorEntity::setHorizontalAlignment(double x, int32 mode) {
    YKRect<double> bounds;
    getBounds(&bounds);
    const double anchor = mode == 0   ? bounds.left
                          : mode == 1 ? (bounds.left + bounds.right) / 2
                                      : bounds.right;
    translate({x - anchor, 0});
}

void YKVectorEntity::setVerticalAlignment(double y, int32 mode) {
    YKRect<double> bounds;
    getBounds(&bounds);
    const double anchor = mode == 0   ? bounds.top
                          : mode == 1 ? (bounds.top + bounds.bottom) / 2
                                      : bounds.bottom;
    translate({0, y - anchor});
}

// --- Attributes ---

namespace {

template <typename Envelop, typename Value>
void SetIfDiffers(Envelop* envelope, const Value& value) {
    if (envelope != nullptr && !(envelope->Value() == value)) {
        envelope->SetValue(value);
    }
}

std::unique_ptr<YKGradientContainer> CopyGradient(const YKGradientContainer* gradient) {
    return gradient != nullptr ? std::make_unique<YKGradientContainer>(*gradient) : nullptr;
}

}  // namespace

void YKVectorEntity::setStrokeAndColor(yk_color color, int16 flag,
                                       const YKGradientContainer* gradient, double patternAlpha,
                                       bool patternLock, const char* patternName) {
    if (mStroke == nullptr) {
        return;
    }
    SetIfDiffers(mStroke->color.get(), color);
    mStroke->patternName = patternName != nullptr ? patternName : "";
    SetIfDiffers(mStroke->patternAlpha.get(), patternAlpha);
    mStroke->patternLock = patternLock;
    mStroke->colorFlag = flag;
    if (gradient != mStroke->gradient.get()) {
        mStroke->gradient = CopyGradient(gradient);
    }
}

void YKVectorEntity::setFillAndColor(yk_color color, int16 flag,
                                     const YKGradientContainer* gradient, double patternAlpha,
                                     bool patternLock, const char* patternName) {
    if (mFillColorFlag == kColorFlagNotFillable) {
        return;
    }
    SetIfDiffers(mFillColor.get(), color);
    mFillPatternName = patternName != nullptr ? patternName : "";
    SetIfDiffers(mFillPatternAlpha.get(), patternAlpha);
    mFillPatternLock = patternLock;
    mFillColorFlag = flag;
    if (gradient != mFillGradient.get()) {
        mFillGradient = CopyGradient(gradient);
    }
}

void YKVectorEntity::setWidth(double width) {
    if (mStroke != nullptr) {
        SetIfDiffers(mStroke->width.get(), width);
        mBoundsWidth = CurrentStrokeWidth();
    }
}

void YKVectorEntity::setDash(const YKDash* dash) {
    if (mStroke != nullptr && dash != mStroke->dash.get()) {
        mStroke->dash =
            dash != nullptr && !dash->IsEmpty() ? std::make_unique<YKDash>(*dash) : nullptr;
    }
}

void YKVectorEntity::setCapJoin(int32 firstCap, int32 lastCap, int32 join) {
    mFirstCap = firstCap;
    mLastCap = lastCap;
    mJoin = join;
}

void YKVectorEntity::setMiterLimit(double limit) {
    mMiterLimit = limit;
}

void YKVectorEntity::getAttributes(YKVectorAttributes* a) const {
    // Every segment shares the one stroke record, so no segment can differ from segment 0.
    a->strokeDiffers = false;
    a->widthDiffers = false;
    a->dashDiffers = false;
    a->fillDiffers = false;
    if (mStroke != nullptr) {
        a->strokeColorFlag = mStroke->colorFlag;
        if (mStroke->color != nullptr) {
            a->strokeColor = mStroke->color->Value();
        }
        a->strokePatternName = mStroke->patternName;
        a->strokeGradient = mStroke->gradient.get();
        a->width = CurrentStrokeWidth();
        a->dash = mStroke->dash.get();
        a->strokePatternAlpha =
            mStroke->patternAlpha != nullptr ? mStroke->patternAlpha->Value() : 0.0;
        a->strokePatternLock = mStroke->patternLock;
    }
    if (mFillColorFlag != kColorFlagNotFillable) {
        a->fillColorFlag = mFillColorFlag;
        if (mFillColor != nullptr) {
            a->fillColor = mFillColor->Value();
        }
        a->fillPatternName = mFillPatternName;
        a->fillPatternAlpha = mFillPatternAlpha != nullptr ? mFillPatternAlpha->Value() : 0.0;
        a->fillPatternLock = mFillPatternLock;
        a->fillGradient = mFillGradient.get();
    }
    a->join = mJoin;
    a->firstCap = mFirstCap;
    a->lastCap = mLastCap;
    a->miterLimit = mMiterLimit;
}

void YKVectorEntity::setAttributes(const YKVectorAttributes* a) {
    setWidth(a->width);
    setCapJoin(a->firstCap, a->lastCap, a->join);
    setMiterLimit(a->miterLimit);
    setDash(a->dash);
    setFillAndColor(a->fillColor, a->fillColorFlag, a->fillGradient, a->fillPatternAlpha,
                    a->fillPatternLock, a->fillPatternName.c_str());
    setStrokeAndColor(a->strokeColor, a->strokeColorFlag, a->strokeGradient, a->strokePatternAlpha,
                      a->strokePatternLock, a->strokePatternName.c_str());
    resetKnobs();
}

// --- Dimensions ---

void YKVectorEntity::getSelectionDimensions(YKVectorDimensions* d) const {
    YKRect<double> bounds;
    getBounds(&bounds);
    d->kind = YKVectorDimensions::kBox;
    d->v[0] = bounds.left;
    d->v[1] = bounds.top;
    d->v[2] = bounds.right;
    d->v[3] = bounds.bottom;
}

void YKVectorEntity::getDimensions_ofSegmentNumber(YKVectorDimensions* d, int32 segment) const {
    if (!hasSegment(segment)) {
        return;
    }
    const YKVectorSegment& s = mSegments[segment];
    Point start = mPoints[s.begin];
    Point end = mPoints[s.end];
    if (end.x < start.x) {
        std::swap(start, end);
    }
    d->kind = YKVectorDimensions::kSegment;
    d->v[0] = start.x;
    d->v[1] = start.y;
    d->v[2] = start.x + std::hypot(end.x - start.x, end.y - start.y);
    d->v[3] = start.y + std::atan2(end.y - start.y, end.x - start.x);
}

void YKVectorEntity::getLastSegmentDimensions(YKVectorDimensions* d) const {
    getDimensions_ofSegmentNumber(d, static_cast<int32>(mSegments.size()) - 1);
}

void YKVectorEntity::setLength_andAngle_forSegmentNumber(double length, double angle,
                                                         int32 segment) {
    if (!hasSegment(segment)) {
        return;
    }
    const YKVectorSegment& s = mSegments[segment];
    const bool beginStays = mPoints[s.begin].x <= mPoints[s.end].x;
    const Point fixed = beginStays ? mPoints[s.begin] : mPoints[s.end];
    Point& moved = beginStays ? mPoints[s.end] : mPoints[s.begin];
    moved = {fixed.x + length * std::cos(angle), fixed.y + length * std::sin(angle)};
}
