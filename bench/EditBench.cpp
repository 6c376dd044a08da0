// Editing a 1920 x 1080 document with the mouse, through the event manager as a view drives it;
// every event closes its bracket, which composes the view again where the event changed it.
// - The full recomposition of 200 vector objects of mixed kinds, fills and strokes in one user
//   layer: the view erased and every object composed into it again. It is what an edit is
//   measured against; our own recomposition is the yardstick, so no other library takes part.
//   Beside it, the cheapest redraw of the whole view: a copy of what the layer prepared.
// - Dragging one of those objects with the selection tool: per mouse move, the event and the
//   recomposition it causes. The "bytes" are the canvas's, so the printed ratios are how many
//   times cheaper a move is; a drag keeps up when it is at least 10 times cheaper than the
//   full recomposition.
// - Freehand and brush strokes of 2,000 points: the time per point over the first and over the
//   last 100 points. A stroke keeps up when the last points cost about what the first did.

#include <time.h>

#include <cmath>
#include <vector>

#include "BenchRatios.h"
#include "YKBitmap.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKEventListener.h"
#include "YKEventManager.h"
#include "YKObjectLayer.h"
#include "YKRasterLayer.h"
#include "YKToolState.h"
#include "YKVectorEntity.h"
#include "YKViewerLayer.h"

namespace {

constexpr int32 kWidth = 1920;
constexpr int32 kHeight = 1080;
constexpr int32 kObjects = 200;
constexpr int64 kCanvasBytes = int64{kWidth} * kHeight * 4;
constexpr int32 kStrokePoints = 2000;
constexpr int32 kStrokeWindow = 100;

using Point = YKPoint<double>;

// Tool ids of the toolbox.
constexpr int32 kSelectionTool = 0;
constexpr int32 kFreeHandTool = 6;
constexpr int32 kBrushTool = 7;
constexpr int32 kLineTool = 8;
constexpr int32 kRectangleTool = 12;
constexpr int32 kRoundRectangleTool = 13;
constexpr int32 kEllipseTool = 14;
constexpr int32 kArcTool = 15;

// The thread's CPU time: other programs on the machine do not count.
double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// A document in one view, and that view's event manager.
struct Editor {
    Editor() {
        view = document->ViewerLayer()->CreateViewer();
        document->ViewerLayer()->SetViewerID(view);
        canvas = document->Frame();
    }
    YKViewerLayer* Viewer() const { return document->ViewerLayer(); }
    void Drag(Point from, Point to, int32 steps) {
        events.MouseDown(from, 1, 1, 0);
        for (int32 step = 1; step <= steps; ++step) {
            const double t = static_cast<double>(step) / steps;
            events.MouseMoved({from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t}, 1);
        }
        events.MouseUp(to);
    }

    YKDispatcher dispatcher;
    YKDocument* document =
        dispatcher.CreateDocument(kWidth, kHeight, "Edit", yk_color{255, 255, 255, 255});
    int32 view = 0;
    YKRect<int32> canvas;
    YKToolState tools;
    YKEventListener listener;
    YKEventManager events{document, &tools, &listener};
};

// 200 objects drawn with the shape tools, each then given its own fill and stroke, spread over
// the canvas so that they overlap here and there.
struct Scene : Editor {
    Scene() {
        constexpr int32 kKinds[] = {kRectangleTool, kEllipseTool, kRoundRectangleTool,
                                    kLineTool,      kArcTool,     kFreeHandTool};
        for (int32 i = 0; i < kObjects; ++i) {
            const Point at{canvas.left + 40.0 + (i * 97) % (kWidth - 160),
                           canvas.top + 40.0 + (i * 53) % (kHeight - 160)};
            const Point size{48.0 + (i * 31) % 72, 40.0 + (i * 17) % 80};
            tools.SetSelectedTool(kKinds[i % 6]);
            Drag(at, {at.x + size.x, at.y + size.y}, 8);
            auto* object = dynamic_cast<YKRasterLayer*>(events.FirstSelectedObject());
            if (object == nullptr || object->Entity() == nullptr) {
                continue;
            }
            YKVectorEntity* entity = object->Entity();
            const auto shade = static_cast<uint8>(i);
            entity->setStrokeAndColor({20, shade, 90, 255}, kColorFlagColor, nullptr, 0, false, "");
            entity->setWidth(1 + i % 8);
            if (i % 4 != 3) {
                entity->setFillAndColor({shade, 150, 220, static_cast<uint8>(128 + i % 128)},
                                        kColorFlagColor, nullptr, 0, false, "");
            }
            object->RedrawObject(true);
            objects.push_back(object);
        }
        Viewer()->DeselectAll(view);
        RecomposeAll();
    }
    // The whole user layer changed: its cache and the view are composed again.
    void RecomposeAll() {
        Viewer()->LockHirarchy();
        Viewer()->BeginInvalidate();
        Viewer()->CurrentUserLayer()->InvalidateLayer(canvas, true, nullptr);
        Viewer()->EndInvalidate();
        Viewer()->UnlockHirarchy();
    }

    // Object i when it is a filled rectangle whose centre (`grip`) no object above covers.
    YKRasterLayer* FilledRectangle(size_t i, Point* grip) const {
        YKRasterLayer* object = objects[i];
        if (object->TypeID() != YKRasterLayer::kRectangle ||
            object->Entity()->FillColorFlag() != kColorFlagColor) {
            return nullptr;
        }
        const YKRect<double> box = object->BoundingBox();
        *grip = {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
        for (size_t above = i + 1; above < objects.size(); ++above) {
            const YKRect<int32> frame = objects[above]->Frame();
            if (grip->x >= frame.left && grip->x <= frame.right && grip->y >= frame.top &&
                grip->y <= frame.bottom) {
                return nullptr;
            }
        }
        return object;
    }

    std::vector<YKRasterLayer*> objects;
};

// The full recomposition: the view's composition erased and every object's rendering composed
// into it again, in order, as the view does when nothing prepared can be reused.
void BM_ComposeEveryObject(benchmark::State& state) {
    Scene scene;
    YKViewerLayer* viewer = scene.Viewer();
    for (auto _ : state) {
        viewer->LockHirarchy();
        YKBitmap* composition = viewer->Bitmap(scene.view);
        composition->Erase(scene.canvas);
        for (YKRasterLayer* object : scene.objects) {
            object->ComposeLayer(composition, scene.canvas);
        }
        viewer->UnlockHirarchy();
    }
    state.SetBytesProcessed(state.iterations() * kCanvasBytes);
    state.counters["objects"] = static_cast<double>(scene.objects.size());
}

// The whole canvas invalidated at the user layer: the view is composed again from what the
// layer prepared after the last edit (one bitmap of all its objects), the cheapest redraw.
void BM_RedrawWholeView(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        scene.RecomposeAll();
    }
    state.SetBytesProcessed(state.iterations() * kCanvasBytes);
}

// The selection tool grabs a filled rectangle in the middle of the stack and moves it to and
// fro by 2 units an event, as a hand does; the mouse up ends the drag.
void BM_DragOneObject(benchmark::State& state) {
    Scene scene;
    YKRasterLayer* moved = nullptr;
    Point grip;
    for (size_t i = kObjects / 2; i < scene.objects.size() && moved == nullptr; ++i) {
        moved = scene.FilledRectangle(i, &grip);
    }
    if (moved == nullptr) {
        state.SkipWithError("no filled rectangle to grab");
        return;
    }
    scene.tools.SetSelectedTool(kSelectionTool);
    scene.events.MouseDown(grip, 1, 1, 0);
    if (scene.events.CountSelectedObjects() != 1 || scene.events.FirstSelectedObject() != moved) {
        state.SkipWithError("the press did not take the object alone");
        return;
    }
    int32 step = 0;
    double dirtyPixels = 0;
    for (auto _ : state) {
        const int32 phase = step++ % 80;
        const double offset = 2.0 * (phase < 40 ? phase : 80 - phase);
        scene.events.MouseMoved({grip.x + offset, grip.y + offset / 2}, 1);
        const YKRect<int32> dirty = scene.Viewer()->InvalidRect();
        dirtyPixels += static_cast<double>(dirty.Width() + 1) * (dirty.Height() + 1);
    }
    scene.events.MouseUp(grip);
    state.SetBytesProcessed(state.iterations() * kCanvasBytes);
    state.counters["ms/event"] =
        benchmark::Counter(static_cast<double>(state.iterations()) / 1000,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["dirty px/event"] = dirtyPixels / static_cast<double>(state.iterations());
}

// One stroke of 2,000 points about 3 units apart, over the 200 objects: loops drifting from
// left to right, as handwriting goes, each crossing the one before. Each point is one event
// (a hold for the brush, which paints on holds only) and its recomposition. The stroke is
// removed again so that every iteration draws into the same document.
void Stroke(benchmark::State& state, int32 tool, bool hold) {
    Scene scene;
    const YKRect<int32>& canvas = scene.canvas;
    const double middle = (canvas.top + canvas.bottom) / 2.0;
    const auto at = [&](int32 i) {
        const double t = i / 40.0;
        return Point{canvas.left + 200 + 1500.0 * i / kStrokePoints + 90 * std::cos(t),
                     middle + 120 * std::sin(t)};
    };
    double first = 0;
    double last = 0;
    for (auto _ : state) {
        scene.tools.SetSelectedTool(tool);
        scene.events.MouseDown(at(0), 1, 1, 0);
        double start = CpuMs();
        for (int32 i = 1; i < kStrokePoints; ++i) {
            if (i == kStrokePoints - kStrokeWindow) {
                start = CpuMs();
            }
            if (hold) {
                scene.events.MouseHold(at(i), 1);
            } else {
                scene.events.MouseMoved(at(i), 1);
            }
            if (i == kStrokeWindow) {
                first += CpuMs() - start;
            }
        }
        last += CpuMs() - start;
        scene.events.MouseUp(at(kStrokePoints - 1));
        state.PauseTiming();
        YKObjectLayer* stroke = scene.events.FirstSelectedObject();
        if (stroke == nullptr) {
            state.SkipWithError("the stroke left no object");
            break;
        }
        scene.Viewer()->DeleteObject(stroke, false);
        state.ResumeTiming();
    }
    const double points = static_cast<double>(state.iterations()) * kStrokeWindow;
    state.counters["ms/point first 100"] = first / points;
    state.counters["ms/point last 100"] = last / points;
    state.counters["last/first"] = first > 0 ? last / first : 0;
}

void BM_FreeHandStroke(benchmark::State& state) {
    Stroke(state, kFreeHandTool, false);
}
void BM_BrushStroke(benchmark::State& state) {
    Stroke(state, kBrushTool, true);
}

}  // namespace

BENCHMARK(BM_ComposeEveryObject)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawWholeView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragOneObject)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreeHandStroke)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BrushStroke)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    return RunWithRatios(
        argc, argv,
        {{"drag vs full recomposition", "BM_DragOneObject", "BM_ComposeEveryObject", ""},
         {"drag vs redraw from the prepared bitmap", "BM_DragOneObject", "BM_RedrawWholeView",
          ""}});
}
