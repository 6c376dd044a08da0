// Keys: typed into the object being drawn, otherwise nudging, resizing, rotating or deleting the
// selected objects. The changes of one run of key repeats, up to the key's release, are one undo
// action.

#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKEventManager.h"
#include "YKEventManager_internal.h"
#include "YKObjectLayer.h"
#include "YKToolState.h"
#include "YKViewerLayer.h"

namespace {

constexpr char kBackspace = 8;
constexpr char kDelete = 127;

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
    // The objects move, resize and turn themselves; this only gathers one run into one action.
    if (!YKObjectLayer::IsPlacementKey(bytes[0])) {
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
            BeginCapture(object);
            mKeyTargets.AddItem(object);
        }
        object->KeyDown(bytes, count, modifiers, Tool());
    }
    if (envelopes != nullptr) {
        envelopes->SetAcceptRedraw(true, false);
    }
}
