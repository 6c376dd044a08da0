#pragma once

// YKViewerLayer: the root of a document's layer tree. It holds the hierarchy lock that guards
// the whole tree, keeps up to eight views of the document, collects the invalidations of one
// editing step into a bracket so that the step redraws each view once, and answers the
// questions the layers pass up (envelope manager, current view, ids, undo) through its host,
// the document. Its children are the user layers.
//
// An editing step: LockHirarchy(), BeginInvalidate(), changes, EndInvalidate(),
// UnlockHirarchy(). Brackets nest; only the outermost EndInvalidate redraws and notifies.
//
// Each view has a 32-bit composition bitmap covering the canvas, into which the user layers are
// composed again at the end of every outermost bracket. The document-wide editing operations on
// user layers and objects (new, delete, duplicate, move, flatten, merge, cut, copy, paste,
// select) are steps of their own that leave undo records with the document.

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "YKLayer.h"
#include "YKLocker.h"

class YKBitmap;
class YKDocumentView;
class YKDrawBitmap;
class YKObjectLayer;
class YKRaster;
class YKUndoItem;
class YKUserLayer;
class YKViewerLayerHost;

// What AlignObjects does to the selected objects' boxes; the bits combine.
enum yk_align_action : int32 {
    kAlignLeft = 0x1,
    kAlignRight = 0x2,
    kAlignTop = 0x4,
    kAlignBottom = 0x8,
    kCenterHorizontal = 0x10,
    kCenterVertical = 0x20,
    kCenterAll = 0x30,
    kEnlargeHorizontal = 0x40,
    kEnlargeVertical = 0x80,
    kEnlargeAll = 0xC0,
    kPackHorizontal = 0x100,
    kPackVertical = 0x200,
};

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
    // rectangle; `full` with no rectangle at all asks for a redraw of the whole frame. Outside
    // a bracket the step is a bracket of its own and the views are redrawn at once.
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

    // Reserves the first free slot with an empty composition bitmap over the canvas and returns
    // its index; -1 when all are taken.
    int32 CreateViewer();
    // Stores the window of a slot (reserving it), makes it the current view and redraws the
    // whole frame in it. False for an index outside the slots.
    bool SetWindow(YKDocumentView* window, int32 index);
    // Frees the slot and its composition; false when it was free or outside the slots.
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
    // At the outermost level: every view is composed again and its window redrawn in the
    // invalid rectangle (or the whole frame), PostSplit() runs on the tree, one 'oMDI' lists the
    // objects whose mode changed, and 'dBUO' goes to the host.
    void EndInvalidate();
    // Inside a bracket `object` is noted once for the closing 'oMDI'; outside one it is
    // announced at once.
    void SendObjectModeNotification(YKLayer* object);
    // `object` leaves the tree: the bracket's closing notification no longer names it.
    void ForgetObject(YKLayer* object);
    // The union of the rectangles invalidated in the current (or last) bracket.
    YKRect<int32> InvalidRect() const { return mInvalidRect; }
    // What the current (or last) bracket changed.
    bool ContentsChanged() const { return mContentsChanged; }
    bool SelectionChanged() const { return mSelectionChanged; }

    // --- Composition

    // The canvas rectangle, in document coordinates, that every composition covers.
    YKRect<int32> CanvasFrame() const;
    // Resizes every composition to `frame` and composes each again.
    void SetCanvasFrame(YKRect<int32> frame);
    // The live composition of a view; null for a free slot. Read it under the hierarchy lock.
    YKBitmap* Bitmap(int32 index) const;
    // Erases `rect` (clipped to the canvas) in the view's composition and composes the user
    // layers into it, with `view` the current view meanwhile.
    void ComposeLayers(YKRect<int32> rect, int32 view);
    // The user layers not hidden in the current view, bottom first, into `target`, which
    // must be transparent within `rect` (the first layer then copies what it prepared).
    void ComposeInto(YKBitmap* target, YKRect<int32> rect);
    // The picture an export writes: `rect` of the canvas composed onto transparent as a view's
    // composition is, then laid over `background` as a window shows it (YKDrawBitmap::DrawIn),
    // so that the two cannot differ. A transparent background lays nothing under. Owned by the
    // caller; null when `rect` misses the canvas.
    YKRaster* RenderPicture(YKRect<int32> rect, uint32 background);
    // In one step, every object layer previews as `mode` (0 full, 1 outline, 2 wireframe).
    void SetPreviewMode(int32 mode);
    // A copy of the view's composition, owned by the caller, so that an export can go on while
    // the view changes; null for a free slot.
    YKBitmap* ExportBitmap(int32 view) const;
    // The view's composition over the whole canvas as a raster owned by the caller; null for a
    // free slot or an empty canvas.
    YKRaster* ExportRaster(int32 view) const;

    // --- Frames

    // Redraws the tree for the frame the envelope manager now holds: in one bracket, each view
    // in turn (the current view alone when none is open) becomes current and the tree switches
    // frame. `previousFrame` is the frame shown
    // until now (PreviousFrame()); whoever changes the frame moves the envelope manager first.
    void SwitchToFrame(int32 previousFrame);
    // Runs `edit`, a frame edit of the envelope manager, as one editing step and one undo
    // action named `name`, and redraws what it changed at the frame shown. False when nothing
    // changed or the tree could not be locked.
    bool EditFrames(const char* name, const std::function<void(YKEnvelopManager&)>& edit);
    // Redraws after the key frames of `owners` (sorted ids) changed: they render again at the
    // current frame; the rest follows only a move of the current frame from `previousFrame`.
    void RedrawEditedFrame(const std::vector<int32>& owners, int32 previousFrame);

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

    // --- User layers. Each operation is one editing step: under the hierarchy lock, with the
    //     envelope manager's redraws suspended, in one bracket.

    // A new user layer "Layer <n>" just above `after` (at the bottom when `after` is not a
    // user layer of this tree), selected in `view` instead of `after` and made current.
    // Undoable; 'lBLT'.
    YKUserLayer* NewLayer(YKLayer* after, int32 view);
    // Takes the user layer out (the undo record keeps it); the one below it, or else the new
    // bottom one, becomes current and selected in `view`. The last user layer stays. 'lBLT'.
    bool DeleteLayer(YKLayer* layer, int32 view);
    // A copy with new ids everywhere, just above the original, numbered as the next copy of its
    // name; selected in `view` and current. Undoable; 'lBLT'.
    YKUserLayer* DuplicateLayer(YKLayer* layer, int32 view);
    // Moves the user layer at `from` to the place before `to` (0 bottom, CountChildren() the
    // top): to `to - 1` when moving up, to `to` when moving down. Undoable. False when out of
    // range.
    bool MoveLayer(int32 from, int32 to);
    // The same for the objects of a user layer.
    bool MoveObject(YKLayer* userLayer, int32 from, int32 to);
    // Takes the child at `from` out of `parent` and puts it in at `to`, in one step, without an
    // undo record (the moves above record one; their record moves back through this).
    bool PlaceChild(YKLayer* parent, int32 from, int32 to);

    // --- Objects

    // Takes an object (with its dedicated parent) out of the tree: kept by an undo record when
    // `undoable`, else destroyed. 'oREM' with "index", then 'lUTN'.
    bool DeleteObject(YKLayer* object, bool undoable);
    // Deletes all of them as one action; false when none was deleted.
    bool DeleteObject(const std::vector<YKLayer*>& objects, bool undoable);
    // The objects selected in `view`, in every user layer.
    bool DeleteSelectedObject(int32 view);
    // A copy with new ids on top of the object's parent, numbered as the next copy of its name,
    // and selected in the current view in place of it. Undoable; 'oBLT'.
    YKLayer* DuplicateObject(YKLayer* object);
    // Each object selected in `view`; false when there was none.
    bool DuplicateSelectedObject(int32 view);
    // Every object of `userLayer` (the current one when null) selected in `view`.
    void SelectAll(int32 view, YKLayer* userLayer);
    // Every object of the tree unselected in `view`.
    void DeselectAll(int32 view);
    // The objects selected in `view` in the current user layer, each archived and flattened
    // onto the clipboard as "image/x-gravik-vector-clip"; false when none is selected.
    bool Copy(int32 view);
    // Copy, then delete the copied objects (undoable).
    bool Cut(int32 view);
    // Every vector clip of the clipboard rebuilt with new ids, added to the current user layer
    // and selected in `view`; with a `point`, the clips' common box is centred on it. Undoable;
    // 'oADD' with "Object" for each. False when the clipboard holds no clip.
    bool Paste(int32 view, std::optional<YKPoint<double>> point);

    // --- Flatten and merge. The concerned user layers: the given one alone, it and the one
    //     above or below, it and all above or below, all, or all not hidden in the current
    //     view. Each is one undoable step announced with 'lBLT'; the result becomes current.

    enum class LayerRange { kLayer, kUp, kDown, kToTop, kToBottom, kImage, kVisible };
    // The concerned layers as they show now, rendered over the canvas into one bitmap object
    // in a new user layer ("flattened layer", or "Flattened Image" for all and visible) in their
    // place. Null when there is nothing to flatten (no neighbour in that direction).
    YKUserLayer* FlattenLayer(YKLayer* layer, LayerRange range = LayerRange::kLayer);
    YKUserLayer* FlattenLayerUp(YKLayer* layer) { return FlattenLayer(layer, LayerRange::kUp); }
    YKUserLayer* FlattenLayerDown(YKLayer* layer) { return FlattenLayer(layer, LayerRange::kDown); }
    YKUserLayer* FlattenLayerToTop(YKLayer* layer) {
        return FlattenLayer(layer, LayerRange::kToTop);
    }
    YKUserLayer* FlattenLayerToBottom(YKLayer* layer) {
        return FlattenLayer(layer, LayerRange::kToBottom);
    }
    YKUserLayer* FlattenImage() { return FlattenLayer(nullptr, LayerRange::kImage); }
    YKUserLayer* FlattenVisible() { return FlattenLayer(nullptr, LayerRange::kVisible); }
    // The concerned layers (at least two) replaced by one user layer that holds all their
    // objects, bottom first, named and set up like the lowest of them. The objects keep their
    // ids; the layers' own opacity and merge method, other than the lowest's, are not carried
    // over. Null when fewer than two layers are concerned or an object cannot be rebuilt.
    YKUserLayer* MergeLayer(YKLayer* layer, LayerRange range);
    YKUserLayer* MergeLayerUp(YKLayer* layer) { return MergeLayer(layer, LayerRange::kUp); }
    YKUserLayer* MergeLayerDown(YKLayer* layer) { return MergeLayer(layer, LayerRange::kDown); }
    YKUserLayer* MergeLayerToTop(YKLayer* layer) { return MergeLayer(layer, LayerRange::kToTop); }
    YKUserLayer* MergeLayerToBottom(YKLayer* layer) {
        return MergeLayer(layer, LayerRange::kToBottom);
    }
    YKUserLayer* MergeVisible() { return MergeLayer(nullptr, LayerRange::kVisible); }
    YKUserLayer* MergeImage() { return MergeLayer(nullptr, LayerRange::kImage); }
    // The object (with its dedicated parent and effects) rendered into a bitmap object in its
    // place. Undoable; 'oBLT' with "old" and "new". Null for an object that shows nothing.
    YKLayer* FlattenObject(YKLayer* object);

    // Changes `layer` (a user layer, or an object together with its dedicated parent) as one
    // step and one undoable action named `name`: a copy with the same ids takes its place and
    // `change` is run on the copy's counterpart of `layer`, which it may give a dedicated
    // parent. The record keeps the layer itself for undo. When nothing changed the layer is put
    // back and no record made; false then, and when `layer` is not in the tree.
    bool ModifyLayer(YKLayer* layer, const char* name, const std::function<void(YKLayer*)>& change);
    // The same for several layers at once (none inside another), as one undoable action:
    // `change` runs on each copy. False when no layer changed or one is not in the tree.
    bool ModifyLayers(const std::vector<YKLayer*>& layers, const char* name,
                      const std::function<void(YKLayer*)>& change);

    // A layer with the parent and the index it has in the tree.
    struct LayerPlace {
        YKLayer* layer;
        YKLayer* parent;
        int32 index;
    };
    // In one step, takes the `out` layers out of the tree (their indices are those they have
    // now) and puts the `in` layers in (each index is the one it has afterwards). Swapping the
    // two lists undoes the change.
    void ReplaceLayers(const std::vector<LayerPlace>& out, const std::vector<LayerPlace>& in);

    // The object layers selected in `view`, in tree order, under `within` (the whole tree
    // when null).
    std::vector<YKLayer*> SelectedObjects(int32 view, YKLayer* within = nullptr);

    // --- Bitmap selection. A mask over the canvas: a 32-bit bitmap whose alpha marks the
    //     selected pixels. The Create... operations build masks (owned by the caller, null when
    //     they select nothing, always clipped to the canvas) that the tools feather and then add
    //     or remove. Every change of the document's selection is invalidated as a selection
    //     change, so each view redraws its outline.

    // The document's selection; null when nothing is selected.
    YKBitmap* GetSelection() const { return mSelection.get(); }
    // Unites `mask` with the selection: each pixel keeps the larger alpha.
    void AddSelection(YKBitmap* mask);
    // Takes `mask` away: each alpha is scaled by what the mask leaves unselected.
    void RemoveSelection(YKBitmap* mask);
    void EraseSelection();
    // Makes `mask` the selection and invalidates what the old and new ones cover.
    void ReplaceSelection(std::unique_ptr<YKBitmap> mask);
    // Moves the selection while it is dragged; it is cut back to the canvas by the next change.
    void OffSetSelectionBy(YKPoint<int32> offset);
    // Whether the selection changed since `view` last asked; asking clears it for that view.
    bool HasSelectionChanged(int32 view);
    // The rectangle being dragged by a selection tool, or of the last selection.
    void SetSelectionRectangle(YKRect<int32> rect);
    YKRect<int32> SelectionRectangle() const { return mSelectionRect; }
    // The selection tool in use; -1 when none.
    void SetTemporarySelectionType(int32 type) { mTemporarySelectionType = type; }
    int32 TemporarySelectionType() const { return mTemporarySelectionType; }
    // The lasso being drawn.
    void AddFreeHandSelectionPoint(YKPoint<double> point);
    void DeleteFreeHandSelectionPoints();
    int32 FreeHandSelectionPointCount() const { return mFreeHandPoints.CountItems(); }
    const YKList<YKPoint<double>>& FreeHandSelectionPoints() const { return mFreeHandPoints; }
    // Rectangles may be given corner to corner in any order. Coordinates far beyond the canvas
    // are pulled in to a margin around it.
    std::unique_ptr<YKBitmap> CreateRectangleSelection(YKRect<int32> rect) const;
    // The ellipse touching the outer edges of the pixels of `rect`; without anti-aliasing a
    // pixel is taken when at least half of it is covered.
    std::unique_ptr<YKBitmap> CreateEllipsisSelection(YKRect<int32> rect, bool antialias) const;
    // The closed lasso through the free-hand points; `rect` only tells the views what the drag
    // covered and does not clip.
    std::unique_ptr<YKBitmap> CreateFreehandSelection(YKRect<int32> rect, bool antialias) const;
    // The area of similar colour around `point` in the current view's composition: the pixels
    // joined to it by their sides whose channels, alpha included, each lie within `tolerance`
    // (0..255) of the point's.
    std::unique_ptr<YKBitmap> CreateMagicWandSelection(YKPoint<int32> point, int32 tolerance);
    // The selection's, respectively `mask`'s, alpha blurred over `radius` pixels (capped at
    // 255): the edge softens while the selected amount stays about the same.
    void FeatherSelection(int32 radius);
    void FeatherSelection(std::unique_ptr<YKBitmap>& mask, int32 radius) const;
    // Replaces the selection by the alpha of the objects selected in the current view in the
    // current user layer, respectively of that whole layer as it shows. False, with the
    // selection unchanged, when there is nothing to take it from.
    bool ConvertObjectToSelection();
    bool ConvertLayerToSelection();
    // The selection's frame within the view's composition; none for a free slot or no
    // selection.
    YKRect<int32> SelectionFrame(int32 view) const;
    // Each bitmap object selected in `view` in the current user layer keeps only its selected
    // pixels, cut down to what remains (YKBitmapLayer::CropToSelection). One undoable action;
    // false when no object changed.
    bool CropSelectedObject(int32 view);

    // --- Alignment

    // Lines up, centres, enlarges or packs the unlocked objects of the current user layer
    // selected in `view`, by their bounding boxes against the union of all the selected ones'
    // (locked ones widen it). One step; the layer panel hears 'lUTN'. No undo record of its
    // own: the placement changes record what they record.
    void AlignObjects(int32 view, int32 action);

private:
    void Invalidate(YKRect<int32> rect, bool full, bool selection);
    static bool IsSlot(int32 index) { return index >= 0 && index < kMaxViewers; }
    // An empty 32-bit bitmap whose frame is the canvas and stays so, able to show itself over
    // a background.
    std::unique_ptr<YKDrawBitmap> NewComposition() const;
    // PlaceChild with its undo record.
    bool RecordedMove(YKLayer* parent, int32 from, int32 to);
    // `layer` as a user layer of this tree, or null.
    YKUserLayer* AsUserLayer(YKLayer* layer) const;
    // Makes `layer` current and the only user layer selected in `view`.
    void MakeCurrent(YKUserLayer* layer, int32 view);
    // A detached copy of `layer`'s tree, with new ids everywhere or the same ones.
    YKLayer* CopyOf(const YKLayer* layer, bool newIDs);
    // The tree rebuilt from `archive`, after every "YKL:ID" in it was renewed when asked.
    YKLayer* Rebuild(YKMessage* archive, bool newIDs);
    // The user layers `range` concerns around `layer`, bottom first; empty when it concerns
    // none.
    std::vector<YKUserLayer*> ConcernedLayers(YKLayer* layer, LayerRange range);
    // The placed layers of the viewer that `layers` are.
    std::vector<LayerPlace> PlacesOf(const std::vector<YKUserLayer*>& layers);
    // The layer that stands for `object` in its user layer: its dedicated parent, if any.
    static YKLayer* Placed(YKLayer* object);
    // Sets the mode of `object` in `view`.
    void SetModeIn(YKObjectLayer* object, int32 mode, int32 view);
    // Copies of `objects` (with their dedicated parents), selected in `view` in place of the
    // originals; one undo action.
    std::vector<YKLayer*> DuplicateObjects(const std::vector<YKLayer*>& objects, int32 view);

    // Per view: the window and the bitmap the layers are composed into for it.
    struct Viewer {
        bool used = false;
        YKDocumentView* window = nullptr;
        std::unique_ptr<YKBitmap> composition;
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
    YKRect<int32> mCanvas = YKRect<int32>::None();
    std::unique_ptr<YKBitmap> mSelection;
    YKRect<int32> mSelectionRect = YKRect<int32>::None();
    int32 mTemporarySelectionType = -1;
    YKList<YKPoint<double>> mFreeHandPoints{16};
    // Per view: the selection changed since the view last asked.
    bool mSelectionUnseen[kMaxViewers] = {};
};
