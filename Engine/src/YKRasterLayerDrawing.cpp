// The vector-object layer drawing its object with the mouse and the keyboard, and editing its
// points.

#include <cstring>

#include "YKRasterLayer.h"
#include "YKVectorChain.h"
#include "YKVectorEntity.h"
#include "YKVectorEntityFactory.h"
#include "YKVectorText.h"

int32 YKRasterLayer::EntityTypeFor(int32 typeID) {
    switch (typeID) {
        case kLine:
        case kPolyline:
            return YKVectorEntity::kTypePolyline;
        case kBezier:
            return YKVectorEntity::kTypeBezier;
        case kRectangle:
            return YKVectorEntity::kTypeRectangle;
        case kEllipse:
            return YKVectorEntity::kTypeEllipse;
        case kArc:
            return YKVectorEntity::kTypeArc;
        case kText:
            return YKVectorEntity::kTypeText;
        case kFreeHand:
            return YKVectorEntity::kTypeFreeHand;
        case kRoundRectangle:
            return YKVectorEntity::kTypeRoundRect;
        default:
            return 0;
    }
}

void YKRasterLayer::MousePoint(YKPoint<double> point, YKList<YKLayer*>* hits) {
    if (ObjectMode(-1) != kModeLocalEditing) {
        YKObjectLayer::MousePoint(point, hits);
        return;
    }
    if (hits != nullptr && !IsHidden() && mEntity != nullptr &&
        mEntity->hitAtTol(point, GrabTolerance()) != 0) {
        hits->AddItem(this);
    }
}

bool YKRasterLayer::MouseDown(YKPoint<double> point, uint32 buttons, uint32 clicks, int32 tool) {
    const int32 mode = ObjectMode(-1);
    if (mode != kModeDrawing && mode != kModeLocalEditing) {
        return YKObjectLayer::MouseDown(point, buttons, clicks, tool);
    }
    YKPoint<double> at;
    if (IsLocked() || !UsablePoint(point, &at)) {
        return false;
    }
    mPointer = at;
    if (mode == kModeLocalEditing) {
        // Point editing picks parts (a point, else a segment), never the whole object.
        mEditingPoint = mEntity != nullptr &&
                        mEntity->selectAtTol(at, GrabTolerance(), true) != 0 &&
                        mEntity->beginModification_atPoint_withTol(YKVectorEntity::kModeDragging,
                                                                   at, GrabTolerance());
        return mEditingPoint;
    }
    return mEntity == nullptr ? StartDrawing(at) : DrawDown(at, clicks);
}

bool YKRasterLayer::MouseMoved(YKPoint<double> point, uint32 buttons, int32 tool) {
    YKPoint<double> at;
    if (!mEditingPoint && !IsDrawing()) {
        return YKObjectLayer::MouseMoved(point, buttons, tool);
    }
    if (!UsablePoint(point, &at)) {
        return true;
    }
    mPointer = at;
    if (mEditingPoint) {
        return EditPoints(at, false);
    }
    if (InGesture()) {
        DrawTo(at, false);
    }
    return true;
}

bool YKRasterLayer::MouseHold(YKPoint<double> point, uint32 buttons, int32 tool) {
    return mEditingPoint || IsDrawing() ? MouseMoved(point, buttons, tool)
                                        : YKObjectLayer::MouseHold(point, buttons, tool);
}

bool YKRasterLayer::MouseUp(YKPoint<double> point, int32 tool) {
    // A release at an unusable point ends the gesture where the pointer was last seen.
    YKPoint<double> at = mPointer;
    UsablePoint(point, &at);
    if (mEditingPoint) {
        return EditPoints(at, true);
    }
    if (!IsDrawing()) {
        return YKObjectLayer::MouseUp(point, tool);
    }
    // A release without its press (or after the gesture ended) changes nothing.
    if (!InGesture() || !mPressed) {
        return false;
    }
    mPressed = false;
    DrawTo(at, true);
    return true;
}

bool YKRasterLayer::KeyDown(const char* bytes, uint32 count, uint32 modifiers, int32 tool) {
    if (!IsDrawing()) {
        return YKObjectLayer::KeyDown(bytes, count, modifiers, tool);
    }
    if (mTypeID != kText || !InGesture() || bytes == nullptr || count == 0) {
        return false;
    }
    // keyStroke reads one NUL-terminated key; the event's bytes need not be terminated.
    char key[8] = {};
    std::memcpy(key, bytes, count < sizeof(key) - 1 ? count : sizeof(key) - 1);
    int32 redrawFrom = -1;
    if (static_cast<YKVectorText*>(mEntity.get())->keyStroke(key, modifiers, redrawFrom)) {
        RedrawObject(false);
    }
    return true;
}

bool YKRasterLayer::KeyUp(const char* bytes, uint32 count, uint32 modifiers, int32 tool) {
    // A text being typed takes its key releases too, so that nothing else acts on them.
    if (IsDrawing() && mTypeID == kText && InGesture()) {
        return true;
    }
    return YKObjectLayer::KeyUp(bytes, count, modifiers, tool);
}

bool YKRasterLayer::WantToContinue(YKPoint<double> point, const char* toolName) {
    return mTypeID == kPolyline && toolName != nullptr && std::strcmp(toolName, Type()) == 0 &&
           !IsDrawing() && !IsLocked() && WantsContinuation(point);
}

bool YKRasterLayer::WantsContinuation(YKPoint<double> point) const {
    // A loaded layer's kind need not match its object's: only a chain can be extended.
    const auto* chain = dynamic_cast<const YKVectorChain*>(mEntity.get());
    if (chain == nullptr) {
        return false;
    }
    const YKVectorEntity::SegmentList& segments = chain->segmentList();
    if (chain->isClosed() || segments.empty()) {
        return false;
    }
    const YKVectorEntity::PointList& points = chain->pointList();
    const double tolerance = GrabTolerance();
    return IsAround(point, points[segments.front().begin], tolerance) ||
           IsAround(point, points[segments.back().end], tolerance);
}

void YKRasterLayer::FinishObject() {
    if (IsDrawing() && InGesture()) {
        EndDrawing();
    } else {
        EndCreation();
    }
}

bool YKRasterLayer::StartDrawing(YKPoint<double> point) {
    const int32 type = EntityTypeFor(mTypeID);
    if (type == 0) {
        return false;
    }
    SetEntity(YKVectorEntityFactory::Create(type, point, ID(), EnvelopManager()));
    if (mEntity == nullptr) {
        return false;
    }
    mPressed = true;
    mGesture = Gesture::kCreating;
    mLastFixed = point;
    if (mTypeID == kText) {
        static_cast<YKVectorText*>(mEntity.get())->beginEdit(nullptr);
        RedrawObject(false);
    }
    return true;
}

bool YKRasterLayer::DrawDown(YKPoint<double> point, uint32 clicks) {
    if (!InGesture()) {
        if (mTypeID != kPolyline || !WantsContinuation(point)) {
            // A finished object has nothing left to draw.
            SetObjectMode(kModeNotSelected, true);
            return false;
        }
        ContinuePath(point);
        mPressed = true;
        RedrawObject(false);
        return true;
    }
    mPressed = true;
    const bool shift = (EventModifiers() & kShiftKey) != 0;
    switch (mTypeID) {
        case kPolyline:
        case kBezier: {
            const YKVectorEntity::PointList& points = mEntity->pointList();
            const YKPoint<double> start = points[mEntity->segmentList().front().begin];
            const bool closing =
                mEntity->segmentList().size() > 2 && IsAround(point, start, GrabTolerance());
            if ((clicks >= 2 && !closing) || IsAround(point, mLastFixed, 0)) {
                // The first click of the double click placed the last point already.
                EndDrawing();
                return true;
            }
            AddPathPoint(closing ? start : point);
            if (closing) {
                EndDrawing();
                return true;
            }
            break;
        }
        case kText: {
            auto* text = static_cast<YKVectorText*>(mEntity.get());
            YKRect<double> bounds;
            text->getBounds(&bounds);
            const double reach = GrabTolerance();
            if (bounds.IsValid() && point.x >= bounds.left - reach &&
                point.x <= bounds.right + reach && point.y >= bounds.top - reach &&
                point.y <= bounds.bottom + reach) {
                text->setInsertPoint(point);
            } else {
                mPressed = false;
                EndDrawing();
                return true;
            }
            break;
        }
        default:
            // A one-drag shape whose release went astray: this press carries the drag on.
            mEntity->nextPoint(point, shift);
            break;
    }
    RedrawObject(false);
    return true;
}

void YKRasterLayer::DrawTo(YKPoint<double> point, bool release) {
    const bool shift = (EventModifiers() & kShiftKey) != 0;
    switch (mTypeID) {
        case kRectangle:
        case kRoundRectangle:
        case kEllipse:
        case kArc:
            if (!mPressed && !release) {
                return;
            }
            mEntity->nextPoint(point, shift);
            if (release) {
                EndDrawing();
                return;
            }
            break;
        case kLine:
            if (!mPressed && !release) {
                return;
            }
            mEntity->nextPoint(point, shift);
            if (release) {
                mEntity->addPoint(point, shift);
                EndDrawing();
                return;
            }
            break;
        case kFreeHand:
            if (!mPressed && !release) {
                return;
            }
            if (!(point == mLastFixed)) {
                AddPathPoint(point);
            }
            if (release) {
                EndDrawing();
                return;
            }
            if (RedrawStrokeEnd()) {
                return;
            }
            break;
        case kBezier:
            // The drag after a press pulls the anchor's handle, which the release fixes.
            mEntity->nextPoint(point, false);
            if (release) {
                mEntity->addPoint(point, false);
            }
            break;
        case kPolyline:
            mEntity->nextPoint(point, shift);
            break;
        case kText:
            if (mPressed && !release) {
                static_cast<YKVectorText*>(mEntity.get())->selectUpToPoint(point);
            }
            break;
        default:
            return;
    }
    RedrawObject(false);
}

void YKRasterLayer::AddPathPoint(YKPoint<double> point) {
    const bool shift = mTypeID != kFreeHand && (EventModifiers() & kShiftKey) != 0;
    mEntity->nextPoint(point, shift);
    mEntity->addPoint(point, shift);
    mLastFixed = point;
}

void YKRasterLayer::ContinuePath(YKPoint<double> point) {
    auto* chain = static_cast<YKVectorChain*>(mEntity.get());
    const YKVectorEntity::PointList& points = chain->pointList();
    if (IsAround(point, points[chain->segmentList().front().begin], GrabTolerance())) {
        chain->reverse();
    }
    const YKPoint<double> end = chain->pointList()[chain->segmentList().back().end];
    chain->addPoint(end, false);
    mLastFixed = end;
    mGesture = Gesture::kContinuing;
}

void YKRasterLayer::EndDrawing() {
    mPressed = false;
    YKVectorEntity* kept = nullptr;
    const bool continuing = mGesture == Gesture::kContinuing;
    mGesture = Gesture::kNone;
    if (continuing) {
        // The path was already made: only the segment under the pointer goes.
        auto* chain = static_cast<YKVectorChain*>(mEntity.get());
        chain->removeSegsAfter(chain->segmentList().back().begin);
        chain->closeAtTol(GrabTolerance());
        chain->resetBox();
        chain->resetBounds();
        chain->resetKnobs();
        kept = chain;
    } else {
        kept = mEntity->endCreationWithTol(GrabTolerance());
    }
    if (kept == nullptr) {
        mEntity.reset();
        mBitmap.MakeEmpty();
        if (mDrawnFrame.IsValid()) {
            InvalidateLayer(mDrawnFrame, true, nullptr);
        }
        mDrawnFrame = YKRect<int32>::None();
        SetObjectMode(kModeNotSelected, true);
        return;
    }
    EndCreation();
}

bool YKRasterLayer::EditPoints(YKPoint<double> point, bool release) {
    const bool shift = (EventModifiers() & kShiftKey) != 0;
    mEntity->draggingTo(point, shift);
    if (!release) {
        mEntity->resetBounds();
        RedrawObject(false);
        return true;
    }
    mEditingPoint = false;
    mEntity->endModification(GrabTolerance());
    // The placement follows the points, so that the object's box and knobs are its own again.
    ResetBoundingBox(true);
    return true;
}
