// Keys: typed into the object being drawn, otherwise nudging, resizing, rotating or deleting the
// selected objects. The changes of one run of key repeats, up to the key's release, are one undo
// action.

#include <numbers>

#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKEventManager.h"
#include "YKEventManager_internal.h"
#include "YKObjectLayer.h"
#include "YKToolState.h"
#include "YKViewerLayer.h"

namespace {

constexpr char kLeftArrow = 28;
constexpr char kRightArrow = 29;
constexpr char kUpArrow = 30;
constexpr char kDownArrow = 31;
constexpr char kBackspace = 8;
constexpr char kDelete = 127;

// The nudge of an arrow key, or (0, 0) for other keys.
YKPoint<double> ArrowVector(char key, double step) {
    switch (key) {
        case kLeftArrow:
            return {-step, 0};
        case kRightArrow:
            return {step, 0};
        case kUpArrow:
            return {0, -step};
        case kDownArrow:
            return {0, step};
        default:
            return {0, 0};
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
    (void)count;
    const char key = bytes[0];
    const bool shift = (modifiers & kShift) != 0;
    const YKPoint<double> arrow = ArrowVector(key, shift ? 8.0 : 1.0);
    const bool isArrow = arrow.x != 0 || arrow.y != 0;
    double turn = 0;
    if (key == 'z' || key == 'Z') {
        turn = (shift ? 8 : 1) * std::numbers::pi / 180;
    } else if (key == 'x' || key == 'X') {
        turn = -(shift ? 8 : 1) * std::numbers::pi / 180;
    }
    if (!isArrow && turn == 0) {
        return;
    }
    YKList<YKObjectLayer*> objects;
    CollectObjects(mCurrentLayer, &objects);
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
            object->BeginInvalidate(true);
            mKeyTargets.AddItem(object);
        }
        if (!isArrow) {
            if (object->SupportsRotation()) {
                object->ModifyRotation(object->Rotation() + turn);
            }
        } else if ((modifiers & kControl) != 0) {
            if (object->SupportsResize()) {
                object->ResizeBoundingBoxBy(arrow);
            }
        } else {
            object->MoveBoundingBoxBy(arrow, false);
        }
    }
    if (envelopes != nullptr) {
        envelopes->SetAcceptRedraw(true, false);
    }
}
