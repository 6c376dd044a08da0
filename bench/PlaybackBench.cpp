// Playing the sample banner (examples/banner.gr) in a headless view on the real clock: when is
// each of its 20 frames shown, against when it is due? A frame is due the sum of the waits of the
// frames before it after frame 1 was shown, so lateness accumulates over a run: what a viewer
// sees drift. The counters are the mean and the worst lateness of a run and how many frames
// were more than 5 ms late.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKPlayback.h"
#include "YKPlaybackListener.h"
#include "YKTime.h"
#include "YKViewerLayer.h"
#include "yk_allocator.h"

namespace {

constexpr double kAllowedMs = 5.0;

// The moment each frame was shown, and the end of the run.
class ShownTimes : public YKPlaybackListener {
public:
    void FrameShown(int32 frame) override {
        std::lock_guard<std::mutex> lock(mutex);
        shown.push_back({frame, yk_system_time()});
    }
    void PlayingChanged(bool playing) override {
        std::lock_guard<std::mutex> lock(mutex);
        ended = !playing;
        changed.notify_all();
    }
    void WaitForEnd() {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return ended; });
    }

    struct Shown {
        int32 frame;
        bigtime_t at;
    };
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Shown> shown;
    bool ended = false;
};

void BM_Playback_SampleBanner(benchmark::State& state) {
    YKDispatcher dispatcher;
    const std::string file = std::string(GRAVIK_EXAMPLES) + "/banner.gr";
    std::string error;
    YKDocument* banner = YKDocument::Load(file.c_str(), "banner.gr", false, &dispatcher, &error);
    if (banner == nullptr) {
        state.SkipWithError(("cannot open the banner: " + error).c_str());
        return;
    }
    YKViewerLayer* viewer = banner->ViewerLayer();
    viewer->SetViewerID(viewer->CreateViewer());
    YKEnvelopManager* manager = banner->EnvelopManager();
    double sumLate = 0.0;
    double worstLate = 0.0;
    double sumInterval = 0.0;
    int64 frames = 0;
    int64 overLimit = 0;
    for (auto _ : state) {
        ShownTimes times;
        YKPlayback playback(banner);
        playback.SetListener(&times);
        playback.Play();
        times.WaitForEnd();
        playback.Stop();
        bigtime_t due = times.shown.front().at;
        for (size_t i = 1; i < times.shown.size(); ++i) {
            due += static_cast<bigtime_t>(
                       std::trunc(manager->FrameDuration(times.shown[i - 1].frame))) *
                   10000;
            const double late = (times.shown[i].at - due) / 1000.0;
            sumLate += late;
            worstLate = std::max(worstLate, late);
            overLimit += late > kAllowedMs ? 1 : 0;
            sumInterval += (times.shown[i].at - times.shown[i - 1].at) / 1000.0;
            ++frames;
        }
        state.SetIterationTime((times.shown.back().at - times.shown.front().at) / 1e6);
    }
    state.counters["frames"] = static_cast<double>(manager->MaxFrame());
    // A frame is due 80 ms after the one before: the mean interval tells drift from jitter.
    state.counters["mean_interval_ms"] =
        frames > 0 ? sumInterval / static_cast<double>(frames) : 0.0;
    state.counters["mean_late_ms"] = frames > 0 ? sumLate / static_cast<double>(frames) : 0.0;
    state.counters["worst_late_ms"] = worstLate;
    state.counters["frames_over_5ms"] = static_cast<double>(overLimit);
}
BENCHMARK(BM_Playback_SampleBanner)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

// Set up as gravik sets itself up: the allocator decides whether the playing thread's first
// frames fault in their memory.
int main(int argc, char** argv) {
    yk_tune_allocator();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
