// Recomposing a 1920 x 1080 document of 200 objects of 64 x 64 in one user layer: everything,
// against what an edit costs when one object moves (the move itself, rendering the object and
// recomposing the rectangle it left and entered from the prepared below and above bitmaps).
// The "bytes" are the canvas's, so the printed ratio is how many times faster the edit is.

#include <memory>
#include <vector>

#include "BenchRatios.h"
#include "TestDocument.h"
#include "yk_composition.h"

namespace {

constexpr int32 kWidth = 1920;
constexpr int32 kHeight = 1080;
constexpr int32 kObjects = 200;
constexpr YKRect<int32> kCanvas{0, 0, kWidth - 1, kHeight - 1};
constexpr int64 kBytes = int64{kWidth} * kHeight * 4;

struct Scene {
    Scene() {
        user = doc.AddUserLayer();
        for (int32 i = 0; i < kObjects; ++i) {
            auto* quad = new QuadLayer(doc.host.GetUniqueID(), 0xFF000000u | (i * 0x010307u));
            user->AddChild(quad, false);
            quad->ModifyBoundingBox({-32, -32}, {32, -32}, {32, 32}, {-32, 32});
            quad->MoveBoundingBoxBy(
                {40.0 + (i * 97) % (kWidth - 80), 40.0 + (i * 53) % (kHeight - 80)}, false);
            quad->SetObjectMode(YKObjectLayer::kModeNotSelected, true);
            objects.push_back(quad);
        }
        for (int32 y = 0; y < kHeight; ++y) {
            background.SetPixelAt(y, 0, kWidth, 0xFFFFFFFFu, YK_COPY);
        }
    }
    // The view's pixels within rect: the background, then the tree.
    void ComposeInto(YKBitmap* canvas, YKRect<int32> rect) {
        canvas->Erase(rect);
        canvas->MergeWith(&background, rect, YK_COPY, 255);
        for (int32 i = 0; i < doc.viewer.CountChildren(); ++i) {
            doc.viewer.ChildAt(i)->ComposeLayer(canvas, rect);
        }
    }
    TestDocument doc;
    YKUserLayer* user = nullptr;
    std::vector<QuadLayer*> objects;
    YKBitmap background;
    YKBitmap canvas;
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void BM_RecomposeEverything(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        scene.ComposeInto(&scene.canvas, kCanvas);
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

void BM_MoveOneObject(benchmark::State& state) {
    Scene& scene = TheScene();
    QuadLayer* moving = scene.objects[kObjects / 2];
    scene.ComposeInto(&scene.canvas, kCanvas);
    int32 step = 0;
    for (auto _ : state) {
        const double d = (step++ & 1) ? -3.0 : 3.0;
        scene.doc.viewer.BeginInvalidate();
        moving->MoveBoundingBoxBy({d, d}, false);
        scene.ComposeInto(&scene.canvas, scene.doc.viewer.InvalidRect() & kCanvas);
        scene.doc.viewer.EndInvalidate();
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

}  // namespace

BENCHMARK(BM_RecomposeEverything)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveOneObject)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    return RunWithRatios(argc, argv,
                         {{"move one object vs recompose everything", "BM_MoveOneObject",
                           "BM_RecomposeEverything"}});
}
