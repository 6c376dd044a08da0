// The event manager's dispatch: the lock and bracket around each event, the choice of logic by
// the tool's behaviour, and the passing of events to the objects.

#include "YKEventManager.h"
#include "YKEventManager_internal.h"

#include <cmath>
#include <memory>
#include <vector>

#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKEventListener.h"
#include "YKMessage.h"
#include "YKObjectLayer.h"
#include "YKToolState.h"
#include "YKUndoEnvelopModification.h"
#include "YKUndoPlaceObjects.h"
#include "YKViewerLayer.h"

YKEventManager::YKEventManager(YKDocument* document, YKToolState* tools, YKEventListener* listener)
    : mDocument(document), mTools(tools), mListener(listener) {
    if (Viewer() != nullptr) {
        mCurrentLayer = Viewer()->CurrentUserLayer();
    }
}

YKEventManager::~YKEventManager() {
    // Whatever is half done is finished so the document keeps only whole edits.
    if (mMouseDown) {
        MouseUp(mLastPoint);
    }
    if (mObjectInProgress != nullptr) {
        FinishObject();
    }
    if (!mKeyTargets.IsEmpty()) {
        KeyUp(nullptr, 0, 0);
    }
}

bool YKEventManager::Usable(YKPoint<double> point) {
    return std::isfinite(point.x) && std::isfinite(point.y) &&
           std::fabs(point.x) <= kMaxCoordinate && std::fabs(point.y) <= kMaxCoordinate;
}

int32 YKEventManager::ViewID() const {
    return mListener != nullptr ? mListener->ViewID() : 0;
}

YKLayer* YKEventManager::CurrentLayer() const {
    YKViewerLayer* viewer = Viewer();
    // Compared by address only: a layer gone from the tree may already be destroyed.
    if (viewer != nullptr &&
        (mCurrentLayer == nullptr || viewer->IndexOfChild(mCurrentLayer) < 0)) {
        return viewer->CurrentUserLayer();
    }
    return mCurrentLayer;
}

YKViewerLayer* YKEventManager::Viewer() const {
    return mDocument != nullptr ? mDocument->ViewerLayer() : nullptr;
}

int32 YKEventManager::Tool() const {
    return mTools != nullptr ? mTools->ToolSelected() : 0;
}

void YKEventManager::NotifySelection() {
    if (mListener != nullptr) {
        mListener->SelectionChanged();
    }
}

void YKEventManager::CollectObjects(YKLayer* root, YKList<YKObjectLayer*>* objects) const {
    if (root == nullptr) {
        return;
    }
    for (YKLayer* layer = root->IterateHirarchyToNext("YKObjectLayer", root); layer != nullptr;
         layer = layer->IterateHirarchyToNext("YKObjectLayer", root)) {
        objects->AddItem(static_cast<YKObjectLayer*>(layer));
    }
}

// --- Entry points ---

void YKEventManager::MouseDown(YKPoint<double> point, uint32 buttons, uint32 clicks,
                               uint32 modifiers) {
    if (!Usable(point) || mTools == nullptr) {
        return;
    }
    if (mMouseDown) {
        // The mouse up of the last gesture never came: end it where it was.
        MouseUp(mLastPoint);
    }
    if (!mKeyTargets.IsEmpty()) {
        // The release of a held key never came: its run ends before the drag opens its own.
        KeyUp(nullptr, 0, 0);
    }
    Bracket bracket(this);
    if (!bracket.locked) {
        return;
    }
    Viewer()->SetViewerID(ViewID());
    mMouseDown = true;
    mModifiers = modifiers;
    // The layers' drags (Shift keeps proportions and snaps turns) read them from here.
    YKObjectLayer::SetEventModifiers(modifiers);
    mLastPoint = point;
    mGestureTool = Tool();
    if (mGestureTool >= 1 && mGestureTool <= 3) {
        MouseDownBitmap(point);
        return;
    }
    switch (mTools->ToolBehavior()) {
        case YKToolContainer::kSelection:
            MouseDownSelect(point, buttons, clicks);
            break;
        case YKToolContainer::kDrawing:
            MouseDownDraw(point, buttons, clicks);
            break;
        case YKToolContainer::kViewer:
            if (mGestureTool == YKToolState::kZoomToolID && mListener != nullptr) {
                const bool zoomIn = mTools->IsZoomIn() != ((modifiers & kShift) != 0);
                mListener->ZoomRequested(point, zoomIn);
            }
            break;
        default:
            break;
    }
}

void YKEventManager::MouseMoved(YKPoint<double> point, uint32 buttons) {
    if (!Usable(point)) {
        return;
    }
    // A polyline or Bézier in progress follows the pointer between clicks too.
    if (!mMouseDown && mObjectInProgress == nullptr) {
        return;
    }
    Bracket bracket(this);
    if (!bracket.locked) {
        return;
    }
    const YKPoint<double> last = mLastPoint;
    if (mMouseDown) {
        mLastPoint = point;
    }
    if (mObjectInProgress != nullptr) {
        MouseMovedDraw(point, buttons, false);
    } else if (mGestureTool >= 1 && mGestureTool <= 3) {
        MouseMovedBitmap(point);
    } else if (mGestureTool == YKToolState::kHandToolID) {
        if (mListener != nullptr) {
            mListener->ScrollRequested({last.x - point.x, last.y - point.y});
        }
    } else if (mTracking) {
        mSelectionRect = {static_cast<int32>(std::floor(std::fmin(mTrackStart.x, point.x))),
                          static_cast<int32>(std::floor(std::fmin(mTrackStart.y, point.y))),
                          static_cast<int32>(std::floor(std::fmax(mTrackStart.x, point.x))),
                          static_cast<int32>(std::floor(std::fmax(mTrackStart.y, point.y)))};
    } else {
        CallMouseMoved(point, buttons);
    }
}

void YKEventManager::MouseHold(YKPoint<double> point, uint32 buttons) {
    if (!Usable(point) || !mMouseDown) {
        return;
    }
    Bracket bracket(this);
    if (!bracket.locked) {
        return;
    }
    if (mObjectInProgress != nullptr) {
        MouseMovedDraw(point, buttons, true);
    } else if (mGestureTool >= 1 && mGestureTool <= 3) {
        MouseMovedBitmap(point);
    } else if (!mTracking) {
        CallMouseHold(point, buttons);
    }
}

void YKEventManager::MouseUp(YKPoint<double> point) {
    if (!mMouseDown) {
        return;
    }
    if (!Usable(point)) {
        point = mLastPoint;
    }
    Bracket bracket(this);
    if (!bracket.locked) {
        return;
    }
    mMouseDown = false;
    mLastPoint = point;
    if (mObjectInProgress != nullptr) {
        MouseUpDraw(point);
    } else if (mGestureTool >= 1 && mGestureTool <= 3) {
        MouseUpBitmap(point);
    } else if (mGestureTool == 0) {
        MouseUpSelect(point);
    }
    mGestureTool = -1;
}

// --- Passing events to objects ---

bool YKEventManager::CallMouseDown(YKLayer* root, YKPoint<double> point, uint32 buttons,
                                   uint32 clicks, int32 modeMask) {
    mMouseTargets.MakeEmpty();
    YKList<YKObjectLayer*> objects;
    CollectObjects(root, &objects);
    bool handled = false;
    for (int32 i = 0; i < objects.CountItems(); ++i) {
        YKObjectLayer* object = objects.ItemAt(i);
        const int32 mode = object->ObjectMode(-1);
        if ((mode & modeMask) == 0 || object->IsLocked()) {
            continue;
        }
        // Local edits change the object's points and then fit its placement to them: both are
        // captured, so that the edit can be undone exactly.
        BeginCapture(object);
        mMouseTargets.AddItem(object);
        handled |= object->MouseDownDestination()->MouseDown(point, buttons, clicks, mGestureTool);
    }
    return handled;
}

void YKEventManager::CallMouseMoved(YKPoint<double> point, uint32 buttons) {
    for (int32 i = 0; i < mMouseTargets.CountItems(); ++i) {
        mMouseTargets.ItemAt(i)->MouseMovedDestination()->MouseMoved(point, buttons, mGestureTool);
    }
}

void YKEventManager::CallMouseHold(YKPoint<double> point, uint32 buttons) {
    for (int32 i = 0; i < mMouseTargets.CountItems(); ++i) {
        mMouseTargets.ItemAt(i)->MouseHoldDestination()->MouseHold(point, buttons, mGestureTool);
    }
}

void YKEventManager::CallMouseUp(YKPoint<double> point) {
    for (int32 i = 0; i < mMouseTargets.CountItems(); ++i) {
        mMouseTargets.ItemAt(i)->MouseUpDestination()->MouseUp(point, mGestureTool);
    }
    RecordModifications(&mMouseTargets, "Move");
}

void YKEventManager::RecordPlacement(const std::vector<YKObjectLayer*>& objects, const char* name,
                                     const std::function<void()>& change) {
    YKList<YKObjectLayer*> targets;
    for (YKObjectLayer* object : objects) {
        BeginCapture(object);
        targets.AddItem(object);
    }
    change();
    RecordModifications(&targets, name);
}

void YKEventManager::BeginCapture(YKObjectLayer* object) {
    object->BeginInvalidate(true);
    YKMessage& content = mContentBefore[object];
    content.MakeEmpty();
    object->ArchiveContent(&content);
}

void YKEventManager::RecordModifications(YKList<YKObjectLayer*>* targets, const char* name) {
    auto record = std::make_unique<YKUndoPlaceObjects>(name);
    YKEnvelopManager* envelopes = mDocument->EnvelopManager();
    for (int32 i = 0; i < targets->CountItems(); ++i) {
        YKObjectLayer* object = targets->ItemAt(i);
        YKList<YKUndoEnvelopModification*> changes;
        object->EndInvalidate(&changes);
        std::vector<std::unique_ptr<YKUndoEnvelopModification>> owned;
        for (int32 k = 0; k < changes.CountItems(); ++k) {
            owned.emplace_back(changes.ItemAt(k));
        }
        if (!owned.empty() && envelopes != nullptr) {
            envelopes->ObjectModified(object->ID());
        }
        YKMessage after;
        object->ArchiveContent(&after);
        const auto before = mContentBefore.find(object);
        const bool localEdit = object->ObjectMode(-1) == YKObjectLayer::kModeLocalEditing;
        if (owned.empty() && !localEdit && before != mContentBefore.end() &&
            after.Flatten() != before->second.Flatten()) {
            // Grabbed but not moved: the content's working values go back with the rest.
            object->FollowEnvelops(&before->second);
            after = before->second;
        }
        record->Add(object, std::move(owned),
                    before != mContentBefore.end() ? before->second : YKMessage(), after);
        if (before != mContentBefore.end()) {
            mContentBefore.erase(before);
        }
    }
    targets->MakeEmpty();
    if (record->IsEmpty()) {
        return;
    }
    mDocument->AddUndoItem(record.release(), true);
    YKMessage update('lUTN');
    Viewer()->ForwardMessage(Viewer(), &update);
}
