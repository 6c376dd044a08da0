#pragma once

// YKEventManager: one per view. It takes the view's mouse and key events in document coordinates
// and, by the selected tool, draws new objects into the current layer, selects objects and hands
// them the events that move, resize or rotate them, builds bitmap selections on the viewer layer,
// or asks the view to scroll or zoom. Every event runs under the viewer layer's hierarchy lock and
// inside one invalidation bracket, so the canvas is redrawn once per event. Each edit leaves an
// undo record; a drag or a run of key repeats is one action.
//
// Points that are not finite or lie beyond kMaxCoordinate are ignored (a mouse up then ends the
// gesture at the last good point); moves, holds and ups without a mouse down are ignored, and a
// second mouse down ends the gesture still open first.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "YKDocument.h"
#include "YKList.h"
#include "YKMessage.h"
#include "YKPoint.h"
#include "YKRect.h"
#include "yk_types.h"

class YKBitmap;
class YKEventListener;
class YKLayer;
class YKObjectLayer;
class YKToolState;
class YKUndoEnvelopModification;
class YKViewerLayer;

class YKEventManager {
public:
    // Modifier bits of events.
    static constexpr uint32 kShift = 0x1;
    static constexpr uint32 kCommand = 0x2;
    static constexpr uint32 kControl = 0x4;
    // Mode masks: any selected mode (8 and above), and every mode.
    static constexpr int32 kSelectedModes = 0xFFF8;
    static constexpr int32 kAllModes = 0xFFFF;
    static constexpr double kMaxCoordinate = 1e7;
    // The field of a drop message that names the dropped files, one string each.
    static constexpr const char* kDroppedFiles = "refs";

    // Works on `document`'s tree with the application's `tools`; the current layer starts as the
    // viewer layer's current user layer.
    YKEventManager(YKDocument* document, YKToolState* tools, YKEventListener* listener);
    YKEventManager(const YKEventManager&) = delete;
    YKEventManager& operator=(const YKEventManager&) = delete;
    ~YKEventManager();

    void SetCurrentLayer(YKLayer* layer) { mCurrentLayer = layer; }
    // The layer set last, or the tree's current user layer once that one has left the tree (a
    // deleted or merged layer).
    YKLayer* CurrentLayer() const;
    YKObjectLayer* ObjectInProgress() const { return mObjectInProgress; }
    bool IsMouseDown() const { return mMouseDown; }
    // The pixels of the band being dragged: the object-selection tool's rubber band, or the
    // rectangle or ellipse of a bitmap selection tool; none when no band is open.
    YKRect<int32> RubberBand() const;

    // --- Events
    void MouseDown(YKPoint<double> point, uint32 buttons, uint32 clicks, uint32 modifiers);
    void MouseMoved(YKPoint<double> point, uint32 buttons);
    void MouseHold(YKPoint<double> point, uint32 buttons);
    void MouseUp(YKPoint<double> point);
    void KeyDown(const char* bytes, uint32 count, uint32 modifiers);
    void KeyUp(const char* bytes, uint32 count, uint32 modifiers);

    // --- Drops (YKEventManagerDrops.cpp)
    // Each dropped file becomes an object of the current layer centred on `point`: a model a 3D
    // layer, an image a bitmap layer (over all its frames). With the bool
    // "force_image_sequence" the images, sorted by path, are the frames of one bitmap layer. A
    // file no reader takes is named in an alert.
    void RefDropped(const YKMessage* message, YKPoint<double> point);
    // A dropped bitmap (an archived raster) becomes "Bitmap clip", then "Bitmap clip 2" …; a
    // message naming files is a file drop.
    void MessageDropped(const YKMessage* message, YKPoint<double> point);

    // --- Selection of objects
    // Selects `layer` for this view (alone when `exclusive`) unless it is selected already.
    void Select(YKObjectLayer* layer, bool exclusive);
    // Every selected object under `root` other than `except` becomes unselected.
    void UnselectAllChildren(YKLayer* root, YKObjectLayer* except);
    void InvertSelection();
    int32 CountSelectedObjects() const;
    YKObjectLayer* FirstSelectedObject() const;
    // Selects the objects of the current layer inside `rect` and no others.
    void EndRectTracking(YKRect<double> rect);

    // --- Drawing
    // Ends the object being drawn (a polyline, say) as if it had finished itself.
    void FinishObject();
    // The topmost object under `point` that the selected tool may continue; null if none.
    YKObjectLayer* GetObjectToContinue(YKPoint<double> point);

    // Runs `change`, which moves, resizes or reshapes `objects` outside a gesture (the
    // alignment commands, the panels), and records what it did to them as one undo action named
    // `name`; nothing is recorded when nothing changed.
    void RecordPlacement(const std::vector<YKObjectLayer*>& objects, const char* name,
                         const std::function<void()>& change);

private:
    struct Bracket;

    static bool Usable(YKPoint<double> point);
    int32 ViewID() const;
    YKViewerLayer* Viewer() const;
    int32 Tool() const;
    void NotifySelection();
    // The object layers under `root` (itself excluded), in walk order.
    void CollectObjects(YKLayer* root, YKList<YKObjectLayer*>* objects) const;
    static bool IsSelectedMode(int32 mode) { return (mode & kSelectedModes) != 0; }

    // --- Passing events to objects (YKEventManager.cpp)
    bool CallMouseDown(YKLayer* root, YKPoint<double> point, uint32 buttons, uint32 clicks,
                       int32 modeMask);
    void CallMouseMoved(YKPoint<double> point, uint32 buttons);
    void CallMouseHold(YKPoint<double> point, uint32 buttons);
    void CallMouseUp(YKPoint<double> point);
    // Opens the undo capture of `object`'s placement and keeps its content as it is now.
    void BeginCapture(YKObjectLayer* object);
    // Closes the undo capture of `targets` and records what changed as one action.
    void RecordModifications(YKList<YKObjectLayer*>* targets, const char* name);

    // --- Drawing (YKEventManagerDrawing.cpp)
    void MouseDownDraw(YKPoint<double> point, uint32 buttons, uint32 clicks);
    void MouseMovedDraw(YKPoint<double> point, uint32 buttons, bool hold);
    void MouseUpDraw(YKPoint<double> point);
    void StartObject(YKObjectLayer* object, bool created);
    // Called whenever the object in progress may have left drawing mode.
    void CheckObjectDone();
    void ObjectDone();
    // Tells the envelope manager and the document of an object new in the tree, and selects it
    // in this view alone.
    void AnnounceAdded(YKObjectLayer* object);

    // --- Object selection (YKEventManagerSelection.cpp)
    void MouseDownSelect(YKPoint<double> point, uint32 buttons, uint32 clicks);
    void MouseUpSelect(YKPoint<double> point);
    void UnselectAll();
    void SetMode(YKObjectLayer* object, int32 mode);

    // --- Bitmap selection (YKEventManagerBitmap.cpp)
    void MouseDownBitmap(YKPoint<double> point);
    void MouseMovedBitmap(YKPoint<double> point);
    void MouseUpBitmap(YKPoint<double> point);
    bool SelectionCovers(YKPoint<int32> pixel) const;

    // --- Drops (YKEventManagerDrops.cpp)
    YKObjectLayer* LoadSequence(std::vector<std::string> paths);
    // Adds the new objects, selected, with one creation action for them all.
    void PlaceDropped(const std::vector<YKObjectLayer*>& dropped, YKPoint<double> point,
                      YKDocument::IDCounters before);

    // --- Keys (YKEventManagerKeys.cpp)
    void KeyEvent(const char* bytes, uint32 count, uint32 modifiers);
    // Tab: the plainly selected objects hand the selection to the object after the last of
    // them (before the first when `backwards`), round the current layer's objects.
    void PassSelectionOn(bool backwards);

    YKDocument* mDocument;
    YKToolState* mTools;
    YKEventListener* mListener;
    YKLayer* mCurrentLayer = nullptr;
    YKObjectLayer* mObjectInProgress = nullptr;
    // Whether the object in progress is new (and so gets a creation record) or continued.
    bool mObjectCreated = false;
    // The document's id counters before the new object took its ids.
    YKDocument::IDCounters mCountersBefore;
    YKList<YKLayer*> mHits{16};
    YKList<YKObjectLayer*> mMouseTargets{16};
    YKList<YKObjectLayer*> mKeyTargets{16};
    // The content of each captured object when its capture opened.
    std::map<YKObjectLayer*, YKMessage> mContentBefore;
    // The last drawing that came out degenerate, out of the tree.
    std::unique_ptr<YKObjectLayer> mDiscarded;
    // The tool that took the mouse down; the gesture ends with it even if the tool changes.
    int32 mGestureTool = -1;
    uint32 mModifiers = 0;
    YKPoint<double> mLastPoint;
    // Bitmap selection being drawn or moved.
    YKPoint<int32> mSelectionStart;
    YKPoint<int32> mSelectionLast;
    bool mSelectionAdds = true;
    bool mMovingSelection = false;
    // The selection as the gesture found it, for its undo record.
    std::unique_ptr<YKBitmap> mSelectionBefore;
    YKRect<int32> mSelectionRectBefore{1, 1, -1, -1};
    int32 mFeather = 0;
    bool mAntialias = true;
    // Rubber band of the object-selection tool.
    bool mTracking = false;
    YKPoint<double> mTrackStart;
    YKRect<int32> mSelectionRect{1, 1, -1, -1};
    bool mMouseDown = false;
    // Bitmap clips dropped on this view so far, for their names.
    int32 mBitmapClips = 0;
};
