// Layer effects on a 1920 x 1080 layer: outer glow and outer shadow at radius 4, 16 and 64,
// beside ImageMagick's -blur of the same alpha plane at a comparable sigma (run single-threaded
// as a separate process; its time to read the image and write nothing is measured and taken
// off). Our figure is the whole effect computation: alpha map, blur, and laying the effect
// into its bitmap. Both sides count the layer's pixels as 4 bytes each, so the ratio is the
// speed ratio.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "BenchRatios.h"
#include "TestDocument.h"

namespace {

constexpr int32 kWidth = 1920;
constexpr int32 kHeight = 1080;
constexpr int64 kBytes = int64{kWidth} * kHeight * 4;
const char* const kConvert = "/usr/bin/convert-im6.q16";

// A large turned rectangle in a full-HD layer, as a banner's main shape would be.
struct Scene {
    Scene() {
        YKUserLayer* user = doc.AddUserLayer();
        quad = new QuadLayer(doc.host.GetUniqueID(), 0xFF3366CCu);
        user->AddChild(quad, false);
        quad->ModifyBoundingBox({-800, -380}, {800, -380}, {800, 380}, {-800, 380});
        quad->MoveBoundingBoxBy({kWidth / 2.0, kHeight / 2.0}, false);
        quad->ModifyRotation(0.12);
        quad->SetObjectMode(YKObjectLayer::kModeNotSelected, true);
    }
    TestDocument doc;
    QuadLayer* quad = nullptr;
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

// The blur's standard deviation: a cosine window of half-width r spreads like a Gaussian of
// sigma 0.435 r.
double SigmaFor(int32 radius) {
    return 0.435 * radius;
}

void BM_OuterGlow(benchmark::State& state) {
    QuadLayer* quad = TheScene().quad;
    const auto radius = static_cast<float>(state.range(0));
    quad->SetOuterGlowParam(radius, 512, static_cast<int32>(0xFFFFFF00u));
    quad->SetProcessMask(YKEffectLayer::kOuterGlow);
    quad->SetEffectEnable(true);
    for (auto _ : state) {
        quad->ProcessEffect();
        benchmark::DoNotOptimize(quad->BeforeEffectBitmap().Stat());
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

void BM_OuterShadow(benchmark::State& state) {
    QuadLayer* quad = TheScene().quad;
    const auto radius = static_cast<float>(state.range(0));
    quad->SetOuterShadowParam(radius, 6, 6, 256, static_cast<int32>(0xFF000000u));
    quad->SetProcessMask(YKEffectLayer::kOuterShadow);
    quad->SetEffectEnable(true);
    for (auto _ : state) {
        quad->ProcessEffect();
        benchmark::DoNotOptimize(quad->BeforeEffectBitmap().Stat());
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

// The scene's alpha plane as a PGM file, for ImageMagick.
std::string AlphaPlanePath() {
    static std::string path;
    if (path.empty()) {
        path = "/tmp/gravik-bench-alpha-" + std::to_string(getpid()) + ".pgm";
        YKBitmap canvas;
        TheScene().quad->ComposeLayer(&canvas, {0, 0, kWidth - 1, kHeight - 1});
        std::vector<uint32> line(kWidth);
        std::ofstream out(path, std::ios::binary);
        out << "P5\n" << kWidth << " " << kHeight << "\n255\n";
        for (int32 y = 0; y < kHeight; ++y) {
            canvas.GetLineAt(y, 0, kWidth - 1, false, line.data());
            for (uint32 pixel : line) {
                out.put(static_cast<char>(pixel >> 24));
            }
        }
    }
    return path;
}

double SecondsOf(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        return -1;
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ImageMagickBlur(benchmark::State& state) {
    const std::string input = AlphaPlanePath();
    const std::string base = std::string(kConvert) + " -limit thread 1 " + input;
    char sigma[32];
    std::snprintf(sigma, sizeof sigma, "0x%.2f", SigmaFor(static_cast<int32>(state.range(0))));
    for (auto _ : state) {
        const double blur = SecondsOf(base + " -blur " + sigma + " null:");
        const double read = SecondsOf(base + " null:");
        if (blur < 0 || read < 0) {
            state.SkipWithError("convert-im6.q16 failed (is imagemagick installed?)");
            return;
        }
        state.SetIterationTime(std::max(1e-6, blur - read));
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

}  // namespace

BENCHMARK(BM_OuterGlow)->Arg(4)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OuterShadow)->Arg(4)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageMagickBlur)
    ->Arg(4)
    ->Arg(16)
    ->Arg(64)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    std::vector<BenchRatio> ratios;
    for (const char* radius : {"4", "16", "64"}) {
        const std::string peer =
            std::string("BM_ImageMagickBlur/") + radius + "/iterations:3/manual_time";
        ratios.push_back({std::string("outer glow r=") + radius + " vs ImageMagick -blur",
                          std::string("BM_OuterGlow/") + radius, peer});
        ratios.push_back({std::string("outer shadow r=") + radius + " vs ImageMagick -blur",
                          std::string("BM_OuterShadow/") + radius, peer});
    }
    return RunWithRatios(argc, argv, ratios);
}
