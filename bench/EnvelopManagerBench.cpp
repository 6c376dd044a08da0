// A frame switch and a change check for every object, as object layers make them on each
// switch, for documents of 1,000, 2,000 and 4,000 objects with 12 envelopes of 10 key frames.
// Beside it, the same check done by walking every envelope for every object, which grows with
// the square of the document.

#include <map>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "YKEnvelopKinds.h"
#include "YKEnvelopManager.h"

namespace {

constexpr int kEnvelopesPerObject = 12;
constexpr int kKeyFrames = 10;
constexpr int kFrames = 40;

struct Document {
    YKEnvelopManager manager;
    std::vector<std::unique_ptr<YKEnvelop>> envelopes;

    explicit Document(int objects) {
        manager.SetMaxFrame(kFrames, false);
        for (int object = 1; object <= objects; ++object) {
            for (int e = 0; e < kEnvelopesPerObject; ++e) {
                auto envelope = std::make_unique<YKEnvelopDouble>(object, "bench");
                manager.AddEnvelop(envelope.get());
                for (int k = 0; k < kKeyFrames; ++k) {
                    // Some objects stand still between frames, others move.
                    envelope->SetValue(double((object + e) % 3 == 0 ? 1 : k * object), 1 + k * 4);
                }
                envelopes.push_back(std::move(envelope));
            }
        }
    }
};

Document& DocumentOf(int objects) {
    static std::map<int, std::unique_ptr<Document>> documents;
    auto& document = documents[objects];
    if (!document) {
        document = std::make_unique<Document>(objects);
    }
    return *document;
}

// Switches frame by frame and asks `isModified(document, object, oldFrame)` of every object.
template <typename IsModified>
void SwitchAndCheck(benchmark::State& state, IsModified isModified) {
    const int objects = int(state.range(0));
    Document& document = DocumentOf(objects);
    int frame = 1;
    int modified = 0;
    for (auto _ : state) {
        frame = frame % kFrames + 1;
        document.manager.SetCurrentFrame(frame);
        const int32 old = document.manager.OldFrame();
        for (int object = 1; object <= objects; ++object) {
            modified += isModified(document, object, old);
        }
    }
    benchmark::DoNotOptimize(modified);
    state.counters["ns_per_envelope"] =
        benchmark::Counter(double(objects) * kEnvelopesPerObject * state.iterations(),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_SwitchAndCheck(benchmark::State& state) {
    SwitchAndCheck(state, [](Document& document, int object, int32) {
        return document.manager.IsObjectModified(object, static_cast<YKEnvelop*>(nullptr));
    });
}
BENCHMARK(BM_SwitchAndCheck)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// The check as its definition reads: every registered envelope is asked for every object.
void BM_SwitchAndCheckByFullWalk(benchmark::State& state) {
    SwitchAndCheck(state, [](Document& document, int object, int32 old) {
        for (const auto& envelope : document.envelopes) {
            if (envelope->RealOwner() == object && envelope->IsValueModified(old)) {
                return true;
            }
        }
        return false;
    });
}
BENCHMARK(BM_SwitchAndCheckByFullWalk)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond);

// Prints the cost of each doubling of the document.
class DoublingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            // With repetitions the median stands for the size; without, the single run.
            if (run.run_type == Run::RT_Aggregate ? run.aggregate_name == "median"
                                                  : run.repetitions <= 1) {
                mTimes.push_back({run.run_name.function_name + "/" + run.run_name.args,
                                  run.GetAdjustedRealTime()});
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-48s %10s\n", "doubling", "x time");
        for (size_t i = 1; i < mTimes.size(); ++i) {
            const auto& [name, time] = mTimes[i];
            const auto& [previousName, previousTime] = mTimes[i - 1];
            if (name.substr(0, name.find('/')) == previousName.substr(0, previousName.find('/'))) {
                std::printf("%-48s %10.2f\n",
                            (previousName + " -> " + name.substr(name.find('/'))).c_str(),
                            time / previousTime);
            }
        }
    }

private:
    std::vector<std::pair<std::string, double>> mTimes;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    DoublingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
