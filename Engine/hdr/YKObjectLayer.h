#pragma once

// YKObjectLayer: one placeable, animatable object of a document. It owns the object's placement
// over time: a position, four corner vectors spanning a free quadrilateral around it, a rotation
// pivot and angle, a visibility switch and an optional opacity, each an envelope registered with
// the document's envelope manager while the layer is in a tree. It also holds the object's name
// and copy number, its merge method, its editing mode per viewer and a preview mode.
//
// It renders nothing itself: subclasses render their content when the placement changes
// (SuggestBoundingBox) and compose it with ComposeRendering. Opacity below 255, the "Filter"
// merge method and raster filters are done by a cache layer the object wraps itself in the
// first time one is asked for: its dedicated parent.

#include <memory>
#include <optional>
#include <string>

#include "YKEffectLayer.h"
#include "YKEnvelopKinds.h"
#include "YKList.h"
#include "YKPoint.h"
#include "YKRect.h"
#include "yk_types.h"

class YKBitmap;
class YKCacheLayer;
class YKGenericFilter;
class YKMessage;
class YKUndoEnvelopModification;
class YKViewerLayer;

class YKObjectLayer : public YKEffectLayer {
public:
    // Editing modes, one slot per viewer.
    enum ObjectModeValue : int32 {
        kModeNotSelected = 1,
        kModeDrawing = 2,
        kModeSelected = 8,
        kModePickable = 16,
        kModeLocalEditing = 32,
        kModeLoaded = 64,
    };
    static constexpr int32 kViewerSlots = 8;
    // The placement of an object: what the envelopes hold at one frame.
    struct Placement {
        YKPoint<double> position;
        YKPoint<double> leftTop;
        YKPoint<double> rightTop;
        YKPoint<double> rightBottom;
        YKPoint<double> leftBottom;
        YKPoint<double> rotationVector;
        double rotation = 0.0;
        bool operator==(const Placement&) const = default;
    };

    // A new object: envelopes named and owned by `id`, an opacity envelope, every mode slot 2
    // (being drawn). `kind` is for the subclasses.
    YKObjectLayer(int32 id, const char* name, int32 kind);
    // A loaded object: every key may be missing (defaults then); every mode slot 64.
    explicit YKObjectLayer(const YKMessage* archive);
    ~YKObjectLayer() override;

    // --- Overrides
    void Archive(YKMessage* message, bool deep) const override;
    bool InheritsFrom(const char* className) const override;
    // Re-renders only when something other than the position changed since the old frame; a
    // pure move reaches SuggestBoundingBox with force false.
    void SwitchFrame() override;
    void Hide(bool hidden) override;
    void Lock(bool locked) override;
    void MousePoint(YKPoint<double> point, YKList<YKLayer*>* hits) override;
    void MouseRectangle(YKRect<double> rect, YKList<YKLayer*>* hits) override;
    // A selected object is dragged: a press on a corner or edge knob resizes it about the
    // opposite one (Shift keeps the proportions), on a rotation knob turns it about its pivot
    // (Shift: by steps of 15 degrees), anywhere else moves it. Moves and holds follow the press
    // until the release.
    bool MouseDown(YKPoint<double> point, uint32 buttons, uint32 clicks, int32 tool) override;
    bool MouseMoved(YKPoint<double> point, uint32 buttons, int32 tool) override;
    bool MouseHold(YKPoint<double> point, uint32 buttons, int32 tool) override;
    bool MouseUp(YKPoint<double> point, int32 tool) override;
    // A selected object is nudged by the arrows (8 units with Shift; with Control they resize
    // it) and turned by 'z' and 'x' (1 degree, 8 with Shift).
    bool KeyDown(const char* bytes, uint32 count, uint32 modifiers, int32 tool) override;
    // Whether KeyDown moves, resizes or turns a selected object with `key`.
    static bool IsPlacementKey(char key);
    YKRect<int32> RealFrame() const override { return Frame(); }
    void SelfAdded() override;
    void SelfRemoved() override;
    void MessageReceived(YKMessage* message) override;
    // A detached YKObjectLayer rebuilt from this layer's archive.
    YKLayer* Replicate() const override;

    // --- Operations the kinds override
    // Starts undo capture on the seven placement envelopes (unless already started and not
    // forced); EndInvalidate appends the records it yields to `records`.
    virtual void BeginInvalidate(bool force);
    virtual void EndInvalidate(YKList<YKUndoEnvelopModification*>* records);
    // The mode of `viewer` (-1: the current viewer).
    virtual int32 ObjectMode(int32 viewer) const;
    virtual void SetObjectMode(int32 mode, bool allViewers);
    virtual void ObjectModeChanged(int32 oldMode);
    virtual bool IsValid() const { return true; }
    virtual const char* Type() const { return "Unknown"; }
    virtual void FinishObject() {}
    virtual void NotifyPreviewModification() {}
    virtual bool SupportsRotation() const { return false; }
    virtual bool SupportsResize() const { return false; }
    virtual bool SupportsTransform() const { return false; }
    virtual bool SupportsLocal() const { return false; }
    // The knobs: for a visible, resizable object that is the only selected one of its user
    // layer, the four turned corners then the four turned edge midpoints.
    virtual void GetKnobTab(YKList<YKPoint<double>>* knobs);
    virtual void GetSelectedKnobTab(YKList<YKPoint<double>>* knobs) { (void)knobs; }
    virtual void GetHandleTab(YKList<YKPoint<double>>* handles) { (void)handles; }
    virtual void GetSelectionAreas(YKList<YKPoint<double>>* areas) { (void)areas; }
    // The turned quadrilateral, for drawing the selection.
    virtual void GetOutline(YKList<YKPoint<double>>* outline) const;
    virtual YKObjectLayer* DuplicateWithNewParameters(const YKMessage* parameters) {
        (void)parameters;
        return nullptr;
    }
    virtual bool WantToContinue(YKPoint<double> point, const char* toolName) {
        (void)point;
        (void)toolName;
        return false;
    }
    virtual YKBitmap* Bitmap() { return nullptr; }
    // The kind's attributes for its option panel ('gOPT') into `message`, and back ('sOPT').
    virtual void FillWithAttributes(YKMessage* message) const { (void)message; }
    virtual void ExtractAttributes(const YKMessage* message) { (void)message; }
    // A kind may adjust the placement to what its content needs.
    virtual void AskBoundingBox(Placement* placement) { (void)placement; }
    // A kind renders or re-lays its content for `placement`; `force` asks for a full re-render,
    // `switching` tells that the call comes from a frame switch.
    virtual void SuggestBoundingBox(const Placement& placement, bool force, bool switching) {
        (void)placement;
        (void)force;
        (void)switching;
    }

    // --- Name
    // Replaces the name (null leaves the layer unnamed), resets the copy number and broadcasts
    // 'oREN'.
    void SetName(const char* name);
    const char* Name() const { return mName.has_value() ? mName->c_str() : nullptr; }
    // "name", "name copy" or "name copy n"; "Unnamed" for no name.
    std::string GetFullName() const;
    void SetCopyNumber(int32 number) { mCopyNumber = number; }
    int32 CopyNumber() const { return mCopyNumber; }

    // --- Merge method: the own one, else the dedicated parent's.
    int32 MergeMethod() const;
    int32 _MergeMethod() const { return mMergeMethod; }

    // --- Placement edits (ignored while locked); each ends by rendering the new placement.
    void ModifyBoundingBox(YKPoint<double> leftTop, YKPoint<double> rightTop,
                           YKPoint<double> rightBottom, YKPoint<double> leftBottom);
    void MoveBoundingBoxBy(YKPoint<double> delta, bool allKeyFrames);
    void MoveBoundingBoxTo(YKPoint<double> point);
    void ResizeBoundingBoxBy(YKPoint<double> delta);
    // The box takes `size` (0 keeps a dimension), its left-top corner staying in place.
    void ResizeBoundingBoxTo(YKPoint<double> size);
    void ModifyRotation(double angle);
    // Keeps the corners on their rays from the centre by the stored ratios; the drag code calls
    // it while Shift is held.
    void ApplyRatio(bool flag);
    void ResetBoundingBox(bool force);
    void UpdateBoundingBox(bool force, bool switching);
    // The envelopes were set back (an undo or redo): the object takes the placement they hold,
    // where ResetBoundingBox would take the one its content last had. With `content` (what
    // ArchiveContent gave at that placement) the content is restored as it was instead of being
    // transformed again, which would not give back the same numbers.
    // Content taken at another frame than the current one is restored at that frame's
    // placement and brought here as a frame switch would.
    void FollowEnvelops(const YKMessage* content = nullptr);
    // The part of the object that placement changes rewrite in place (a vector object's
    // points), with the frame it stands at; false for kinds that derive everything from the
    // envelopes.
    bool ArchiveContent(YKMessage* content) const;
    // The smallest rectangle holding the four turned corners at the current frame.
    YKRect<double> BoundingBox() const;

    // --- Values at the current frame, and at the frame shown before the last switch
    Placement CurrentPlacement() const { return mCurrent; }
    Placement EnvelopPlacement(int32 frame) const;
    YKPoint<double> Center() const;
    YKPoint<double> LeftTopVector() const;
    YKPoint<double> RightTopVector() const;
    YKPoint<double> RightBottomVector() const;
    YKPoint<double> LeftBottomVector() const;
    YKPoint<double> RotationVector() const;
    double Rotation() const;
    YKPoint<double> OldCenter() const;
    YKPoint<double> OldLeftTopVector() const;
    YKPoint<double> OldRightTopVector() const;
    YKPoint<double> OldRightBottomVector() const;
    YKPoint<double> OldLeftBottomVector() const;
    YKPoint<double> OldRotationVector() const;
    double OldRotation() const;

    int32 PreviewMode() const { return mPreviewMode; }
    void SetPreviewMode(int32 mode);
    double Ratio(int32 corner) const { return mRatio[corner & 3]; }

    YKEnvelopBool* VisibilityEnvelop() { return &mVisibility; }
    YKEnvelopYKPointDouble* PositionEnvelop() { return &mPosition; }
    YKEnvelopDouble* RotationEnvelop() { return &mRotation; }
    YKEnvelopInt32* OpacityEnvelop() const { return mOpacity.get(); }

    // --- Dedicated parent
    // The parent when it is a cache layer (not a user layer) whose only child is this layer.
    YKCacheLayer* DedicatedParent() const;
    void ClaimParentsEnvelops();
    void TranslateFiltersBy(YKPoint<int32> offset);
    // The changes the messages 'oOPA', 'oMRG' and 'oFLT' make.
    void ChangeOpacity(int32 opacity);
    void ChangeMergeMethod(int32 method, YKGenericFilter* filter);
    // Undoes the wrapping in a dedicated parent: the object takes the parent's place, merge
    // method and (when `keepOpacity`, else it goes back to having none) opacity envelope, and
    // the parent is destroyed. False without a dedicated parent in a tree.
    bool UnwrapCacheLayer(bool keepOpacity);
    void ApplyFilter(YKGenericFilter* filter);

    // --- Hit testing
    // The knob index under the point (1 for the object's body when no knob), 0 for none.
    virtual int32 GetKnob(YKPoint<double> point);
    // Even-odd rule over the closed polygon.
    static bool PointInPoly(YKPoint<double> point, const YKList<YKPoint<double>>& polygon);
    static bool IsAround(YKPoint<double> a, YKPoint<double> b, double tolerance);
    // Where the rotation knobs of a single selection lie: beyond each turned corner, away from
    // the centre. False when the object shows no knobs.
    bool RotationKnobs(YKPoint<double> (&knobs)[4]);
    bool IsDragging() const { return mDrag.kind != DragKind::kNone; }

    // --- Keyboard modifiers of the event being handled. Mouse events carry none, so whoever
    // passes them on (the event manager) states them here first.
    static constexpr uint32 kShiftKey = 0x1;
    static constexpr uint32 kCommandKey = 0x2;
    static constexpr uint32 kControlKey = 0x4;
    static void SetEventModifiers(uint32 modifiers);
    static uint32 EventModifiers();
    // The four corners at the current frame, turned about the pivot, in document coordinates.
    void TurnedCorners(YKPoint<double> (&corners)[4]) const;

protected:
    // False for an object not yet added to a document (its envelopes hold no key frames); true
    // for one loaded or put back by undo or redo.
    bool HasKeyFrames() const;
    // A kind's part of ArchiveContent.
    virtual bool ArchiveOwnContent(YKMessage* /*content*/) const { return false; }
    // Takes back content from ArchiveContent, drawn at `placement`; false when it cannot.
    virtual bool RestoreContent(const YKMessage* /*content*/, const Placement& /*placement*/) {
        return false;
    }
    // Composes a kind's rendering as every kind does: nothing while hidden; within Frame(),
    // the before effects, the content with the object's merge method, the after effects.
    void ComposeRendering(YKBitmap* destination, YKRect<int32> rect, const YKBitmap* content);
    // Moves a kind's rendering and its effects by `delta` (a pure move).
    void ShiftRendering(YKBitmap* content, YKPoint<int32> delta);
    // An event point the editing can use: false for one that is not finite; finite ones are
    // clamped to the range of document coordinates.
    static bool UsablePoint(YKPoint<double> point, YKPoint<double>* usable);
    // How near a knob or a point a press must fall to grab it.
    double GrabTolerance() const;

private:
    void InitEnvelops();
    void ApplyDefaults();
    void RefillCurrentValues();
    // Writes the working copy into the envelopes where it differs, under the manager's lock.
    void WriteBackCurrentValues();
    void UpdateOnSwitchFrame(bool full);
    // Wraps this layer in a new cache layer with merge method `method` (and `filter` for 19).
    YKCacheLayer* WrapInCacheLayer(int32 method, YKGenericFilter* filter);
    bool IsAddedWithManager() const;
    // The viewer layer at the top of the tree; null outside a document's tree.
    YKViewerLayer* TopViewer();
    YKPoint<double> Turn(YKPoint<double> p) const;
    // The inverse of Turn for the placement `placement`.
    static YKPoint<double> Unturn(const Placement& placement, YKPoint<double> p);

    enum class DragKind { kNone, kMove, kResize, kRotate };
    // A drag in progress: what it does, the knob pressed (0-3 corners, 4-7 edges), the press
    // point and the placement at the press. Each step is computed from the press, so a drag
    // does not drift.
    struct Drag {
        DragKind kind = DragKind::kNone;
        int32 knob = 0;
        YKPoint<double> start;
        Placement from;
    };
    void DragTo(YKPoint<double> point);
    void ResizeTo(YKPoint<double> point);

    std::optional<std::string> mName;
    int32 mCopyNumber = 0;
    int32 mObjectMode[kViewerSlots] = {};
    int32 mPreviewMode = 0;
    YKEnvelopBool mVisibility;
    YKEnvelopDouble mRotation;
    YKEnvelopYKPointDouble mRotationVector;
    YKEnvelopYKPointDouble mLeftTop;
    YKEnvelopYKPointDouble mRightTop;
    YKEnvelopYKPointDouble mRightBottom;
    YKEnvelopYKPointDouble mLeftBottom;
    YKEnvelopYKPointDouble mPosition;
    std::unique_ptr<YKEnvelopInt32> mOpacity;
    double mRatio[4] = {1.0, 1.0, 1.0, 1.0};
    Placement mCurrent;
    int8 mMergeMethod = 0;
    Drag mDrag;
};
