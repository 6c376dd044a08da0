#pragma once

// YKLayer: a node of a document's layer tree. It has an id, a parent, an ordered list of
// owned children (index 0 is the bottom, the last index the top) and hidden and locked flags.
// It archives itself and its children into nested messages; it passes invalidation,
// notifications and the hierarchy lock up to the root; and it passes frame changes, hit tests
// and composition down to its children. The layer kinds derive from it and override the
// virtual operations; the root (the viewer layer) answers the questions passed up.
//
// The virtual operations are declared in a fixed order that the kinds rely on; add new ones
// only in the kinds.

#include "YKList.h"
#include "YKPoint.h"
#include "YKRect.h"
#include "yk_types.h"

class YKBitmap;
class YKEnvelopManager;
class YKMessage;

class YKLayer {
public:
    // The source of an invalidation that stands for a layer no longer in the tree (removed,
    // or changed as a whole by a frame switch). Receivers compare it against null and real
    // layers but never dereference it.
    static YKLayer* const kRemovedMarker;

    // Not touched, detached, without children, neither hidden nor locked.
    explicit YKLayer(int32 id);
    // Reads "YKL:ID", "YKL:hidden" and "YKL:locked" (missing ones leave 0 and false). The
    // children under "YKL:Child" are rebuilt by the document's loader, not here.
    explicit YKLayer(const YKMessage* archive);
    YKLayer(const YKLayer&) = delete;

    // --- Virtual operations (this order is the slot order kinds depend on)

    // Adds "Class" = "YKLayer", "YKL:ID", "YKL:hidden", "YKL:locked", then one "YKL:Child"
    // message per child, bottom first, each the child's Archive with the same `deep`. A kind
    // calls its base first, then replaces "Class" (SetArchiveClass) and adds its own fields.
    virtual void Archive(YKMessage* message, bool deep) const;
    // Removes the children from the last to the first and destroys each.
    virtual ~YKLayer();
    // True only for "YKLayer" (false for null). Each kind answers true for its own class name
    // and otherwise returns its base class's InheritsFrom(className).
    virtual bool InheritsFrom(const char* className) const;
    // Passed to the parent with `source`, or this layer when `source` is null. The meaning of
    // `flag` is the root's business.
    virtual void InvalidateSelection(YKRect<int32> rect, bool flag, YKLayer* source);
    virtual void InvalidateTopLayer(YKRect<int32> rect, bool flag, YKLayer* source);
    // Touches this layer, then passes the rectangle up like InvalidateSelection.
    virtual void InvalidateLayer(YKRect<int32> rect, bool flag, YKLayer* source);
    // The touched flag marks a layer whose rendering must be redone.
    virtual void TouchLayer(bool touched);
    virtual bool LayerTouched() const;
    // Each child, bottom first, whose Frame() meets `rect` composes itself into `target`.
    virtual void ComposeLayer(YKBitmap* target, YKRect<int32> rect);
    // Every child switches, then Frame() is invalidated with kRemovedMarker as the source.
    virtual void SwitchFrame();
    // Passed to the parent; false at the root. The result tells whether anything changed.
    virtual bool SetFiltersOff(bool off);
    virtual bool SetFiltersOn();
    // The own hidden flag; not inherited from the parent.
    virtual void Hide(bool hidden);
    virtual bool IsHidden() const;
    // A layer is locked when its own flag is set or its parent is locked.
    virtual void Lock(bool locked);
    virtual bool IsLocked() const;
    // The own locked flag alone.
    bool IsLockedItself() const { return mLocked; }
    // Asked of the parent; null at the root unless the root answers.
    virtual YKEnvelopManager* EnvelopManager() const;
    // Asked of the parent; 0 at the root unless the root answers.
    virtual int32 ViewerID() const;
    // Asked of the parent; 1 at the root unless the root answers.
    virtual int32 PreviousFrame() const;
    // Hit tests, top child first: each child's destination is asked, so `hits` gets the
    // topmost layer under the point first.
    virtual void MousePoint(YKPoint<double> point, YKList<YKLayer*>* hits);
    virtual void MouseRectangle(YKRect<double> rect, YKList<YKLayer*>* hits);
    // Events from the view; the base handles none of them and returns false.
    virtual bool MouseDown(YKPoint<double> point, uint32 buttons, uint32 clicks, int32 tool);
    virtual bool MouseMoved(YKPoint<double> point, uint32 buttons, int32 tool);
    virtual bool MouseHold(YKPoint<double> point, uint32 buttons, int32 tool);
    virtual bool MouseUp(YKPoint<double> point, int32 tool);
    virtual bool KeyDown(const char* bytes, uint32 count, uint32 modifiers, int32 tool);
    virtual bool KeyUp(const char* bytes, uint32 count, uint32 modifiers, int32 tool);
    // The layer that receives the event in this layer's place; this layer in the base.
    virtual YKLayer* MousePointDestination();
    virtual YKLayer* MouseRectangleDestination();
    virtual YKLayer* MouseDownDestination();
    virtual YKLayer* MouseMovedDestination();
    virtual YKLayer* MouseHoldDestination();
    virtual YKLayer* MouseUpDestination();
    virtual YKLayer* KeyDownDestination();
    virtual YKLayer* KeyUpDestination();
    // The union of the children's non-empty frames; YKRect::None() when there is none.
    virtual YKRect<int32> Frame() const;
    // The same over the children's RealFrame().
    virtual YKRect<int32> RealFrame() const;
    // The lock of the whole tree, held by the root. Passed to the parent; a root without a
    // lock of its own succeeds at once.
    virtual bool LockHirarchy();
    virtual void UnlockHirarchy();
    // Appends `child` (which must be detached) at the top.
    virtual bool AddChild(YKLayer* child, bool invalidate);
    // Inserts `child` (which must be detached) at `index`, 0 to CountChildren(); false and no
    // change outside that or when the hierarchy lock cannot be taken. Tells SetObjectAdded()
    // when the child became the top one, invalidates its frame with the child as the source
    // when asked, then calls the child's SelfAdded().
    virtual bool AddChild(YKLayer* child, int32 index, bool invalidate);
    // Takes the child out (SelfRemoved(), detached) and hands it to the caller, who owns it;
    // when asked, its frame is invalidated with kRemovedMarker as the source. Null for an
    // index out of range, a layer that is not a child, or when the lock cannot be taken.
    virtual YKLayer* RemoveChild(int32 index, bool invalidate);
    virtual YKLayer* RemoveChild(YKLayer* child, bool invalidate);
    // Told to a layer and, through the base, to all its descendants as it leaves or joins a
    // tree.
    virtual void SelfRemoved();
    virtual void SelfAdded();
    virtual void MessageReceived(YKMessage* message);
    // The root of the tree (the viewer layer answers itself); asked of the parent, null at a
    // root that does not answer.
    virtual YKLayer* TopParent();
    // The user layer this layer belongs to (a user layer answers itself); null otherwise.
    virtual YKLayer* UserLayer();
    virtual bool IsUserLayerSelected(int32 viewer) const;
    virtual bool IsUserLayerHidden(int32 viewer) const;
    // Around each recomposition; passed to every child.
    virtual void PreSplit();
    virtual void PostSplit();
    // The size of the selection handles at the view's zoom; 0.0 at a root that does not answer.
    virtual double KnobSize() const;
    // Tells the ancestors that a layer was put on top of a child list.
    virtual void SetObjectAdded();
    // A new, detached copy of this layer with copies of its children; null in the base.
    virtual YKLayer* Replicate() const;
    // Passed up the parents to the root, which hands it to the document.
    virtual void ForwardMessage(YKLayer* source, YKMessage* message);

    // --- Tree access
    int32 ID() const { return mID; }
    void SetID(int32 id) { mID = id; }
    YKLayer* Parent() const { return mParent; }
    // Sets the parent pointer only; AddChild and RemoveChild keep it in step with the lists.
    void SetParent(YKLayer* parent) { mParent = parent; }
    const YKList<YKLayer*>* Children() const { return &mChildren; }
    int32 CountChildren() const { return mChildren.CountItems(); }
    // Null out of range.
    YKLayer* ChildAt(int32 index) const { return mChildren.ItemAt(index); }
    // -1 when `layer` is not a child.
    int32 IndexOfChild(const YKLayer* layer) const;
    // This layer if its id matches, else the first match depth first, children in order.
    YKLayer* LayerByID(int32 id);

    // --- Walks in pre-order (a layer, then its children bottom first) over the subtree of
    //     `root`; a null root walks up to the top of the tree.

    // The next layer after this one, or null when the walk would leave `root`.
    YKLayer* IterateHirarchyToNext(const YKLayer* root);
    // The next layer that inherits from `className`; a null class name takes one step.
    YKLayer* IterateHirarchyToNext(const char* className, const YKLayer* root);
    // This layer (item -1, whatever its class) plus every later match of the walk.
    int32 CountHirarchyItems(const char* className, const YKLayer* root);
    // Item -1 is this layer, 0 the first later match, and so on; null past the end.
    YKLayer* HirarchyItemAt(int32 index, const char* className, const YKLayer* root);
    // Whether `layer` comes later in the walk.
    bool HirarchyHasItem(const YKLayer* layer, const YKLayer* root);

    // Whether this layer's envelopes (by id) or any descendant's changed between
    // PreviousFrame() and the current frame.
    bool ChangeWithFrame();
    // Removes and destroys every descendant; with `invalidate`, the parent (if any)
    // invalidates the frame this layer had.
    void EmptyLayer(bool invalidate);
    // Under the hierarchy lock, ForwardMessage(this, message); false if the lock could not be
    // taken.
    bool BroadcastMessage(YKMessage* message);
    // The same with a message of that what code and no fields.
    bool BroadcastMessage(uint32 code);

    // Destroys this layer's children, then appends a Replicate() of each of `other`'s (kinds
    // whose Replicate() is null are skipped). Id and flags stay as they are.
    YKLayer& operator=(const YKLayer& other);

protected:
    // Sets the archive's "Class" to `className`, adding it when absent; kinds call it after
    // their base's Archive.
    static void SetArchiveClass(YKMessage* message, const char* className);

private:
    // Takes the child at `index` out of the list and detaches it; the caller holds the lock.
    YKLayer* DetachChildAt(int32 index);

    bool mTouched = false;
    int32 mID = 0;
    YKList<YKLayer*> mChildren{16, false};
    YKLayer* mParent = nullptr;
    bool mHidden = false;
    bool mLocked = false;
};
