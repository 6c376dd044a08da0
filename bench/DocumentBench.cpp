// Saving and loading documents of 1,000 to 8,000 layers: user layers holding nested groups,
// each group with its opacity envelope registered in the envelope manager. Beside it, zlib's
// compress of the same document message, to show the share that compression takes.

#include <unistd.h>
#include <zlib.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "YKCacheLayer.h"
#include "YKDocument.h"
#include "YKUserLayer.h"
#include "YKViewerLayer.h"

namespace {

constexpr int kLayersPerUserLayer = 50;

std::string PathFor(int layers) {
    return "/tmp/gravik-bench-document-" + std::to_string(getpid()) + "-" + std::to_string(layers) +
           ".gr";
}

// A document of `layers` layers in all: user layers of 50 layers each, the groups nested two
// deep.
YKDocument& DocumentOf(int layers) {
    static std::map<int, std::unique_ptr<YKDocument>> documents;
    auto& document = documents[layers];
    if (!document) {
        document = std::make_unique<YKDocument>("bench", YKRect<int32>{-234, -30, 233, 29},
                                                yk_color(255, 255, 255, 255), nullptr);
        YKViewerLayer* root = document->ViewerLayer();
        int made = 1;
        while (made < layers) {
            auto* user = new YKUserLayer(document->GetUniqueID(), "Layer");
            root->AddChild(user, false);
            ++made;
            YKLayer* parent = user;
            for (int i = 1; i < kLayersPerUserLayer && made < layers; ++i, ++made) {
                auto* group = new YKCacheLayer(document->GetUniqueID(), "group");
                parent->AddChild(group, false);
                group->SetGlobalAlpha(uint8(i));
                parent = i % 2 == 0 ? user : static_cast<YKLayer*>(group);
            }
        }
    }
    return *document;
}

void BM_Save(benchmark::State& state) {
    YKDocument& document = DocumentOf(int(state.range(0)));
    const std::string path = PathFor(int(state.range(0)));
    for (auto _ : state) {
        if (!document.SaveInto(path.c_str(), false)) {
            state.SkipWithError("save failed");
        }
    }
}
BENCHMARK(BM_Save)->Arg(1000)->Arg(2000)->Arg(4000)->Arg(8000)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State& state) {
    YKDocument& document = DocumentOf(int(state.range(0)));
    const std::string path = PathFor(int(state.range(0)));
    document.SaveInto(path.c_str(), false);
    for (auto _ : state) {
        std::unique_ptr<YKDocument> loaded(YKDocument::Load(path.c_str(), "bench", false, nullptr));
        if (loaded == nullptr) {
            state.SkipWithError("load failed");
        }
    }
    unlink(path.c_str());
}
BENCHMARK(BM_Load)->Arg(1000)->Arg(2000)->Arg(4000)->Arg(8000)->Unit(benchmark::kMillisecond);

// What compression alone costs on the document message that a save writes.
void BM_CompressOnly(benchmark::State& state) {
    YKMessage message;
    DocumentOf(int(state.range(0))).ArchiveDocument(&message);
    const std::string flat = message.Flatten();
    std::vector<Bytef> packed(compressBound(flat.size()));
    for (auto _ : state) {
        uLongf size = packed.size();
        compress(packed.data(), &size, reinterpret_cast<const Bytef*>(flat.data()), flat.size());
        benchmark::DoNotOptimize(packed.data());
    }
    state.counters["flattened_kB"] = double(flat.size()) / 1024;
}
BENCHMARK(BM_CompressOnly)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(8000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
