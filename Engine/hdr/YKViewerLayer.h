#pragma once

// YKViewerLayer: the root of a document's layer tree. It holds the hierarchy lock that guards
// the whole tree, keeps up to eight views of the document, collects the invalidations of one
// editing step into a bracket so that the step redraws each view once, and answers the
// questions the layers pass up (envelope manager, current view, ids, undo) through its host,
// the document. Its children are the user layers.
//
// An editing step: LockHirarchy(), BeginInvalidate(), changes, EndInvalidate(),
// UnlockHirarchy(). Brackets nest; only the outermost EndInvalidate redraws and notifies.

#include <atomic>

#include "YKLayer.h"
#include "YKLocker.h"

class YKDocumentView;
class YKUndoItem;
class YKViewerLayerHost;

class YKViewerLayer : public YKLayer {
public:
    static constexpr int32 kMaxViewers = 8;

    // `host` (the owning document) must outlive this layer; null leaves every question to
    // the host unanswered (no manager, id 0, notifications and undo records dropped).
    explicit YKViewerLayer(YKViewerLayerHost* host, int32 id = 0);
    // Reads the base fields; the user layers are rebuilt by the document's loader.
    YKViewerLayer(const YKMessage* archive, YKViewerLayerHost* host);
    // Destroys the tree while still a viewer layer, so that leaving layers reach the envelope
    // manager and the host.
    ~YKViewerLayer() override;

    // --- Overrides of the tree base

    // The base fields with "Class" = "YKViewerLayer"; the user layers as "YKL:Child".
    void Archive(YKMessage* message, bool deep) const override;
    bool InheritsFrom(const char* className) const override;
    // Marks the contents changed. Inside a bracket a non-empty `rect` joins the invalid
    // rectangle and `full` asks for a redraw of the whole frame; outside one the step is a
    // bracket of its own and the views are redrawn at once.
    void InvalidateLayer(YKRect<int32> rect, bool full, YKLayer* source) override;
    // The same, marking the selection changed.
    void InvalidateSelection(YKRect<int32> rect, bool full, YKLayer* source) override;
    YKEnvelopManager* EnvelopManager() const override;
    // The current view: the one for which view-dependent questions are answered.
    int32 ViewerID() const override;
    // The frame shown before the last SwitchToFrame; -1 before any switch, which makes the
    // layers treat everything as changed.
    int32 PreviousFrame() const override;
    // Waits for the lock of the whole tree; re-entrant.
    bool LockHirarchy() override;
    void UnlockHirarchy() override;
    using YKLayer::RemoveChild;
    // Forgets the current user layer when it is the one taken out.
    YKLayer* RemoveChild(int32 index, bool invalidate) override;
    YKLayer* TopParent() override;
    // 0 until the windows can report their zoom.
    double KnobSize() const override;
    // Hands the message to the host.
    void ForwardMessage(YKLayer* source, YKMessage* message) override;

    // Gives up after `microseconds` (0 only tries); whether the lock was taken.
    bool LockHirarchyWithTimeout(bigtime_t microseconds);

    // --- Views

    // Reserves the first free slot and returns its index; -1 when all are taken.
    int32 CreateViewer();
    // Stores the window of a slot (reserving it), makes it the current view and redraws the
    // whole frame in it. False for an index outside the slots.
    bool SetWindow(YKDocumentView* window, int32 index);
    // Frees the slot; false when it was free or outside the slots.
    bool DeleteViewer(int32 index);
    int32 CountViewer() const;
    // Indexes outside the slots are ignored.
    void SetViewerID(int32 index);
    // Null for a free slot, one without a window, or an index outside the slots.
    YKDocumentView* WindowAt(int32 index) const;

    // --- Invalidation brackets

    // At the outermost level: 'dBUS' to the host, PreSplit() on the tree, and an empty invalid
    // rectangle, redraw flags and list of objects whose mode changed.
    void BeginInvalidate();
    // At the outermost level: every view is redrawn in the invalid rectangle (or the whole
    // frame), PostSplit() runs on the tree, one 'oMDI' lists the objects whose mode changed,
    // and 'dBUO' goes to the host.
    void EndInvalidate();
    // Inside a bracket `object` is noted once for the closing 'oMDI'; outside one it is
    // announced at once.
    void SendObjectModeNotification(YKLayer* object);
    // The union of the rectangles invalidated in the current (or last) bracket.
    YKRect<int32> InvalidRect() const { return mInvalidRect; }
    // What the current (or last) bracket changed.
    bool ContentsChanged() const { return mContentsChanged; }
    bool SelectionChanged() const { return mSelectionChanged; }

    // --- Frames

    // Redraws the tree for the frame the envelope manager now holds: in one bracket, each view
    // in turn becomes current and the tree switches frame. `previousFrame` is the frame shown
    // until now (PreviousFrame()); whoever changes the frame moves the envelope manager first.
    void SwitchToFrame(int32 previousFrame);

    // --- Tree services

    // Under the lock: delivers `message` to `layer` when it belongs to this tree.
    bool SendMessage(YKLayer* layer, YKMessage* message);
    // A detached layer built from its archive by its class name; null when no kind claims it.
    YKLayer* UnarchiveObject(const YKMessage* archive, YKEnvelopManager* manager) const;
    // The document's next unique id; 0 without a host.
    int32 GetUniqueID();
    // Hands the record to the document's undo manager, which owns it from then on; without
    // one the record is destroyed.
    void AddUndoItem(YKUndoItem* item, bool terminator);

    // The user layer that new objects go into; not owned.
    YKLayer* CurrentUserLayer() const { return mCurrentUserLayer; }
    void SetCurrentUserLayer(YKLayer* layer) { mCurrentUserLayer = layer; }

    YKViewerLayerHost* Host() const { return mHost; }

private:
    void Invalidate(YKRect<int32> rect, bool full, bool selection);
    static bool IsSlot(int32 index) { return index >= 0 && index < kMaxViewers; }

    // Per view. The composition bitmap and the drawing surfaces join the window here.
    struct Viewer {
        bool used = false;
        YKDocumentView* window = nullptr;
    };

    YKViewerLayerHost* mHost;
    mutable YKLocker mHierarchyLock{"hierarchy"};
    Viewer mViewers[kMaxViewers];
    std::atomic<int32> mCurrentViewer{0};
    int32 mDepth = 0;
    YKRect<int32> mInvalidRect = YKRect<int32>::None();
    bool mFullRedraw = false;
    bool mContentsChanged = false;
    bool mSelectionChanged = false;
    // Objects whose per-view mode changed in the current bracket, each once; not owned.
    YKList<YKLayer*> mModeChanges{16, false};
    int32 mPreviousFrame = -1;
    YKLayer* mCurrentUserLayer = nullptr;
};
