// Frame switches of a document holding one 3D layer: a sphere of 5,000 faces filling the view
// and turning on every frame, at banner size (468 x 60) and at 1920 x 1080. The peer is OSMesa
// drawing the same model the same way into a bare context kept from one frame to the next, so
// the printed x (our throughput over the bare drawing's) is the inverse of the layer's overhead:
// the context made per drawing, the copy into the layer's bitmap, the switch itself.

#include <cstdio>
#include <memory>
#include <vector>

#include "BenchRatios.h"
#include "TestDocument.h"
#include "ThreeDModels.h"
#include "YK3DLayer.h"
#include "yk_osmesa.h"

namespace {

constexpr int32 kFrames = 20;
constexpr int32 kSlices = 100;
constexpr int32 kStacks = 50;  // 5,000 faces

// The rotation value at `frame`: a new angle on every frame.
double AngleAt(int32 frame) {
    return 0.37 * frame;
}

struct Scene {
    Scene(int32 width, int32 height) {
        YKUserLayer* user = doc.AddUserLayer();
        layer =
            new YK3DLayer(doc.host.GetUniqueID(), "sphere", MakeSphere(kSlices, kStacks), {0, 0});
        user->AddChild(layer, false);
        const double w = width / 2.0, h = height / 2.0;
        layer->ModifyBoundingBox({-w, -h}, {w - 1, -h}, {w - 1, h - 1}, {-w, h - 1});
        for (int32 frame = 1; frame <= kFrames; ++frame) {
            layer->RotationYEnvelop()->SetValue(AngleAt(frame), frame);
            layer->RotationXEnvelop()->SetValue(AngleAt(frame) / 2, frame);
        }
    }
    TestDocument doc;
    YK3DLayer* layer = nullptr;
};

void BM_FrameSwitch(benchmark::State& state) {
    const auto width = static_cast<int32>(state.range(0));
    const auto height = static_cast<int32>(state.range(1));
    Scene scene(width, height);
    const int32 before = scene.layer->RenderCount();
    int32 frame = 1;
    for (auto _ : state) {
        frame = frame % kFrames + 1;
        scene.doc.GoTo(frame);
    }
    if (scene.layer->RenderCount() - before != state.iterations()) {
        state.SkipWithError("a frame switch did not draw the model");
    }
    state.SetBytesProcessed(state.iterations() * int64{width} * height * 4);
}

// The same drawing as the layer's, into one context made beforehand.
void BM_BareOSMesa(benchmark::State& state) {
    const auto width = static_cast<int32>(state.range(0));
    const auto height = static_cast<int32>(state.range(1));
    const YKOSMesa* gl = yk_osmesa();
    std::unique_ptr<YK3DObject> model = MakeSphere(kSlices, kStacks);
    std::vector<uint32> pixels(size_t(width) * height);
    OSMesaContext context = gl->CreateContextExt(OSMESA_BGRA, 0, 0, 0, nullptr);
    gl->MakeCurrent(context, pixels.data(), GL_UNSIGNED_BYTE, width, height);
    gl->PixelStore(OSMESA_Y_UP, 0);
    gl->Disable(GL_DEPTH_TEST);
    gl->Disable(GL_CULL_FACE);
    gl->Enable(GL_LIGHTING);
    gl->ShadeModel(GL_SMOOTH);
    const float first[4] = {0, 3, 3, 0}, second[4] = {-3, -3, 3, 0};
    const float specular[4] = {0.25f, 0.25f, 0.25f, 1}, diffuse[4] = {0.9f, 0.9f, 0.9f, 1};
    for (const auto& [light, position] : {std::pair{GL_LIGHT0, first}, {GL_LIGHT1, second}}) {
        gl->Lightfv(light, GL_POSITION, position);
        gl->Lightfv(light, GL_SPECULAR, specular);
        gl->Lightfv(light, GL_DIFFUSE, diffuse);
        gl->Lightfv(light, GL_AMBIENT, diffuse);
        gl->Enable(light);
    }
    int32 frame = 1;
    for (auto _ : state) {
        frame = frame % kFrames + 1;
        gl->ClearColor(0, 0, 0, 0);
        gl->Clear(GL_COLOR_BUFFER_BIT);
        gl->LoadIdentity();
        gl->Rotatef(float(YK3DLayer::AngleOf(AngleAt(frame) / 2)), 1, 0, 0);
        gl->Rotatef(float(YK3DLayer::AngleOf(AngleAt(frame))), 0, 1, 0);
        model->RenderObject(0);
        gl->Finish();
    }
    gl->DestroyContext(context);
    state.SetBytesProcessed(state.iterations() * int64{width} * height * 4);
}

void Sizes(benchmark::internal::Benchmark* bench) {
    // OSMesa draws on threads of its own: wall time is what counts.
    bench->Args({468, 60})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_FrameSwitch)->Apply(Sizes);
BENCHMARK(BM_BareOSMesa)->Apply(Sizes);

}  // namespace

int main(int argc, char** argv) {
    if (yk_osmesa() == nullptr) {
        return 1;
    }
    return RunWithRatios(
        argc, argv,
        {{"frame switch / bare OSMesa, 468 x 60", "BM_FrameSwitch/468/60/real_time",
          "BM_BareOSMesa/468/60/real_time", "3d"},
         {"frame switch / bare OSMesa, 1920 x 1080", "BM_FrameSwitch/1920/1080/real_time",
          "BM_BareOSMesa/1920/1080/real_time", "3d"}});
}
