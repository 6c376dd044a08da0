#pragma once

// YKRasterLayer: the object layer holding one vector object (a rectangle, ellipse, path, …),
// rendered through the shared zip sketcher into a bitmap of its own. Every shape tool creates
// one. The layer's placement is the object's box seen as a rectangle of a width and a height
// turned about a pivot: the position is the box's left-top corner, the corner vectors span the
// box, the rotation is the object's global rotation.

#include <memory>
#include <vector>

#include "YKBitmap.h"
#include "YKObjectLayer.h"
#include "YKRect.h"
#include "YKVectorEntity.h"

class YKEnvelopManager;
class YKVectorEntity;

class YKRasterLayer : public YKObjectLayer {
public:
    // Kinds of object, as the tools name them.
    enum TypeID : int32 {
        kLine = 0,
        kBezier = 1,
        kRectangle = 2,
        kEllipse = 3,
        kPolyline = 4,
        kArc = 5,
        kText = 6,
        kFreeHand = 7,
        kRoundRectangle = 8,
        kTextOnBezier = 9,
    };

    static constexpr int32 kTypeCount = 10;
    // The name of a kind as its tool is called ("Rectangle", "Free Hand" …): the layer's Type()
    // and the class it is archived under. "None" outside the kinds.
    static const char* TypeName(int32 typeID);

    // A new layer without an object yet (SetEntity gives it one).
    YKRasterLayer(int32 id, const char* name, int32 typeID);
    // Rebuilt from its archive; without a usable "object_type" the layer holds no object.
    YKRasterLayer(const YKMessage* archive, YKEnvelopManager* manager);
    ~YKRasterLayer() override;

    // Takes `entity` over (its id must be this layer's) and renders it.
    void SetEntity(YKVectorEntity* entity);
    YKVectorEntity* Entity() const { return mEntity.get(); }
    int32 TypeID() const { return mTypeID; }

    // --- Overrides
    // The object layer's fields with "Class" = Type() (the name the loader builds it by; the
    // plain class name for a kind out of range), then the object's own keys, "type_id" and
    // "YKRL:Frame".
    void Archive(YKMessage* message, bool deep) const override;
    bool ArchiveOwnContent(YKMessage* content) const override;
    bool InheritsFrom(const char* className) const override;
    void ComposeLayer(YKBitmap* target, YKRect<int32> rect) override;
    YKRect<int32> Frame() const override;
    YKRect<int32> RealFrame() const override { return Frame(); }
    YKLayer* Replicate() const override;
    void SelfAdded() override;
    const char* Type() const override;
    // False once a drawing ended on a degenerate object (a click without a drag, an empty
    // text): the object is then gone.
    bool IsValid() const override { return mEntity != nullptr; }
    YKBitmap* Bitmap() override { return &mBitmap; }
    void NotifyPreviewModification() override;
    // Ends the drawing where it stands (the tool changes, the text is left), then the creation.
    void FinishObject() override;
    // While the object is being drawn (mode 2) the events draw it: a press creates it, then
    // moves and releases shape it; box shapes, lines and freehand strokes end on the release,
    // polylines and Bézier paths take a point per click and end on a double click or a click
    // on their start; a text takes the keys typed until a click outside it. While its points
    // are edited (mode 32) a press grabs a point or a handle and the drag moves it. In the
    // other modes the object is dragged as any object.
    // While its points are edited the object is picked within reach of its entity, so that the
    // next press goes on editing it rather than ending the edit.
    void MousePoint(YKPoint<double> point, YKList<YKLayer*>* hits) override;
    bool MouseDown(YKPoint<double> point, uint32 buttons, uint32 clicks, int32 tool) override;
    bool MouseMoved(YKPoint<double> point, uint32 buttons, int32 tool) override;
    bool MouseHold(YKPoint<double> point, uint32 buttons, int32 tool) override;
    bool MouseUp(YKPoint<double> point, int32 tool) override;
    bool KeyDown(const char* bytes, uint32 count, uint32 modifiers, int32 tool) override;
    bool KeyUp(const char* bytes, uint32 count, uint32 modifiers, int32 tool) override;
    // An open polyline continues when the polyline tool presses on one of its ends.
    bool WantToContinue(YKPoint<double> point, const char* toolName) override;
    bool SupportsRotation() const override { return true; }
    bool SupportsResize() const override { return true; }
    bool SupportsTransform() const override { return true; }
    bool SupportsLocal() const override { return true; }
    // The object's box as position, corner vectors, pivot and rotation.
    void AskBoundingBox(Placement* placement) override;
    // Brings the object to `placement`: a pure move shifts the rendering, anything else
    // re-renders.
    void SuggestBoundingBox(const Placement& placement, bool force, bool switching) override;
    bool RestoreContent(const YKMessage* content, const Placement& placement) override;

    // --- Own operations
    // Renders the object anew; with `full` (and outside point editing) the effects too.
    void RedrawObject(bool full);
    // The end of the drawing gesture: the object is rendered with its effects and selectable.
    void EndCreation();
    void ResetKnobs();
    void ResetSelection();
    // The attributes the option panels show ("Width", "Cap1", "Cap2", "Join", "Dash", "Rx",
    // "Ry", by kind) into `message`, and back.
    void FillWithAttributes(YKMessage* message) const override;
    void ExtractAttributes(const YKMessage* message) override;

private:
    // The object type a kind draws (0 for a kind no tool draws).
    static int32 EntityTypeFor(int32 typeID);
    bool IsDrawing() const { return ObjectMode(-1) == kModeDrawing; }
    // Drawing events reach the object only during its own gesture: a finished object put back
    // into mode 2 is not reshaped by them.
    bool InGesture() const { return mEntity != nullptr && mGesture != Gesture::kNone; }
    bool StartDrawing(YKPoint<double> point);
    bool DrawDown(YKPoint<double> point, uint32 clicks);
    void DrawTo(YKPoint<double> point, bool release);
    // Ends the entity's creation; a degenerate object is dropped. The layer leaves mode 2.
    void EndDrawing();
    // Whether `point` lies on an end of the open path, and extending the path from that end.
    bool WantsContinuation(YKPoint<double> point) const;
    void ContinuePath(YKPoint<double> point);
    // Appends a fixed point to the path and keeps one under the pointer.
    void AddPathPoint(YKPoint<double> point);
    bool EditPoints(YKPoint<double> point, bool release);
    // Resizes the points to the placement's box and moves its left-top corner to `target`.
    void PlacePoints(const Placement& placement, YKPoint<double> target);
    // Before a frame switch: puts the points back to the switch base (or makes what they are
    // now the base, when anything changed them since). False for kinds it cannot serve.
    bool TakeSwitchBase();
    // The switch base ArchiveContent put into `content`, or none.
    void RestoreSwitchBase(const YKMessage* content);
    // While a freehand stroke is drawn: renders again only around the segments added since the
    // last rendering. False, with nothing done, when the whole object must be rendered.
    bool RedrawStrokeEnd();
    // The first segment of the stroke being drawn whose box meets `rect` (at most the one
    // before the last).
    size_t FirstStrokeSegmentIn(YKRect<double> rect);

    std::unique_ptr<YKVectorEntity> mEntity;
    YKBitmap mBitmap;
    int32 mTypeID = 0;
    YKRect<int32> mDrawnFrame = YKRect<int32>::None();
    // The placement the rendering shows; a pure move from it only shifts the rendering.
    Placement mRendered;
    bool mRenderedOnce = false;
    // The shape frame switches start from, the placement it stands at, and the shape the last
    // switch left: transforming there and back would drift by rounding.
    struct SwitchBase {
        YKVectorEntity::Shape from;
        Placement placement;
        YKVectorEntity::Shape left;
        bool valid = false;
    };
    SwitchBase mSwitchBase;
    // The segments of the stroke being drawn that the rendering shows; 0 when it shows anything
    // else.
    size_t mStrokeSegments = 0;
    // The boxes of its segments by blocks of kStrokeBlock, for the blocks no longer changing.
    static constexpr size_t kStrokeBlock = 64;
    std::vector<YKRect<double>> mStrokeBlocks;
    // The drawing or point-editing gesture: whether the object is being made or an existing
    // path extended, the button is down in this layer, a point is being dragged, the last
    // point the path holds and the last usable pointer position.
    enum class Gesture { kNone, kCreating, kContinuing };
    Gesture mGesture = Gesture::kNone;
    bool mPressed = false;
    bool mEditingPoint = false;
    YKPoint<double> mLastFixed;
    YKPoint<double> mPointer;
};
