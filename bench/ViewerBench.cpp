// What a user waits for in a document window:
// - switching frames of the sample banner (the switch and the recomposition of the view), per
//   frame, printed beside the 80 ms each frame of the banner lasts;
// - moving one object of 200 vector rectangles in a 1920 x 1080 document: the bracketed
//   recomposition of the changed rectangles, against recomposing the whole view. The "bytes" are
//   the canvas's, so the printed ratio is how many times faster the edit is;
// - switching frames of 20 text objects whose colour (or, for contrast, size) is animated, with
//   the glyph outlines flattened and the glyph masks built while switching: a colour change must
//   reuse both.

#include <cstdio>
#include <string>
#include <vector>

#include "BenchRatios.h"
#include "SampleBanner.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKFontDataFreetype.h"
#include "YKGlyphMaskCache.h"
#include "YKRasterLayer.h"
#include "YKUserLayer.h"
#include "YKVectorEntity.h"
#include "YKVectorEntityFactory.h"
#include "YKVectorText.h"
#include "YKViewerLayer.h"

namespace {

constexpr int32 kWidth = 1920;
constexpr int32 kHeight = 1080;
constexpr int32 kObjects = 200;
constexpr int64 kCanvasBytes = int64{kWidth} * kHeight * 4;

// A headless view: a composition slot without a window.
int32 OpenView(YKDocument* document) {
    YKViewerLayer* viewer = document->ViewerLayer();
    const int32 view = viewer->CreateViewer();
    viewer->SetViewerID(view);
    return view;
}

void BM_SwitchFrame_SampleBanner(benchmark::State& state) {
    YKDispatcher dispatcher;
    YKDocument* banner = YKBuildSampleBanner(&dispatcher);
    OpenView(banner);
    YKEnvelopManager* manager = banner->EnvelopManager();
    YKViewerLayer* viewer = banner->ViewerLayer();
    const int32 frames = manager->MaxFrame();
    for (auto _ : state) {
        const int32 previous = manager->CurrentFrame();
        manager->SetCurrentFrame(previous % frames + 1);
        viewer->SwitchToFrame(previous);
    }
    state.counters["ms/frame"] =
        benchmark::Counter(static_cast<double>(state.iterations()) / 1000,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["frame duration ms"] = manager->FrameDuration(1) * 10;
}

struct Scene {
    YKDispatcher dispatcher;
    YKDocument* document =
        dispatcher.CreateDocument(kWidth, kHeight, "Scene", yk_color{255, 255, 255, 255});
    int32 view = OpenView(document);
    std::vector<YKRasterLayer*> objects;

    Scene() {
        YKViewerLayer* viewer = document->ViewerLayer();
        YKLayer* user = viewer->CurrentUserLayer();
        const YKRect<int32> canvas = document->Frame();
        viewer->LockHirarchy();
        viewer->BeginInvalidate();
        for (int32 i = 0; i < kObjects; ++i) {
            const int32 id = document->GetUniqueID();
            const YKPoint<double> at{canvas.left + 40.0 + (i * 97) % (kWidth - 120),
                                     canvas.top + 40.0 + (i * 53) % (kHeight - 120)};
            YKVectorEntity* rect = YKVectorEntityFactory::Create(YKVectorEntity::kTypeRectangle, at,
                                                                 id, document->EnvelopManager());
            rect->nextPoint({at.x + 64, at.y + 64}, false);
            rect->endCreationWithTol(1);
            rect->setFillAndColor({static_cast<uint8>(i), 120, 200, 255}, kColorFlagColor, nullptr,
                                  0, false, "");
            rect->setWidth(2);
            auto* layer = new YKRasterLayer(id, "box", YKRasterLayer::kRectangle);
            layer->SetEntity(rect);
            user->AddChild(layer, true);
            layer->EndCreation();
            objects.push_back(layer);
        }
        viewer->EndInvalidate();
        viewer->UnlockHirarchy();
    }
};

void BM_MoveOneObject(benchmark::State& state) {
    Scene scene;
    YKViewerLayer* viewer = scene.document->ViewerLayer();
    YKRasterLayer* moved = scene.objects[kObjects / 2];
    double step = 1;
    for (auto _ : state) {
        viewer->LockHirarchy();
        viewer->BeginInvalidate();
        moved->MoveBoundingBoxBy({step, 0}, false);
        viewer->EndInvalidate();
        viewer->UnlockHirarchy();
        step = -step;
    }
    state.SetBytesProcessed(state.iterations() * kCanvasBytes);
}

// The whole user layer changed (as when a layer-wide setting changes): its cache and the view
// are composed again from all 200 objects.
void BM_RecomposeWholeView(benchmark::State& state) {
    Scene scene;
    YKViewerLayer* viewer = scene.document->ViewerLayer();
    YKLayer* user = viewer->CurrentUserLayer();
    const YKRect<int32> canvas = scene.document->Frame();
    for (auto _ : state) {
        viewer->LockHirarchy();
        viewer->BeginInvalidate();
        user->InvalidateLayer(canvas, true, nullptr);
        viewer->EndInvalidate();
        viewer->UnlockHirarchy();
    }
    state.SetBytesProcessed(state.iterations() * kCanvasBytes);
}

// 20 lines of text in a 960 x 540 document, each animated over 20 frames by colour or by size.
struct TextScene {
    static constexpr int32 kTexts = 20;
    static constexpr int32 kFrames = 20;
    YKDispatcher dispatcher;
    YKDocument* document =
        dispatcher.CreateDocument(960, 540, "Texts", yk_color{255, 255, 255, 255});
    int32 view = OpenView(document);
    std::vector<YKVectorText*> texts;

    explicit TextScene(bool animateSize) {
        YKEnvelopManager* manager = document->EnvelopManager();
        manager->SetMaxFrame(kFrames, false);
        YKViewerLayer* viewer = document->ViewerLayer();
        viewer->LockHirarchy();
        viewer->BeginInvalidate();
        for (int32 i = 0; i < kTexts; ++i) {
            const int32 id = document->GetUniqueID();
            auto* text = new YKVectorText({-460.0, -250.0 + i * 26}, id, manager);
            text->setString(("Animated headline number " + std::to_string(i + 1)).c_str());
            text->endTextEdit();
            YKVectorAttributes attributes;
            text->getAttributes(&attributes);
            attributes.fontDescription = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
            attributes.textSizeH = attributes.textSizeV = 15;
            attributes.fillColor = {20, 40, static_cast<uint8>(10 * i), 255};
            text->setAttributes(&attributes);
            const YKTextAttributes& look = text->textAttributes();
            if (animateSize) {
                look.sizeH->SetValue(20.0, kFrames);
                look.sizeV->SetValue(20.0, kFrames);
            } else {
                look.fillColor->SetValue(yk_color{230, 57, static_cast<uint8>(10 * i), 255},
                                         kFrames);
            }
            auto* layer = new YKRasterLayer(id, "text", YKRasterLayer::kText);
            layer->SetEntity(text);
            viewer->CurrentUserLayer()->AddChild(layer, true);
            layer->EndCreation();
            texts.push_back(text);
        }
        viewer->EndInvalidate();
        viewer->UnlockHirarchy();
    }

    int64 Flattenings() const {
        int64 sum = 0;
        for (YKVectorText* text : texts) {
            if (auto* font = dynamic_cast<YKFontDataFreetype*>(text->font())) {
                sum += font->CountFlattenings();
            }
        }
        return sum;
    }
};

void SwitchTextFrames(benchmark::State& state, bool animateSize) {
    TextScene scene(animateSize);
    YKEnvelopManager* manager = scene.document->EnvelopManager();
    YKViewerLayer* viewer = scene.document->ViewerLayer();
    const auto next = [&] {
        const int32 previous = manager->CurrentFrame();
        manager->SetCurrentFrame(previous % TextScene::kFrames + 1);
        viewer->SwitchToFrame(previous);
    };
    for (int32 i = 0; i < TextScene::kFrames; ++i) {
        next();  // every frame seen once: what is cached from here on stays cached
    }
    const int64 flattenings = scene.Flattenings();
    const int64 masks = YKGlyphMaskCache::Shared().CountBuilds();
    for (auto _ : state) {
        next();
    }
    state.counters["ms/frame"] =
        benchmark::Counter(static_cast<double>(state.iterations()) / 1000,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["outlines flattened"] = static_cast<double>(scene.Flattenings() - flattenings);
    state.counters["masks built"] =
        static_cast<double>(YKGlyphMaskCache::Shared().CountBuilds() - masks);
}

void BM_SwitchFrame_TextColour(benchmark::State& state) {
    SwitchTextFrames(state, false);
}
void BM_SwitchFrame_TextSize(benchmark::State& state) {
    SwitchTextFrames(state, true);
}

BENCHMARK(BM_SwitchFrame_SampleBanner)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchFrame_TextColour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchFrame_TextSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveOneObject)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecomposeWholeView)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunWithRatios(argc, argv,
                         {{"move one of 200 objects vs recompose all", "BM_MoveOneObject",
                           "BM_RecomposeWholeView", ""}});
}
