// Drawing new objects: the tool's container builds the object, which takes the mouse events
// until it leaves drawing mode; then it is kept (selected, with a creation undo record) or, when
// degenerate, thrown away.

#include <cstdio>
#include <string>

#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKEventManager.h"
#include "YKEventManager_internal.h"
#include "YKMessage.h"
#include "YKObjectLayer.h"
#include "YKToolOptions.h"
#include "YKToolState.h"
#include "YKUndoCreateObject.h"
#include "YKUndoDocumentIDs.h"
#include "YKViewerLayer.h"

YKObjectLayer* YKEventManager::GetObjectToContinue(YKPoint<double> point) {
    if (CurrentLayer() == nullptr || !Usable(point)) {
        return nullptr;
    }
    YKList<YKLayer*> hits(16);
    CurrentLayer()->MousePointDestination()->MousePoint(point, &hits);
    for (int32 i = 0; i < hits.CountItems(); ++i) {
        YKLayer* hit = hits.ItemAt(i);
        if (hit->InheritsFrom("YKObjectLayer") &&
            static_cast<YKObjectLayer*>(hit)->WantToContinue(point, mTools->ToolSelectedType())) {
            return static_cast<YKObjectLayer*>(hit);
        }
    }
    return nullptr;
}

void YKEventManager::MouseDownDraw(YKPoint<double> point, uint32 buttons, uint32 clicks) {
    if (CurrentLayer() == nullptr) {
        return;
    }
    if (mObjectInProgress != nullptr) {
        // The next click of an object drawn click by click.
        mObjectInProgress->MouseDownDestination()->MouseDown(point, buttons, clicks, mGestureTool);
        CheckObjectDone();
        return;
    }
    UnselectAll();
    if (YKEnvelopManager* envelopes = mDocument->EnvelopManager()) {
        envelopes->SetAcceptRedraw(false, false);
    }
    if (YKObjectLayer* continued = GetObjectToContinue(point)) {
        StartObject(continued, false);
    } else {
        mCountersBefore = mDocument->Counters();
        const char* type = mTools->ToolSelectedType();
        char name[256];
        std::snprintf(name, sizeof(name), "%s_%d", type != nullptr ? type : "Object",
                      mDocument->GetObjectID());
        YKObjectLayer* object = mTools->InstantiateLayerForTool(mDocument->GetUniqueID(), name);
        if (object == nullptr) {
            mDocument->SetCounters(mCountersBefore);
            if (YKEnvelopManager* envelopes = mDocument->EnvelopManager()) {
                envelopes->SetAcceptRedraw(true, false);
            }
            return;
        }
        StartObject(object, true);
    }
    YKObjectLayer* object = mObjectInProgress;
    object->MouseDownDestination()->MouseDown(point, buttons, clicks, mGestureTool);
    // The press made the object's shape; it takes the tool's options before it is shown.
    if (mObjectCreated) {
        YKToolOptions::Apply(mTools->GetOptionMessage(), object);
    }
    CheckObjectDone();
}

void YKEventManager::StartObject(YKObjectLayer* object, bool created) {
    CurrentLayer()->SetFiltersOff(true);
    mTools->SetSwapAuthorized(false);
    if (created) {
        CurrentLayer()->AddChild(object, true);
    } else {
        object->SetObjectMode(YKObjectLayer::kModeDrawing, true);
    }
    mObjectInProgress = object;
    mObjectCreated = created;
}

void YKEventManager::MouseMovedDraw(YKPoint<double> point, uint32 buttons, bool hold) {
    if (mObjectInProgress->ObjectMode(-1) != YKObjectLayer::kModeDrawing) {
        CheckObjectDone();
        return;
    }
    if (hold) {
        mObjectInProgress->MouseHoldDestination()->MouseHold(point, buttons, mGestureTool);
    } else {
        mObjectInProgress->MouseMovedDestination()->MouseMoved(point, buttons, mGestureTool);
    }
    CheckObjectDone();
}

void YKEventManager::MouseUpDraw(YKPoint<double> point) {
    if (mObjectInProgress->ObjectMode(-1) == YKObjectLayer::kModeDrawing) {
        mObjectInProgress->MouseUpDestination()->MouseUp(point, mGestureTool);
    }
    CheckObjectDone();
}

void YKEventManager::CheckObjectDone() {
    if (mObjectInProgress != nullptr &&
        mObjectInProgress->ObjectMode(-1) != YKObjectLayer::kModeDrawing) {
        ObjectDone();
    }
}

void YKEventManager::FinishObject() {
    if (mObjectInProgress == nullptr) {
        return;
    }
    Bracket bracket(this);
    if (!bracket.locked) {
        return;
    }
    mObjectInProgress->FinishObject();
    ObjectDone();
}

void YKEventManager::AnnounceAdded(YKObjectLayer* object) {
    if (YKEnvelopManager* envelopes = mDocument->EnvelopManager()) {
        envelopes->ObjectAdded(object->ID());
    }
    YKMessage added('oADD');
    added.AddPointer("Object", object);
    mDocument->MessageReceived(object, &added);
    // Every view may have had it in drawing mode; it ends selected here and unselected elsewhere.
    object->SetObjectMode(YKObjectLayer::kModeNotSelected, true);
    SetMode(object, YKObjectLayer::kModeSelected);
}

void YKEventManager::ObjectDone() {
    YKObjectLayer* object = mObjectInProgress;
    mObjectInProgress = nullptr;
    YKEnvelopManager* envelopes = mDocument->EnvelopManager();
    if (envelopes != nullptr) {
        envelopes->SetAcceptRedraw(true, false);
    }
    if (object->IsValid()) {
        AnnounceAdded(object);
        NotifySelection();
        if (mObjectCreated) {
            mDocument->AddUndoItem(
                new YKUndoDocumentIDs(mDocument, mCountersBefore, mDocument->Counters()), false);
            mDocument->AddUndoItem(new YKUndoCreateObject(object, object->Name()), true);
        }
        YKMessage update('lUTN');
        Viewer()->ForwardMessage(Viewer(), &update);
        mDocument->SetModified(true);
    } else if (mObjectCreated) {
        // A degenerate new shape (a click without a drag) leaves nothing behind.
        if (YKLayer* parent = object->Parent()) {
            parent->RemoveChild(object, true);
        }
        // Kept until the next discard: the event's own redraw still walks the layers it
        // touched, this one included.
        mDiscarded.reset(object);
        mDocument->SetCounters(mCountersBefore);
    }
    mTools->SetSwapAuthorized(true);
    if (CurrentLayer() != nullptr) {
        CurrentLayer()->SetFiltersOn();
    }
}
