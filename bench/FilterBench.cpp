// Every loaded filter plug-in at 1920x1080 through PerformFilter, as a layer runs it, on one
// band and on two: the ratio of the two is what a second processor buys (bar 1.7x). A whole run
// counts, copies into and out of the kernel's plane included.
//
// Wall time decides the ratio. On a machine other programs keep busy, wall time says little
// about scaling, so processor time is measured too: "cpu_ms", the whole process's per run (every
// band thread), and the benchmark's CPU column, the calling thread's alone, which with two bands
// is the part no band shares (blocks, buffers, the kernel's preparation). A last table gives
// the ratio those imply for an idle machine: cpu(1) / (serial(2) + (cpu(2) - serial(2)) / 2).

#include <sys/resource.h>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "BenchRatios.h"
#include "YKBitmap.h"
#include "YKFilterManager.h"
#include "YKGenericFilter.h"

namespace {

constexpr int32 kWidth = 1920, kHeight = 1080;
constexpr YKRect<int32> kRect{0, 0, kWidth - 1, kHeight - 1};

// Smooth gradients with noise on top, opaque: every kernel has work on every pixel.
const YKBitmap& Picture() {
    static const YKBitmap picture = [] {
        YKBitmap bitmap;
        std::mt19937 random(5);
        std::vector<uint32> row(kWidth);
        for (int32 y = 0; y < kHeight; ++y) {
            for (int32 x = 0; x < kWidth; ++x) {
                const uint32 noise = random() & 0x1F1F1Fu;
                const uint32 red = uint32(x * 200 / kWidth), green = uint32(y * 200 / kHeight);
                const uint32 blue = uint32((x + y) % 200);
                row[size_t(x)] = (0xFF000000u | red << 16 | green << 8 | blue) + noise;
            }
            bitmap.SetLineAt(row.data(), y, 0, kWidth - 1);
        }
        return bitmap;
    }();
    return picture;
}

double ProcessSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + 1e-6 * t.tv_usec; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

// Per run, by benchmark name: the process's processor time and the calling thread's.
struct Processor {
    double process = 0;
    double caller = 0;
};
std::map<std::string, Processor>& Measured() {
    static std::map<std::string, Processor> measured;
    return measured;
}

void BM_Filter(benchmark::State& state, const YKGenericFilter* loaded, int32 bands,
               std::string name) {
    const std::unique_ptr<YKGenericFilter> filter(loaded->Duplicate());
    YKBitmap source = Picture();
    // Reused, as a layer's cache is.
    YKBitmap destination;
    YKGenericFilter::ForceCPUCount(bands);
    // One run untimed: the destination's blocks, made once, would otherwise weigh on the few
    // timed runs of the slower filters.
    filter->PerformFilter(&source, &destination, nullptr, kRect, false);
    Processor used;
    for (auto _ : state) {
        const double process = ProcessSeconds(), caller = ThreadSeconds();
        if (!filter->PerformFilter(&source, &destination, nullptr, kRect, false)) {
            state.SkipWithError("the filter refused to run");
            break;
        }
        used.process += ProcessSeconds() - process;
        used.caller += ThreadSeconds() - caller;
    }
    YKGenericFilter::ForceCPUCount(0);
    const double runs = double(std::max<int64>(1, state.iterations()));
    used.process /= runs;
    used.caller /= runs;
    Measured()[name] = used;
    state.SetBytesProcessed(int64(state.iterations()) * kWidth * kHeight * 4);
    state.counters["cpu_ms"] = benchmark::Counter(1e3 * used.process);
}

// A benchmark name without the spaces and slashes of filter names.
std::string Key(const char* name) {
    std::string key = name;
    std::replace(key.begin(), key.end(), ' ', '_');
    std::replace(key.begin(), key.end(), '/', '+');
    return key;
}

std::string Registered(const std::string& key, int32 bands) {
    return "filter/" + key + "/bands:" + std::to_string(bands);
}

}  // namespace

int main(int argc, char** argv) {
    const YKFilterManager& manager = YKFilterManager::Default();
    std::vector<BenchRatio> ratios;
    for (int32 category = 0; category < manager.CountFilterLists(); ++category) {
        const YKList<YKGenericFilter*>& filters = *manager.FilterListAt(category);
        for (int32 i = 0; i < filters.CountItems(); ++i) {
            const YKGenericFilter* filter = filters.ItemAt(i);
            const std::string key = Key(filter->Name());
            for (const int32 bands : {1, 2}) {
                benchmark::RegisterBenchmark(Registered(key, bands).c_str(), BM_Filter, filter,
                                             bands, Registered(key, bands) + "/real_time")
                    ->UseRealTime()
                    ->Unit(benchmark::kMillisecond);
            }
            BenchRatio ratio;
            ratio.label = std::string(filter->Name()) + ", 2 bands vs 1 (bar 1.7)";
            ratio.ours = Registered(key, 2) + "/real_time";
            ratio.peer = Registered(key, 1) + "/real_time";
            ratio.group = "2 bands vs 1";
            ratios.push_back(ratio);
        }
    }
    if (ratios.empty()) {
        std::fprintf(stderr, "no filter plug-ins loaded (is add-ons beside the program?)\n");
        return 1;
    }
    const int status = RunWithRatios(argc, argv, ratios);
    std::printf("\n%-44s %10s %10s %10s %8s\n", "from processor time", "cpu 1 ms", "cpu 2 ms",
                "serial ms", "x");
    for (const BenchRatio& ratio : ratios) {
        const auto one = Measured().find(ratio.peer), two = Measured().find(ratio.ours);
        if (one == Measured().end() || two == Measured().end()) {
            continue;
        }
        const Processor& a = one->second;
        const Processor& b = two->second;
        std::printf("%-44s %10.2f %10.2f %10.2f %8.3f\n",
                    ratio.label.substr(0, ratio.label.find(',')).c_str(), 1e3 * a.process,
                    1e3 * b.process, 1e3 * b.caller,
                    a.process / (b.caller + (b.process - b.caller) / 2));
    }
    return status;
}
