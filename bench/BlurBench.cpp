// The neighbourhood kernels at 1920x1080: the Gaussian blur against ImageMagick's -blur
// (single-threaded), our own cost at S = 20 against S = 2, and each kernel on two threads
// against one.
//
// ImageMagick runs as a program: its processor time for `-blur 0xS` minus that of a plain
// pass-through of the same MIFF file in the same run, so that only the blur is compared. Ours
// is wall time through YKKernelRunner, padding excluded.

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BenchRatios.h"
#include "ChildSeconds.h"
#include "YKGaussianBlurKernel.h"
#include "YKKernelRunner.h"
#include "YKUnsharpMaskKernel.h"

namespace {

constexpr const char* kConvert = "/usr/bin/convert-im6.q16";
constexpr const char* kFolder = "/tmp/gravik_blur_bench";
constexpr int32 kWidth = 1920, kHeight = 1080;
constexpr int32 kSigmas[] = {2, 5, 10, 20};

// --- The picture: a noisy plasma, made once by ImageMagick, as PPM for us and MIFF for it ---

const std::vector<uint32>& Picture() {
    static const std::vector<uint32> picture = [] {
        const std::string ppm = std::string(kFolder) + "/in.ppm";
        if (access(ppm.c_str(), R_OK) != 0) {
            std::system((std::string("mkdir -p ") + kFolder + " && " + kConvert +
                         " -seed 3 -size " + std::to_string(kWidth) + "x" +
                         std::to_string(kHeight) +
                         " plasma: -attenuate 0.3 +noise Gaussian -depth 8 " + ppm + " && " +
                         kConvert + " " + ppm + " " + kFolder + "/in.miff")
                            .c_str());
        }
        std::ifstream in(ppm, std::ios::binary);
        std::string magic;
        int32 w = 0, h = 0, maxval = 0;
        in >> magic >> w >> h >> maxval;
        in.get();
        std::vector<unsigned char> rgb(size_t(kWidth) * kHeight * 3);
        in.read(reinterpret_cast<char*>(rgb.data()), std::streamsize(rgb.size()));
        if (!in || w != kWidth || h != kHeight || maxval != 255) {
            std::fprintf(stderr, "cannot make %s\n", ppm.c_str());
            std::exit(1);
        }
        std::vector<uint32> pixels(size_t(kWidth) * kHeight);
        for (size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = 0xFF000000u | uint32(rgb[3 * i]) << 16 | uint32(rgb[3 * i + 1]) << 8 |
                        rgb[3 * i + 2];
        }
        return pixels;
    }();
    return picture;
}

// The picture with `margin` edge pixels repeated on every side.
std::vector<uint32> Padded(int32 margin) {
    const std::vector<uint32>& picture = Picture();
    const int32 w = kWidth + 2 * margin, h = kHeight + 2 * margin;
    std::vector<uint32> padded(size_t(w) * h);
    for (int32 y = 0; y < h; ++y) {
        const int32 sy = std::clamp(y - margin, 0, kHeight - 1);
        for (int32 x = 0; x < w; ++x) {
            padded[size_t(y) * w + x] =
                picture[size_t(sy) * kWidth + std::clamp(x - margin, 0, kWidth - 1)];
        }
    }
    return padded;
}

void Count(benchmark::State& state) {
    state.SetBytesProcessed(int64(state.iterations()) * kWidth * kHeight * 4);
}

// --- Ours ---

using KernelMaker = std::function<std::unique_ptr<YKFilterKernel>()>;

void BM_Ours(benchmark::State& state, KernelMaker make, int32 threads) {
    const auto kernel = make();
    std::vector<uint32> source = Padded(kernel->Reach());
    std::vector<uint32> result(size_t(kWidth) * kHeight);
    const int32 sourceWidth = kWidth + 2 * kernel->Reach();
    const YKPixelPlane in{source.data(), sourceWidth, kHeight + 2 * kernel->Reach(), sourceWidth};
    const YKPixelPlane out{result.data(), kWidth, kHeight, kWidth};
    for (auto _ : state) {
        YKKernelRunner::Run(*kernel, in, out, threads);
        benchmark::DoNotOptimize(result.data());
    }
    Count(state);
}

// --- ImageMagick ---

void BM_ImageMagick(benchmark::State& state, std::string options) {
    Picture();
    const std::string in = std::string(kFolder) + "/in.miff";
    const std::string out = std::string(kFolder) + "/out.miff";
    const std::string head = std::string(kConvert) + " -limit thread 1 " + in + " ";
    for (auto _ : state) {
        const double whole = SecondsOf(head + options + " " + out);
        const double plain = SecondsOf(head + out);
        if (whole < 0 || plain < 0) {
            state.SkipWithError(("failed: " + options).c_str());
            return;
        }
        state.SetIterationTime(std::max(1e-6, whole - plain));
    }
    Count(state);
}

// --- Registration ---

struct Named {
    std::string name;
    KernelMaker make;
};

std::vector<Named> Kernels() {
    std::vector<Named> kernels;
    for (const int32 sigma : kSigmas) {
        kernels.push_back({"gaussian/S" + std::to_string(sigma), [sigma] {
                               return std::make_unique<YKGaussianBlurKernel>(float(sigma));
                           }});
    }
    kernels.push_back(
        {"unsharp/S2", [] { return std::make_unique<YKUnsharpMaskKernel>(2.0f, 1.0f, 0.0f); }});
    return kernels;
}

std::string Ours(const std::string& name, int32 threads) {
    return "ours/" + name + "/threads:" + std::to_string(threads) + "/real_time";
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<BenchRatio> ratios;
    const auto ratio = [&ratios](std::string label, std::string ours, std::string peer,
                                 std::string group) {
        BenchRatio r;
        r.label = std::move(label);
        r.ours = std::move(ours);
        r.peer = std::move(peer);
        r.group = std::move(group);
        ratios.push_back(r);
    };
    for (const Named& kernel : Kernels()) {
        for (const int32 threads : {1, 2}) {
            benchmark::RegisterBenchmark(
                ("ours/" + kernel.name + "/threads:" + std::to_string(threads)).c_str(), BM_Ours,
                kernel.make, threads)
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond);
        }
        ratio(kernel.name + " 2 threads vs 1", Ours(kernel.name, 2), Ours(kernel.name, 1), "");
    }
    for (const int32 sigma : kSigmas) {
        const std::string name = "imagemagick/S" + std::to_string(sigma);
        benchmark::RegisterBenchmark(name.c_str(), BM_ImageMagick,
                                     "-blur 0x" + std::to_string(sigma))
            ->UseManualTime()
            ->Iterations(3)
            ->Unit(benchmark::kMillisecond);
        const std::string gaussian = "gaussian/S" + std::to_string(sigma);
        ratio(gaussian + " 1 thread vs convert (bar 10x)", Ours(gaussian, 1),
              name + "/iterations:3/manual_time", "blur vs ImageMagick");
    }
    // Throughput at S = 2 over throughput at S = 20 is the cost at 20 over the cost at 2.
    ratio("gaussian cost S=20 / S=2, 1 thread (bar 1.5)", Ours("gaussian/S2", 1),
          Ours("gaussian/S20", 1), "");
    return RunWithRatios(argc, argv, ratios);
}
