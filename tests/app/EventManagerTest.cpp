// The event manager: picking objects by point and band, dragging and nudging them as single undo
// actions, bitmap selections, and events that come out of order or carry unusable points.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "IndexedGif.h"
#include "QuadLayer.h"
#include "RecordingServices.h"
#include "ScriptedAlerts.h"
#include "TempDir.h"
#include "YKBitmap.h"
#include "YKBitmapLayer.h"
#include "YKDocument.h"
#include "YKEventListener.h"
#include "YKEventManager.h"
#include "YKMessage.h"
#include "YKRaster.h"
#include "YKToolState.h"
#include "YKViewerLayer.h"

namespace {

using Point = YKPoint<double>;
constexpr YKRect<int32> kCanvas{-50, -40, 49, 39};
constexpr uint32 kShift = YKEventManager::kShift;
constexpr uint32 kCommand = YKEventManager::kCommand;

// An object that follows the pointer from its mouse down, as the object layers do, and whose
// corners move freely.
class DraggedQuad : public QuadLayer {
public:
    using QuadLayer::QuadLayer;
    bool SupportsTransform() const override { return true; }
    bool MouseDown(YKPoint<double> point, uint32, uint32, int32) override {
        mGrip = point;
        return true;
    }
    bool MouseMoved(YKPoint<double> point, uint32, int32) override {
        MoveBoundingBoxBy(point - mGrip, false);
        mGrip = point;
        return true;
    }

private:
    YKPoint<double> mGrip;
};

class CountingListener : public YKEventListener {
public:
    void SelectionChanged() override { ++selectionChanges; }
    void ScrollRequested(YKPoint<double> delta) override { scrolled = scrolled + delta; }
    int32 selectionChanges = 0;
    YKPoint<double> scrolled;
};

class EventManagerTest : public testing::Test {
protected:
    DraggedQuad* Add(double x, double y, double size) {
        auto* quad = new DraggedQuad(doc.GetUniqueID(), 0xFF00FF00u);
        layer->AddChild(quad, false);
        const double h = size / 2;
        quad->ModifyBoundingBox({-h, -h}, {h, -h}, {h, h}, {-h, h});
        quad->MoveBoundingBoxBy({x + h, y + h}, false);
        quad->SetObjectMode(YKObjectLayer::kModeNotSelected, true);
        return quad;
    }
    std::set<YKObjectLayer*> Selected() const {
        std::set<YKObjectLayer*> selected;
        for (YKObjectLayer* quad : {a, b, c}) {
            if ((quad->ObjectMode(-1) & YKEventManager::kSelectedModes) != 0) {
                selected.insert(quad);
            }
        }
        return selected;
    }
    void Click(Point point, uint32 modifiers = 0) {
        events.MouseDown(point, 1, 1, modifiers);
        events.MouseUp(point);
    }
    void Drag(Point from, Point to, uint32 modifiers = 0) {
        events.MouseDown(from, 1, 1, modifiers);
        for (int step = 1; step <= 4; ++step) {
            events.MouseMoved(
                {from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4}, 1);
        }
        events.MouseUp(to);
    }
    Point Centre(YKObjectLayer* object) const {
        const YKRect<double> box = object->BoundingBox();
        return {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    }
    void Key(char key, uint32 modifiers = 0, int repeats = 1) {
        for (int i = 0; i < repeats; ++i) {
            events.KeyDown(&key, 1, modifiers);
        }
        events.KeyUp(&key, 1, modifiers);
    }

    RecordingServices services;
    YKDocument doc{"Events", kCanvas, yk_color(0, 0, 0, 0), &services};
    YKViewerLayer* viewer = doc.ViewerLayer();
    YKLayer* layer = viewer->CurrentUserLayer();
    // a and b overlap around (15, 15), b on top; c stands apart.
    DraggedQuad* a = Add(0, 0, 20);
    DraggedQuad* b = Add(10, 10, 20);
    DraggedQuad* c = Add(-40, -30, 10);
    YKToolState tools;
    CountingListener listener;
    YKEventManager events{&doc, &tools, &listener};
};

TEST_F(EventManagerTest, ClicksSelectTheTopObjectShiftAddsAndCommandCyclesTheStack) {
    Click({-35, -25});
    EXPECT_EQ(Selected(), std::set<YKObjectLayer*>({c}));
    Click({15, 15}, kShift);
    EXPECT_EQ(Selected(), std::set<YKObjectLayer*>({b, c}));
    Click({-35, -25}, kShift);
    EXPECT_EQ(Selected(), std::set<YKObjectLayer*>({b}));
    // Down the stack under the point and round to the top again.
    Click({15, 15}, kCommand);
    EXPECT_EQ(Selected(), std::set<YKObjectLayer*>({a}));
    Click({15, 15}, kCommand);
    EXPECT_EQ(Selected(), std::set<YKObjectLayer*>({b}));
    EXPECT_GE(listener.selectionChanges, 5);
    // Empty canvas without Shift clears everything.
    Click({40, -35});
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(events.CountSelectedObjects(), 0);
    // Picking changes no document content, so nothing is undoable.
    EXPECT_EQ(doc.UndoManager()->UndoStackSize(), 0);
}

TEST_F(EventManagerTest, RubberBandSelectsExactlyTheObjectsInside) {
    Click({-35, -25});
    Drag({-5, -5}, {35, 35});
    EXPECT_EQ(Selected(), std::set<YKObjectLayer*>({a, b}));
    Drag({-45, -35}, {-20, -10}, kShift);
    EXPECT_EQ(Selected(), std::set<YKObjectLayer*>({a, b, c}));
}

// That each drag and each run of key repeats is one undo action, undone and redone exactly,
// the random edit runs check.
TEST_F(EventManagerTest, ADragMovesAndKeysNudgeResizeAndTurnTheSelection) {
    const Point start = Centre(c);
    // Clicking an unselected object picks it and drags it in the same gesture.
    Drag(start, start + Point{12, 7});
    EXPECT_EQ(Selected(), std::set<YKObjectLayer*>({c}));
    EXPECT_EQ(Centre(c), (start + Point{12, 7}));
    const Point dragged = Centre(c);
    Key(29, kShift, 3);  // right arrow, by 8 each
    Key(31);             // down arrow, by 1
    EXPECT_EQ(Centre(c), (dragged + Point{24, 1}));
    Key(28, YKEventManager::kControl);  // narrower by one
    const YKRect<double> resized = c->BoundingBox();
    EXPECT_DOUBLE_EQ(resized.right - resized.left, 9);
    Key('z', kShift);
    EXPECT_NEAR(c->Rotation(), 8 * std::acos(-1.0) / 180, 1e-12);
    EXPECT_STREQ(doc.UndoManager()->UndoNameAt(doc.UndoManager()->UndoStackSize() - 1), "Move");

    Key(127);
    EXPECT_EQ(c->Parent(), nullptr);
    EXPECT_EQ(events.CountSelectedObjects(), 0);
}

TEST_F(EventManagerTest, HNarrowsTTapersAndTabPassesThePlainSelectionOn) {
    Click(Centre(c));
    const Point centre = Centre(c);
    const auto width = [this](bool top) {
        return top ? c->RightTopVector().x - c->LeftTopVector().x
                   : c->RightBottomVector().x - c->LeftBottomVector().x;
    };
    Key('h');
    EXPECT_DOUBLE_EQ(width(true), 5);
    EXPECT_DOUBLE_EQ(width(false), 5);
    EXPECT_EQ(Centre(c), centre);
    Key('H', kShift);
    EXPECT_DOUBLE_EQ(width(false), 10);
    // A taper narrows the top edge only; repeats stop before the edge would vanish.
    Key('t', 0, 6);
    EXPECT_DOUBLE_EQ(width(true), 1.25);
    EXPECT_DOUBLE_EQ(width(false), 10);
    YKUndoManager* undo = doc.UndoManager();
    EXPECT_STREQ(undo->UndoNameAt(undo->UndoStackSize() - 1), "Move");
    undo->UndoLast();
    EXPECT_DOUBLE_EQ(width(true), 10);
    undo->UndoLast();
    EXPECT_DOUBLE_EQ(width(false), 5);

    // Tab hands the selection to the next object, round the layer; Shift goes back.
    Key(9);
    EXPECT_EQ(Selected(), std::set<YKObjectLayer*>({a}));
    Key(9);
    EXPECT_EQ(Selected(), std::set<YKObjectLayer*>({b}));
    Key(9, kShift);
    EXPECT_EQ(Selected(), std::set<YKObjectLayer*>({a}));
    // An object edited locally keeps its mode and leaves Tab nothing to pass on.
    a->SetObjectMode(YKObjectLayer::kModeLocalEditing, false);
    Key(9);
    EXPECT_EQ(a->ObjectMode(-1), YKObjectLayer::kModeLocalEditing);
    EXPECT_EQ(Selected(), std::set<YKObjectLayer*>({a}));
}

TEST_F(EventManagerTest, ADegenerateDrawingIsGoneBeforeTheRedrawNamesIt) {
    // A click without a drag makes a rectangle of no size: it is dropped, unrecorded, and the
    // mode notification closing the event must not name the destroyed object.
    ASSERT_TRUE(tools.SetSelectedTool(tools.Type2ID("Rectangle")));
    events.MouseDown({30, 30}, 1, 1, 0);
    const YKLayer* drawn = layer->ChildAt(3);
    ASSERT_NE(drawn, nullptr);
    services.delivered.clear();
    events.MouseUp({30, 30});
    EXPECT_EQ(layer->CountChildren(), 3);
    EXPECT_EQ(events.ObjectInProgress(), nullptr);
    EXPECT_FALSE(doc.UndoManager()->HasUndoStackItem());
    for (const auto& [panel, message] : services.delivered) {
        void* object = nullptr;
        for (int32 i = 0; message.FindPointer("YKObjectLayer", i, &object); ++i) {
            EXPECT_NE(object, drawn);
        }
    }
    Drag({20, 20}, {40, 35});
    EXPECT_EQ(layer->CountChildren(), 4);
}

TEST_F(EventManagerTest, DroppedFilesAndBitmapsBecomeObjectsAtTheDropPointAsOneAction) {
    TempDir dir;
    ScriptedAlerts alerts;
    const auto gif = [&](const char* name, std::vector<int32> delays) {
        WriteIndexedGif(dir.PathOf(name), 4, 2, delays, [](int32 frame, size_t) { return frame; });
        return dir.PathOf(name);
    };
    const auto drop = [&](std::vector<std::string> files, Point at, bool sequence) {
        YKMessage message('DATA');
        for (const std::string& file : files) {
            message.AddString(YKEventManager::kDroppedFiles, file.c_str());
        }
        message.AddBool("force_image_sequence", sequence);
        events.MessageDropped(&message, at);
    };
    const auto images = [&](int32 index) {
        auto* bitmap = dynamic_cast<YKBitmapLayer*>(layer->ChildAt(index));
        return bitmap != nullptr ? bitmap->CountImages() : -1;
    };
    std::ofstream(dir.PathOf("notes.txt")) << "not a picture";
    drop({gif("anim.gif", {5, 5, 5}), dir.PathOf("notes.txt"), gif("still.gif", {0})}, {10, 5},
         false);
    EXPECT_EQ(alerts.Texts(),
              std::vector<std::string>{"\"notes.txt\" cannot be loaded. Unknown file format."});
    ASSERT_EQ(layer->CountChildren(), 5);
    EXPECT_EQ(images(3), 3);
    EXPECT_EQ(images(4), 1);
    auto* still = static_cast<YKObjectLayer*>(layer->ChildAt(4));
    EXPECT_EQ(Centre(still), (Point{10, 5}));
    EXPECT_EQ(events.CountSelectedObjects(), 2);
    YKUndoManager* undo = doc.UndoManager();
    undo->UndoLast();
    EXPECT_EQ(layer->CountChildren(), 3);
    undo->RedoLast();
    EXPECT_EQ(layer->ChildAt(4), still);

    // Forced into a sequence, the images are the frames of one layer in the order of their names.
    drop({gif("b.gif", {0}), gif("a.gif", {0, 0})}, {0, 0}, true);
    ASSERT_EQ(layer->CountChildren(), 6);
    EXPECT_EQ(images(5), 3);
    EXPECT_STREQ(static_cast<YKObjectLayer*>(layer->ChildAt(5))->Name(), "a.gif");

    YKRaster pixels({0, 0, 5, 3});
    YKMessage clip('RAWB');
    pixels.Archive(&clip);
    events.MessageDropped(&clip, {-20, 0});
    events.MessageDropped(&clip, {20, 0});
    ASSERT_EQ(layer->CountChildren(), 8);
    EXPECT_STREQ(static_cast<YKObjectLayer*>(layer->ChildAt(6))->Name(), "Bitmap clip");
    EXPECT_STREQ(static_cast<YKObjectLayer*>(layer->ChildAt(7))->Name(), "Bitmap clip 2");
    EXPECT_STREQ(undo->UndoNameAt(undo->UndoStackSize() - 1), "Bitmap clip 2");
    // Anything else dropped is no picture and changes nothing.
    YKMessage empty('DATA');
    events.MessageDropped(&empty, {0, 0});
    EXPECT_EQ(layer->CountChildren(), 8);
}

TEST_F(EventManagerTest, EventsOutOfOrderAndUnusablePointsLeaveWholeEdits) {
    const Point start = Centre(c);
    // Nothing without a mouse down.
    events.MouseMoved(start + Point{5, 5}, 1);
    events.MouseHold(start, 1);
    events.MouseUp(start);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    events.MouseDown({nan, 0}, 1, 1, 0);
    events.MouseDown({1e30, -1e30}, 1, 1, 0);
    EXPECT_FALSE(events.IsMouseDown());
    EXPECT_TRUE(Selected().empty());

    // Unusable moves are skipped and an unusable release ends the drag where it was.
    events.MouseDown(start, 1, 1, 0);
    events.MouseMoved(start + Point{4, 0}, 1);
    events.MouseMoved({nan, nan}, 1);
    events.MouseMoved({1e30, 1e30}, 1);
    events.MouseUp({std::numeric_limits<double>::infinity(), 0});
    EXPECT_EQ(Centre(c), (start + Point{4, 0}));
    // A key while the drag holds the object waits: the drag stays one whole action.
    events.MouseDown(Centre(c), 1, 1, 0);
    events.MouseMoved(Centre(c) + Point{2, 0}, 1);
    Key(29);
    events.MouseMoved(Centre(c) + Point{2, 0}, 1);
    events.MouseUp(Centre(c));
    EXPECT_EQ(Centre(c), (start + Point{8, 0}));
    doc.UndoManager()->UndoLast();
    EXPECT_EQ(Centre(c), (start + Point{4, 0}));
    // A mouse down while the last drag is still open ends that drag first.
    events.MouseDown(Centre(c), 1, 1, 0);
    events.MouseMoved(Centre(c) + Point{0, 3}, 1);
    events.MouseDown(Centre(c), 1, 1, 0);
    events.MouseUp(Centre(c));
    EXPECT_EQ(Centre(c), (start + Point{4, 3}));
    doc.UndoManager()->UndoLast();
    EXPECT_EQ(Centre(c), (start + Point{4, 0}));
    doc.UndoManager()->UndoLast();
    EXPECT_EQ(Centre(c), start);
    EXPECT_FALSE(doc.UndoManager()->HasUndoStackItem());
}

TEST_F(EventManagerTest, BitmapSelectionsAreDrawnAddedTakenAwayAndMoved) {
    const auto covered = [this](int32 x, int32 y) {
        YKBitmap* selection = viewer->GetSelection();
        if (selection == nullptr || !selection->Frame().Contains({x, y})) {
            return false;
        }
        uint32 value = 0;
        selection->GetLineAt(y, x, x, false, &value);
        return (value >> 24) != 0;
    };
    ASSERT_TRUE(tools.SetSelectedTool(1));
    Drag({-20, -20}, {0, 0});
    EXPECT_TRUE(covered(-10, -10));
    EXPECT_FALSE(covered(10, 10));
    Drag({5, 5}, {15, 15}, kShift);
    EXPECT_TRUE(covered(-10, -10));
    EXPECT_TRUE(covered(10, 10));
    Drag({-15, -15}, {-5, -5}, kCommand);
    EXPECT_FALSE(covered(-10, -10));
    EXPECT_TRUE(covered(-18, -18));
    // A drag that starts on the selection carries it along.
    Drag({10, 10}, {20, 10});
    EXPECT_TRUE(covered(22, 10));
    EXPECT_FALSE(covered(7, 10));
    EXPECT_EQ(viewer->TemporarySelectionType(), -1);
    // Without a modifier, a new area replaces the old one.
    ASSERT_TRUE(tools.SetSelectedTool(3));
    Drag({-40, -30}, {-20, -10});
    EXPECT_TRUE(covered(-30, -20));
    EXPECT_FALSE(covered(-39, -29));
    EXPECT_FALSE(covered(22, 10));

    // Each gesture is one undo step that gives back the selection it found, and its rectangle.
    YKUndoManager* undo = doc.UndoManager();
    ASSERT_EQ(undo->UndoStackSize(), 5);
    EXPECT_STREQ(undo->UndoNameAt(4), "Selection");
    const YKRect<int32> last = viewer->SelectionRectangle();
    undo->UndoLast();
    EXPECT_TRUE(covered(22, 10));
    EXPECT_FALSE(covered(-30, -20));
    EXPECT_EQ(viewer->SelectionRectangle(), (YKRect<int32>{-15, -15, -5, -5}));
    undo->UndoLast();
    EXPECT_TRUE(covered(10, 10));
    EXPECT_FALSE(covered(22, 10));
    for (int i = 0; i < 3; ++i) {
        undo->UndoLast();
    }
    EXPECT_EQ(viewer->GetSelection(), nullptr);
    for (int i = 0; i < 5; ++i) {
        undo->RedoLast();
    }
    EXPECT_TRUE(covered(-30, -20));
    EXPECT_FALSE(covered(22, 10));
    EXPECT_EQ(viewer->SelectionRectangle(), last);
}

TEST_F(EventManagerTest, TheHandToolAsksTheViewToScroll) {
    ASSERT_TRUE(tools.SetSelectedTool(YKToolState::kHandToolID));
    Drag({0, 0}, {10, -4});
    EXPECT_EQ(listener.scrolled, (Point{-10, 4}));
    EXPECT_TRUE(Selected().empty());
}

}  // namespace
