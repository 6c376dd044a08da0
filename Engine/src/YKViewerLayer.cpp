#include "YKViewerLayer.h"

#include <cstring>

#include "YKAutolock.h"
#include "YKBitmap.h"
#include "YKDebug.h"
#include "YKDocumentView.h"
#include "YKDrawBitmap.h"
#include "YKLayerFactory.h"
#include "YKMessage.h"
#include "YKUndoItem.h"
#include "YKUndoManager.h"
#include "YKViewerLayerHost.h"

// Sections: construction and archive · answers for the tree · views · invalidation
// brackets · frames · tree services.

// --- Construction and archive ---

YKViewerLayer::YKViewerLayer(YKViewerLayerHost* host, int32 id)
    : YKLayer(id),
      mHost(host),
      mCanvas(host != nullptr ? host->CanvasFrame() : YKRect<int32>::None()) {}

YKViewerLayer::YKViewerLayer(const YKMessage* archive, YKViewerLayerHost* host)
    : YKLayer(archive),
      mHost(host),
      mCanvas(host != nullptr ? host->CanvasFrame() : YKRect<int32>::None()) {}

YKViewerLayer::~YKViewerLayer() {
    // The base destructor would do this too, but only after this layer has stopped being the
    // root that answers the manager and the host.
    EmptyLayer(false);
}

void YKViewerLayer::Archive(YKMessage* message, bool deep) const {
    YKLayer::Archive(message, deep);
    SetArchiveClass(message, "YKViewerLayer");
}

bool YKViewerLayer::InheritsFrom(const char* className) const {
    return (className != nullptr && std::strcmp(className, "YKViewerLayer") == 0) ||
           YKLayer::InheritsFrom(className);
}

// --- Answers for the tree ---

YKEnvelopManager* YKViewerLayer::EnvelopManager() const {
    return mHost != nullptr ? mHost->EnvelopManager() : nullptr;
}

int32 YKViewerLayer::ViewerID() const {
    return mCurrentViewer.load();
}

int32 YKViewerLayer::PreviousFrame() const {
    return mPreviousFrame;
}

bool YKViewerLayer::LockHirarchy() {
    return mHierarchyLock.Lock();
}

void YKViewerLayer::UnlockHirarchy() {
    mHierarchyLock.Unlock();
}

bool YKViewerLayer::LockHirarchyWithTimeout(bigtime_t microseconds) {
    return mHierarchyLock.LockWithTimeout(microseconds);
}

YKLayer* YKViewerLayer::RemoveChild(int32 index, bool invalidate) {
    YKAutolock guard(mHierarchyLock);
    YKLayer* removed = YKLayer::RemoveChild(index, invalidate);
    if (removed != nullptr && removed == mCurrentUserLayer) {
        mCurrentUserLayer = nullptr;
    }
    return removed;
}

YKLayer* YKViewerLayer::TopParent() {
    return this;
}

double YKViewerLayer::KnobSize() const {
    return 0.0;
}

void YKViewerLayer::ForwardMessage(YKLayer* source, YKMessage* message) {
    if (mHost != nullptr && message != nullptr) {
        mHost->MessageReceived(source, message);
    }
}

// --- Views ---

int32 YKViewerLayer::CreateViewer() {
    YKAutolock guard(mHierarchyLock);
    for (int32 i = 0; i < kMaxViewers; ++i) {
        if (!mViewers[i].used) {
            mViewers[i].used = true;
            mViewers[i].composition = NewComposition();
            return i;
        }
    }
    return -1;
}

bool YKViewerLayer::SetWindow(YKDocumentView* window, int32 index) {
    if (!IsSlot(index)) {
        return false;
    }
    YKAutolock guard(mHierarchyLock);
    if (!mViewers[index].used) {
        mViewers[index].used = true;
        mViewers[index].composition = NewComposition();
    }
    mViewers[index].window = window;
    mCurrentViewer = index;
    // A new window has shown nothing yet, but the compositions of the others are still good.
    InvalidateLayer(Frame(), false, this);
    return true;
}

bool YKViewerLayer::DeleteViewer(int32 index) {
    if (!IsSlot(index)) {
        return false;
    }
    YKAutolock guard(mHierarchyLock);
    if (!mViewers[index].used) {
        return false;
    }
    mViewers[index] = Viewer{};
    return true;
}

int32 YKViewerLayer::CountViewer() const {
    YKAutolock guard(mHierarchyLock);
    int32 count = 0;
    for (const Viewer& viewer : mViewers) {
        count += viewer.used ? 1 : 0;
    }
    return count;
}

void YKViewerLayer::SetViewerID(int32 index) {
    if (IsSlot(index)) {
        YKAutolock guard(mHierarchyLock);
        mCurrentViewer = index;
    }
}

YKDocumentView* YKViewerLayer::WindowAt(int32 index) const {
    if (!IsSlot(index)) {
        return nullptr;
    }
    YKAutolock guard(mHierarchyLock);
    return mViewers[index].window;
}

// --- Invalidation brackets ---

void YKViewerLayer::BeginInvalidate() {
    YKAutolock guard(mHierarchyLock);
    if (mDepth == 0) {
        BroadcastMessage('dBUS');
        PreSplit();
        mInvalidRect = YKRect<int32>::None();
        mFullRedraw = false;
        mContentsChanged = false;
        mSelectionChanged = false;
        mModeChanges.MakeEmpty();
    }
    ++mDepth;
}

void YKViewerLayer::EndInvalidate() {
    YKAutolock guard(mHierarchyLock);
    YK_ASSERT(mDepth > 0);
    if (--mDepth > 0) {
        return;
    }
    // Layers ask for a full redraw of the rectangles they invalidate; only a full redraw asked
    // without any rectangle recomposes the whole frame. Composing just the union keeps an edit
    // of one object from recomposing the whole view.
    const YKRect<int32> rect = mFullRedraw && !mInvalidRect.IsValid() ? Frame() : mInvalidRect;
    if (rect.IsValid()) {
        for (int32 i = 0; i < kMaxViewers; ++i) {
            if (mViewers[i].used) {
                ComposeLayers(rect, i);
            }
            YKDocumentView* window = mViewers[i].window;
            if (mViewers[i].used && window != nullptr && window->Lock()) {
                window->InvalidateRect(rect);
                window->Unlock();
            }
        }
    }
    PostSplit();
    if (!mModeChanges.IsEmpty()) {
        YKMessage changed('oMDI');
        for (int32 i = 0; i < mModeChanges.CountItems(); ++i) {
            changed.AddPointer("YKObjectLayer", mModeChanges.ItemAt(i));
        }
        // Emptied before the host hears of it, so a bracket it opens starts clean.
        mModeChanges.MakeEmpty();
        BroadcastMessage(&changed);
    }
    BroadcastMessage('dBUO');
}

void YKViewerLayer::InvalidateLayer(YKRect<int32> rect, bool full, YKLayer*) {
    Invalidate(rect, full, false);
}

void YKViewerLayer::InvalidateSelection(YKRect<int32> rect, bool full, YKLayer*) {
    Invalidate(rect, full, true);
}

void YKViewerLayer::Invalidate(YKRect<int32> rect, bool full, bool selection) {
    YKAutolock guard(mHierarchyLock);
    // Outside a bracket the change is a step of its own, with the same notifications and
    // split calls as any other.
    const bool alone = mDepth == 0;
    if (alone) {
        BeginInvalidate();
    }
    (selection ? mSelectionChanged : mContentsChanged) = true;
    mInvalidRect = mInvalidRect | rect;
    mFullRedraw = mFullRedraw || full;
    if (alone) {
        EndInvalidate();
    }
}

void YKViewerLayer::SendObjectModeNotification(YKLayer* object) {
    YKAutolock guard(mHierarchyLock);
    if (mDepth > 0) {
        if (!mModeChanges.HasItem(object)) {
            mModeChanges.AddItem(object);
        }
        return;
    }
    YKMessage changed('oMDI');
    changed.AddPointer("YKObjectLayer", object);
    BroadcastMessage(&changed);
}

void YKViewerLayer::ForgetObject(YKLayer* object) {
    YKAutolock guard(mHierarchyLock);
    mModeChanges.RemoveItem(mModeChanges.IndexOf(object));
}

// --- Frames ---

void YKViewerLayer::SwitchToFrame(int32 previousFrame) {
    YKAutolock guard(mHierarchyLock);
    mPreviousFrame = previousFrame;
    BeginInvalidate();
    // Layers answer view-dependent questions (hidden in this view?) for the current view, so
    // each view gets its own pass over the tree.
    const int32 current = mCurrentViewer;
    bool switched = false;
    for (int32 i = 0; i < kMaxViewers; ++i) {
        if (mViewers[i].used) {
            mCurrentViewer = i;
            SwitchFrame();
            switched = true;
        }
    }
    mCurrentViewer = current;
    // Without a view (a headless export) the tree still has to reach the frame once.
    if (!switched) {
        SwitchFrame();
    }
    EndInvalidate();
}

// --- Tree services ---

bool YKViewerLayer::SendMessage(YKLayer* layer, YKMessage* message) {
    if (layer == nullptr || message == nullptr || !LockHirarchy()) {
        return false;
    }
    const bool inTree = layer == this || HirarchyHasItem(layer, this);
    if (inTree) {
        layer->MessageReceived(message);
    }
    UnlockHirarchy();
    return inTree;
}

YKLayer* YKViewerLayer::UnarchiveObject(const YKMessage* archive, YKEnvelopManager* manager) const {
    return YKLayerFactory::Default().Build(archive, manager);
}

int32 YKViewerLayer::GetUniqueID() {
    return mHost != nullptr ? mHost->GetUniqueID() : 0;
}

void YKViewerLayer::AddUndoItem(YKUndoItem* item, bool terminator) {
    YKUndoManager* manager = mHost != nullptr ? mHost->UndoManager() : nullptr;
    if (manager != nullptr) {
        manager->AddUndoItem(item, terminator);
    } else {
        delete item;
    }
}
