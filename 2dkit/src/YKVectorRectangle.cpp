#include "YKVectorRectangle.h"

#include "yk_box_corners.h"

YKVectorRectangle::YKVectorRectangle(Point start, int32 id, YKEnvelopManager* manager)
    : YKVectorPolyline(start, id, manager) {
    for (int i = 0; i < 3; ++i) {
        YKVectorEntity::addPoint(start, false);
    }
    mSegments.back().end = 0;
    mPoints.resize(4);
    mSelectionState = 3;
    mModificationMode = kModeDragging;
    resetBox();
    resetBounds();
}

bool YKVectorRectangle::modifyPoint(int32 index, Point point, bool constrain) {
    if (index < 0 || index > 3 || mPoints.size() < 4) {
        return false;
    }
    mPoints[index] = point;
    constrainSegment(index, constrain);
    YKFollowBoxCorner(&mPoints, index);
    resetBox();
    resetBounds();
    resetKnobs();
    return true;
}

void YKVectorRectangle::constrainSegment(int32 corner, bool on) {
    if (on && corner > 0) {
        YKSquareBoxCorner(&mPoints, corner);
    }
}

void YKVectorRectangle::nextPoint(Point point, bool constrain) {
    modifyPoint(2, point, constrain);
    mSelectionState = 3;
}

void YKVectorRectangle::addPoint(Point point, bool constrain) {
    if (mSegments.size() < 4) {
        YKVectorEntity::addPoint(point, constrain);
    }
}

YKVectorEntity* YKVectorRectangle::endCreationWithTol(double tol) {
    if (mModificationMode == kModeCreating) {
        mModificationMode = kModeIdle;
        mSelectionState = 3;
        resetKnobs();
    }
    return YKVectorEntity::endCreationWithTol(tol);
}
