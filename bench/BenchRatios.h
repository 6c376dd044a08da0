#pragma once

// Runs the registered benchmarks and then prints, for each pair, our throughput against the
// peer's measured in the same run.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct BenchRatio {
    BenchRatio() = default;
    // Most ratios belong to no group.
    BenchRatio(std::string label, std::string ours, std::string peer, std::string group = {})
        : label(std::move(label)),
          ours(std::move(ours)),
          peer(std::move(peer)),
          group(std::move(group)) {}
    std::string label;
    std::string ours;  // benchmark names, as printed
    std::string peer;
    std::string group;  // ratios of a group also get their geometric mean printed
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const auto rate = run.counters.find("bytes_per_second");
            if (run.run_type == Run::RT_Iteration && rate != run.counters.end()) {
                mRates[run.benchmark_name()] = rate->second.value;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    const std::map<std::string, double>& Rates() const { return mRates; }

private:
    std::map<std::string, double> mRates;
};

inline int RunWithRatios(int argc, char** argv, const std::vector<BenchRatio>& ratios) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-44s %12s %12s %8s\n", "ratio", "ours MB/s", "peer MB/s", "x");
    std::map<std::string, std::vector<double>> groups;
    for (const BenchRatio& ratio : ratios) {
        const auto ours = reporter.Rates().find(ratio.ours);
        const auto peer = reporter.Rates().find(ratio.peer);
        if (ours == reporter.Rates().end() || peer == reporter.Rates().end()) {
            continue;
        }
        std::printf("%-44s %12.1f %12.1f %8.3f\n", ratio.label.c_str(), ours->second / 1e6,
                    peer->second / 1e6, ours->second / peer->second);
        if (!ratio.group.empty()) {
            groups[ratio.group].push_back(ours->second / peer->second);
        }
    }
    for (const auto& [group, values] : groups) {
        double logSum = 0;
        for (double value : values) {
            logSum += std::log(value);
        }
        std::printf("%-44s %34.3f\n", ("geometric mean, " + group).c_str(),
                    std::exp(logSum / static_cast<double>(values.size())));
    }
    benchmark::Shutdown();
    return 0;
}
