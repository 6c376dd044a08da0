// Seeded random runs of edits through one view's event manager, every tool mixed with events out
// of order and unusable points. Each finished edit is exactly one undo action, a step that
// records none leaves the saved document as it was, undoing back to the start gives the bytes of
// the start and redoing to the end the bytes of the end, action by action.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "FileBytes.h"
#include "RecordingServices.h"
#include "TempDir.h"
#include "YKBitmap.h"
#include "YKBitmapRoster.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKEventListener.h"
#include "YKEventManager.h"
#include "YKMessage.h"
#include "YKObjectLayer.h"
#include "YKRaster.h"
#include "YKToolState.h"
#include "YKUndoManager.h"
#include "YKViewerLayer.h"

namespace {

using Point = YKPoint<double>;
constexpr YKRect<int32> kCanvas{-60, -45, 59, 44};
constexpr int32 kFrames = 3;
constexpr int32 kEdits = 200;

// Tool ids.
constexpr int32 kSelect = 0;
constexpr int32 kFreeHand = 6;
constexpr int32 kBrush = 7;
constexpr int32 kLine = 8;
constexpr int32 kPolyline = 9;
constexpr int32 kBezier = 10;
constexpr int32 kText = 11;
constexpr int32 kShapes[] = {12, 13, 14, 15};

constexpr char kLeft = 28;
constexpr char kDelete = 127;

// The first field where two document messages differ, as a path of field names (messages
// named by their "YKOL:Name" or "YKE:_name" where they have one); empty when they agree.
std::string Difference(const YKMessage& a, const YKMessage& b, const std::string& path) {
    std::string here = path;
    for (const char* label : {"YKOL:Name", "YKE:_name", "Class"}) {
        const char* name = nullptr;
        if (a.FindString(label, &name)) {
            here += "(" + std::string(name) + ")";
            break;
        }
    }
    for (int32 i = 0; i < a.CountNames() || i < b.CountNames(); ++i) {
        if (i >= a.CountNames() || i >= b.CountNames()) {
            return here + ": " + std::to_string(a.CountNames()) + " fields against " +
                   std::to_string(b.CountNames());
        }
        const char* name = nullptr;
        const char* otherName = nullptr;
        uint32 type = 0;
        uint32 otherType = 0;
        int32 count = 0;
        int32 otherCount = 0;
        a.GetInfo(i, &name, &type, &count);
        b.GetInfo(i, &otherName, &otherType, &otherCount);
        const std::string field = here + "/" + name;
        if (std::string(name) != otherName || type != otherType || count != otherCount) {
            return field + ": the field differs in name, type or count (" + otherName + ")";
        }
        for (int32 k = 0; k < count; ++k) {
            const std::string item = field + "[" + std::to_string(k) + "]";
            if (type == YK_MESSAGE_TYPE) {
                YKMessage inner;
                YKMessage otherInner;
                a.FindMessage(name, k, &inner);
                b.FindMessage(name, k, &otherInner);
                const std::string found = Difference(inner, otherInner, item);
                if (!found.empty()) {
                    return found;
                }
                continue;
            }
            const void* data = nullptr;
            const void* otherData = nullptr;
            ssize_t size = 0;
            ssize_t otherSize = 0;
            a.FindData(name, type, k, &data, &size);
            b.FindData(name, type, k, &otherData, &otherSize);
            if (size != otherSize || std::memcmp(data, otherData, static_cast<size_t>(size)) != 0) {
                return item + " differs";
            }
        }
    }
    return "";
}

std::string Difference(const std::string& a, const std::string& b) {
    if (a == b) {
        return "";
    }
    YKMessage first;
    YKMessage second;
    first.Unflatten(a.data(), static_cast<ssize_t>(a.size()));
    second.Unflatten(b.data(), static_cast<ssize_t>(b.size()));
    const std::string found = Difference(first, second, "");
    return found.empty() ? "the flattened bytes differ" : found;
}

class EditPropertyTest : public testing::TestWithParam<uint32> {
protected:
    void SetUp() override {
        random.seed(GetParam());
        doc.EnvelopManager()->SetMaxFrame(kFrames, false);
        doc.UndoManager()->Purge();
        states.push_back(Archived());
        start = Saved();
    }

    // --- Random choices
    int32 Pick(int32 low, int32 high) {
        return std::uniform_int_distribution<int32>(low, high)(random);
    }
    bool Chance(int32 percent) { return Pick(1, 100) <= percent; }
    double Coordinate(double low, double high) {
        // Whole and half units as a pointer gives them, now and then anything in between.
        const double value = std::uniform_real_distribution<double>(low, high)(random);
        return Chance(80) ? std::round(value * 2) / 2 : value;
    }
    Point AnyPoint() {
        return {Coordinate(kCanvas.left - 10, kCanvas.right + 10),
                Coordinate(kCanvas.top - 10, kCanvas.bottom + 10)};
    }
    Point Near(Point p, double reach) {
        return {p.x + Coordinate(-reach, reach), p.y + Coordinate(-reach, reach)};
    }
    Point Unusable() {
        const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                                 std::numeric_limits<double>::infinity(), 1e30, -1e30};
        return {values[Pick(0, 3)], Chance(50) ? 0.0 : values[Pick(0, 3)]};
    }
    uint32 AnyModifiers() {
        return (Chance(25) ? YKEventManager::kShift : 0) |
               (Chance(10) ? YKEventManager::kCommand : 0);
    }
    // A point on or near an object, its corners or its rotation knobs when there is one.
    Point Target() {
        std::vector<YKObjectLayer*> objects;
        for (YKLayer* layer = viewer->IterateHirarchyToNext("YKObjectLayer", viewer);
             layer != nullptr; layer = layer->IterateHirarchyToNext("YKObjectLayer", viewer)) {
            objects.push_back(static_cast<YKObjectLayer*>(layer));
        }
        if (objects.empty() || Chance(15)) {
            return AnyPoint();
        }
        YKObjectLayer* object = objects[static_cast<size_t>(Pick(0, objects.size() - 1))];
        YKList<YKPoint<double>> knobs;
        object->GetKnobTab(&knobs);
        YKPoint<double> turn[4];
        const int32 choice = Pick(0, 2);
        if (choice == 1 && !knobs.IsEmpty()) {
            return Near(knobs.ItemAt(Pick(0, knobs.CountItems() - 1)), 1);
        }
        if (choice == 2 && object->RotationKnobs(turn)) {
            return Near(turn[Pick(0, 3)], 1);
        }
        const YKRect<double> box = object->BoundingBox();
        return Near({(box.left + box.right) / 2, (box.top + box.bottom) / 2}, 2);
    }

    // --- Gestures
    void Tool(int32 id) {
        // Refused while an object is being drawn, which the gestures below never leave open.
        ASSERT_TRUE(tools.SetSelectedTool(id)) << id;
    }
    void Drag(Point from, Point to, uint32 modifiers, int32 steps, uint32 clicks = 1) {
        events.MouseDown(from, 1, clicks, modifiers);
        for (int32 i = 1; i <= steps; ++i) {
            const double t = static_cast<double>(i) / steps;
            const Point at{from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t};
            if (Chance(4)) {
                events.MouseMoved(Unusable(), 1);
            } else if (Chance(4)) {
                // A key in the middle of a drag.
                const char key = Chance(50) ? kLeft : 'z';
                events.KeyDown(&key, 1, 0);
                events.KeyUp(&key, 1, 0);
            }
            if (Chance(10)) {
                events.MouseHold(at, 1);
            } else {
                events.MouseMoved(at, 1);
            }
        }
        if (Chance(5)) {
            // The release never comes: the next press ends the gesture.
            return;
        }
        events.MouseUp(Chance(5) ? Unusable() : to);
        if (Chance(5)) {
            events.MouseUp(to);
        }
    }
    void Click(Point at, uint32 modifiers = 0, uint32 clicks = 1) {
        events.MouseDown(at, 1, clicks, modifiers);
        events.MouseUp(at);
    }
    void Key(char key, uint32 modifiers, int32 repeats) {
        for (int32 i = 0; i < repeats; ++i) {
            events.KeyDown(&key, 1, modifiers);
        }
        events.KeyUp(&key, 1, modifiers);
    }

    // One random step: an edit, a selection, a frame change, stray events, undo or redo.
    void Step() {
        const int32 kind = Pick(0, 99);
        if (kind < 14) {
            Tool(kShapes[Pick(0, 3)]);
            Drag(AnyPoint(), AnyPoint(), AnyModifiers(), Pick(1, 6));
        } else if (kind < 20) {
            Tool(Chance(50) ? kLine : kFreeHand);
            Drag(AnyPoint(), AnyPoint(), 0, Pick(1, 12));
        } else if (kind < 24) {
            Tool(kBrush);
            Drag(AnyPoint(), AnyPoint(), 0, Pick(1, 5));
        } else if (kind < 30) {
            // Click by click, ended by a double click or by finishing; a polyline click on
            // the end of an open one carries that one on.
            Tool(Chance(50) ? kPolyline : kBezier);
            for (int32 n = Pick(1, 4); n > 0; --n) {
                if (Chance(50)) {
                    Drag(Target(), AnyPoint(), 0, Pick(1, 3));
                } else {
                    Click(Chance(30) ? Target() : AnyPoint());
                }
            }
            if (Chance(50)) {
                Click(AnyPoint(), 0, 2);
            }
            events.FinishObject();
        } else if (kind < 34) {
            Tool(kText);
            Click(AnyPoint());
            const char* keys[] = {"A", "b", " ", "\xc3\xa9", "\x08", "\x1c"};
            for (int32 n = Pick(0, 6); n > 0; --n) {
                const std::string key = keys[Pick(0, 5)];
                events.KeyDown(key.data(), static_cast<uint32>(key.size()), 0);
                events.KeyUp(key.data(), static_cast<uint32>(key.size()), 0);
            }
            if (Chance(50)) {
                Click(AnyPoint());
            }
            events.FinishObject();
        } else if (kind < 44) {
            Tool(kSelect);
            Click(Target(), AnyModifiers());
        } else if (kind < 50) {
            Tool(kSelect);
            Drag(AnyPoint(), AnyPoint(), AnyModifiers(), Pick(1, 3));
        } else if (kind < 64) {
            // Drags of the selection by its body, knobs and rotation knobs.
            Tool(kSelect);
            Drag(Target(), AnyPoint(), Chance(30) ? YKEventManager::kShift : 0, Pick(1, 5));
        } else if (kind < 74) {
            Tool(kSelect);
            const char keys[] = {28, 29, 30, 31, 'z', 'x', 'Z', 'a'};
            const uint32 modifiers = (Chance(30) ? YKEventManager::kShift : 0) |
                                     (Chance(30) ? YKEventManager::kControl : 0);
            const char key = keys[Pick(0, 7)];
            Key(key, modifiers, Pick(1, 3));
        } else if (kind < 77) {
            Tool(kSelect);
            Key(kDelete, 0, 1);
        } else if (kind < 81) {
            Tool(Pick(1, 3));
            Drag(AnyPoint(), AnyPoint(), AnyModifiers(), Pick(1, 4));
        } else if (kind < 86) {
            SwitchTo(Pick(1, kFrames));
        } else if (kind < 90) {
            // Out of order: moves, holds and releases without a press, unusable presses.
            events.MouseMoved(AnyPoint(), 1);
            events.MouseHold(AnyPoint(), 1);
            events.MouseUp(AnyPoint());
            events.MouseDown(Unusable(), 1, 1, 0);
            const char key = 'x';
            events.KeyUp(&key, 1, 0);
        } else if (kind < 95) {
            Undo();
        } else {
            Redo();
        }
    }

    // --- The document
    void SwitchTo(int32 frame) {
        YKEnvelopManager* envelopes = doc.EnvelopManager();
        if (envelopes->CurrentFrame() == frame) {
            return;
        }
        viewer->LockHirarchy();
        const int32 previous = envelopes->CurrentFrame();
        envelopes->SetCurrentFrame(frame);
        viewer->SwitchToFrame(previous);
        viewer->UnlockHirarchy();
    }
    // The document message as a save writes it, before packing. Which frame is shown is no
    // edit: each state is taken at frame 1.
    std::string Archived() {
        const int32 frame = doc.EnvelopManager()->CurrentFrame();
        SwitchTo(1);
        YKBitmapRoster::Default().ResetForArchiving();
        YKMessage archive;
        viewer->LockHirarchy();
        doc.ArchiveDocument(&archive);
        // The bitmap selection is undone and redone like an edit but is not saved.
        if (const YKBitmap* mask = viewer->GetSelection(); mask != nullptr && !mask->IsEmpty()) {
            const YKRect<int32> frame = mask->Frame();
            const std::unique_ptr<YKRaster> pixels(mask->Raster(frame));
            archive.AddData("Selection", YK_RAW_TYPE, &frame, sizeof(frame));
            if (pixels != nullptr) {
                archive.AddData("Mask", YK_RAW_TYPE, pixels->Bits(), pixels->BitsLength());
            }
        }
        viewer->UnlockHirarchy();
        SwitchTo(frame);
        return archive.Flatten();
    }
    // The saved file itself, at frame 1.
    std::string Saved() {
        const int32 frame = doc.EnvelopManager()->CurrentFrame();
        SwitchTo(1);
        EXPECT_TRUE(doc.SaveInto(path.c_str(), false));
        SwitchTo(frame);
        return ReadBytes(path);
    }
    int32 Actions() {
        int32 count = 0;
        for (int32 i = 0; i < doc.UndoManager()->UndoStackSize(); ++i) {
            count += doc.UndoManager()->UndoIsTerminatorAt(i) ? 1 : 0;
        }
        return count;
    }
    void Undo() {
        doc.UndoManager()->UndoLast();
        EXPECT_EQ(Actions(), current - (current > 0 ? 1 : 0));
        current = Actions();
        EXPECT_EQ(Difference(Archived(), states[static_cast<size_t>(current)]), "")
            << "undone to " << current;
    }
    void Redo() {
        doc.UndoManager()->RedoLast();
        const bool more = static_cast<size_t>(current) + 1 < states.size();
        EXPECT_EQ(Actions(), current + (more ? 1 : 0));
        current = Actions();
        EXPECT_EQ(Difference(Archived(), states[static_cast<size_t>(current)]), "")
            << "redone to " << current;
    }
    void RedoAll() {
        while (static_cast<size_t>(current) + 1 < states.size()) {
            Redo();
            ASSERT_FALSE(HasFailure());
        }
    }
    // After a step: a new action has its state recorded, else the document is as it was.
    void Check(int32 step) {
        // A gesture or drawing left open is closed as the next press or tool change would.
        if (events.IsMouseDown()) {
            events.MouseUp(AnyPoint());
        }
        events.FinishObject();
        ASSERT_TRUE(!events.IsMouseDown() && events.ObjectInProgress() == nullptr);
        const int32 actions = Actions();
        const std::string now = Archived();
        if (actions == current) {
            ASSERT_EQ(Difference(now, states[static_cast<size_t>(current)]), "")
                << "step " << step << " changed the document without an undo action";
            return;
        }
        ASSERT_EQ(actions, current + 1) << "step " << step << " made several actions";
        ASSERT_TRUE(now != states[static_cast<size_t>(current)])
            << "step " << step << " recorded an action that changed nothing";
        states.resize(static_cast<size_t>(actions));
        states.push_back(now);
        current = actions;
    }

    std::mt19937 random;
    TempDir temp;
    std::string path = (temp.Path() / "doc.gr").string();
    RecordingServices services;
    YKDocument doc{"Edits", kCanvas, yk_color(255, 255, 255, 255), &services};
    YKViewerLayer* viewer = doc.ViewerLayer();
    YKToolState tools;
    YKEventListener listener;
    YKEventManager events{&doc, &tools, &listener};
    // states[k]: the saved document after k actions; `current` actions are done.
    std::vector<std::string> states;
    std::string start;
    int32 current = 0;
};

// Three seeds of 200 steps keep the run near 20 s in a debug build.
TEST_P(EditPropertyTest, UndoingEverythingRestoresTheStartAndRedoingTheEnd) {
    for (int32 step = 0; step < kEdits && !HasFatalFailure(); ++step) {
        Step();
        Check(step);
    }
    ASSERT_FALSE(HasFailure());
    // A run may end on undone actions: the end is the newest state the run reached.
    RedoAll();
    ASSERT_FALSE(HasFailure());
    const std::string end = Saved();
    while (current > 0) {
        Undo();
        ASSERT_FALSE(HasFailure());
    }
    EXPECT_FALSE(doc.UndoManager()->HasUndoStackItem());
    EXPECT_TRUE(Saved() == start);
    RedoAll();
    ASSERT_FALSE(HasFailure());
    EXPECT_FALSE(doc.UndoManager()->HasRedoStackItem());
    EXPECT_TRUE(Saved() == end);
}

INSTANTIATE_TEST_SUITE_P(Seeds, EditPropertyTest, testing::Range(1u, 4u));

}  // namespace
