// Flattening and unflattening a message of 100,000 mixed fields, beside a plain memcpy of the
// same bytes.

#include <cstring>
#include <string>
#include <vector>

#include "BenchRatios.h"
#include "YKMessage.h"

namespace {

constexpr int kFields = 100000;

// One field per name, cycling through the types a document archive holds.
const YKMessage& MixedMessage() {
    static const YKMessage message = [] {
        YKMessage m('bnch');
        const yk_color color(10, 20, 30, 255);
        YKMessage child('chld');
        child.AddInt32("YKL:ID", 7);
        child.AddBool("YKL:hidden", false);
        for (int i = 0; i < kFields; ++i) {
            const std::string name = "YKL:field" + std::to_string(i);
            switch (i % 8) {
                case 0:
                    m.AddInt32(name.c_str(), i);
                    break;
                case 1:
                    m.AddDouble(name.c_str(), i * 0.5);
                    break;
                case 2:
                    m.AddString(name.c_str(), "layer name " + std::to_string(i));
                    break;
                case 3:
                    m.AddPoint(name.c_str(), {i * 1.0, i * 2.0});
                    break;
                case 4:
                    m.AddRect(name.c_str(), {0, 0, i, i});
                    break;
                case 5:
                    m.AddBool(name.c_str(), i & 1);
                    break;
                case 6:
                    m.AddColor(name.c_str(), &color);
                    break;
                default:
                    m.AddMessage(name.c_str(), &child);
                    break;
            }
        }
        return m;
    }();
    return message;
}

void BM_Flatten(benchmark::State& state) {
    const YKMessage& m = MixedMessage();
    std::vector<char> buffer(m.FlattenedSize());
    for (auto _ : state) {
        ssize_t size = buffer.size();
        m.Flatten(buffer.data(), &size);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(state.iterations() * int64_t(buffer.size()));
}
BENCHMARK(BM_Flatten)->Unit(benchmark::kMillisecond);

void BM_Unflatten(benchmark::State& state) {
    const std::string flat = MixedMessage().Flatten();
    for (auto _ : state) {
        YKMessage m;
        m.Unflatten(flat.data(), flat.size());
        benchmark::DoNotOptimize(m);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(flat.size()));
}
BENCHMARK(BM_Unflatten)->Unit(benchmark::kMillisecond);

void BM_Memcpy(benchmark::State& state) {
    const std::string flat = MixedMessage().Flatten();
    std::vector<char> copy(flat.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), flat.data(), flat.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t(flat.size()));
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    std::printf("message: %d fields, %zd flattened bytes\n", kFields,
                MixedMessage().FlattenedSize());
    return RunWithRatios(argc, argv,
                         {{"Flatten / memcpy", "BM_Flatten", "BM_Memcpy"},
                          {"Unflatten / memcpy", "BM_Unflatten", "BM_Memcpy"}});
}
