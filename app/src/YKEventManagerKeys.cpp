// Keys: typed into the object being drawn, otherwise nudging, resizing, rotating, reshaping or
// deleting the selected objects, or passing the selection on with Tab. The changes of one run of
// key repeats, up to the key's release, are one undo action.

#include <cmath>

#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKEventManager.h"
#include "YKEventManager_internal.h"
#include "YKObjectLayer.h"
#include "YKToolState.h"
#include "YKViewerLayer.h"

namespace {

constexpr char kBackspace = 8;
constexpr char kTab = 9;
constexpr char kDelete = 127;
// 'H' and 'T' never bring two corners closer than this, nor push them beyond the document range.
constexpr double kMinimumSpan = 1.0;
constexpr double kMaximumSpan = YKEventManager::kMaxCoordinate;

bool IsCornerKey(char key) {
    return key == 'h' || key == 'H' || key == 't' || key == 'T';
}

// Each corner of a pair becomes a weighted sum of itself and the other: 0.75 and 0.25 pull them
// together (the span halves about its middle), 1.5 and -0.5 push them apart (it doubles).
void Mix(YKPoint<double>* a, YKPoint<double>* b, bool apart) {
    const double own = apart ? 1.5 : 0.75;
    const double other = apart ? -0.5 : 0.25;
    const YKPoint<double> oldA = *a;
    *a = {own * a->x + other * b->x, own * a->y + other * b->y};
    *b = {own * b->x + other * oldA.x, own * b->y + other * oldA.y};
}

bool SpanUsable(YKPoint<double> a, YKPoint<double> b) {
    const double span = std::hypot(a.x - b.x, a.y - b.y);
    return span >= kMinimumSpan && span <= kMaximumSpan;
}

// 'H' narrows the object about its vertical middle (Shift widens it); 'T' does the same to its
// top edge only, tapering the quadrilateral into a trapezoid, which needs free corners.
void ReshapeCorners(YKObjectLayer* object, char key, bool apart) {
    const bool taper = key == 't' || key == 'T';
    if (taper ? !object->SupportsTransform() : !object->SupportsResize()) {
        return;
    }
    YKPoint<double> leftTop = object->LeftTopVector();
    YKPoint<double> rightTop = object->RightTopVector();
    YKPoint<double> rightBottom = object->RightBottomVector();
    YKPoint<double> leftBottom = object->LeftBottomVector();
    Mix(&leftTop, &rightTop, apart);
    if (!taper) {
        Mix(&leftBottom, &rightBottom, apart);
    }
    if (SpanUsable(leftTop, rightTop) && SpanUsable(leftBottom, rightBottom)) {
        object->ModifyBoundingBox(leftTop, rightTop, rightBottom, leftBottom);
    }
}

}  // namespace

void YKEventManager::KeyDown(const char* bytes, uint32 count, uint32 modifiers) {
    if (bytes == nullptr || count == 0) {
        return;
    }
    Bracket bracket(this);
    if (!bracket.locked) {
        return;
    }
    if (mObjectInProgress != nullptr) {
        mObjectInProgress->KeyDownDestination()->KeyDown(bytes, count, modifiers, Tool());
        CheckObjectDone();
        return;
    }
    if (mMouseDown) {
        // The drag holds the objects' placement open; a key now would split it in two.
        return;
    }
    if ((bytes[0] == kDelete || bytes[0] == kBackspace) && mKeyTargets.IsEmpty()) {
        // Deleting is an action of its own, which the viewer layer records.
        if (Viewer()->DeleteSelectedObject(ViewID())) {
            NotifySelection();
        }
        return;
    }
    KeyEvent(bytes, count, modifiers);
}

void YKEventManager::KeyUp(const char* bytes, uint32 count, uint32 modifiers) {
    Bracket bracket(this);
    if (!bracket.locked) {
        return;
    }
    if (mObjectInProgress != nullptr) {
        if (bytes != nullptr && count > 0) {
            mObjectInProgress->KeyUpDestination()->KeyUp(bytes, count, modifiers, Tool());
        }
        CheckObjectDone();
        return;
    }
    RecordModifications(&mKeyTargets, "Move");
}

void YKEventManager::KeyEvent(const char* bytes, uint32 count, uint32 modifiers) {
    const char key = bytes[0];
    if (key == kTab) {
        PassSelectionOn((modifiers & kShift) != 0);
        return;
    }
    // The objects move, resize and turn themselves; this only gathers one run into one action.
    const bool corners = IsCornerKey(key);
    if (!corners && !YKObjectLayer::IsPlacementKey(key)) {
        return;
    }
    YKList<YKObjectLayer*> objects;
    CollectObjects(CurrentLayer(), &objects);
    YKEnvelopManager* envelopes = mDocument->EnvelopManager();
    if (envelopes != nullptr) {
        envelopes->SetAcceptRedraw(false, false);
    }
    for (int32 i = 0; i < objects.CountItems(); ++i) {
        YKObjectLayer* object = objects.ItemAt(i);
        if ((object->ObjectMode(-1) & YKObjectLayer::kModeSelected) == 0 || object->IsLocked()) {
            continue;
        }
        if (!mKeyTargets.HasItem(object)) {
            // Capture starts at the first repeat only, so the release records the whole run.
            BeginCapture(object);
            mKeyTargets.AddItem(object);
        }
        if (corners) {
            ReshapeCorners(object, key, (modifiers & kShift) != 0);
        } else {
            object->KeyDown(bytes, count, modifiers, Tool());
        }
    }
    if (envelopes != nullptr) {
        envelopes->SetAcceptRedraw(true, false);
    }
}

void YKEventManager::PassSelectionOn(bool backwards) {
    // Only a plain selection moves on: objects being edited locally or merely pickable keep
    // their mode.
    YKList<YKObjectLayer*> objects;
    CollectObjects(CurrentLayer(), &objects);
    const int32 count = objects.CountItems();
    int32 anchor = -1;
    for (int32 i = 0; i < count; ++i) {
        YKObjectLayer* object = objects.ItemAt(i);
        if (object->ObjectMode(-1) != YKObjectLayer::kModeSelected) {
            continue;
        }
        if (anchor < 0 || !backwards) {
            anchor = i;
        }
        SetMode(object, YKObjectLayer::kModeNotSelected);
    }
    if (anchor < 0) {
        return;
    }
    SetMode(objects.ItemAt((anchor + (backwards ? count - 1 : 1)) % count),
            YKObjectLayer::kModeSelected);
    NotifySelection();
}
